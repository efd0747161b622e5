#ifndef STANDARDERRORS_H
#define STANDARDERRORS_H

// Error reports of the framework. Every report writes its fixed text on standard
// error followed by a newline and a flush. The texts (misspellings included) are
// matched by the front end and by users' scripts: do not "correct" them.
//
// Only MemoryAllocationError() and InvalidStructType() end the process; after any
// other report the caller goes on.

[[noreturn]] void MemoryAllocationError();
void MemoryError();
void ErrorEmptyParameter(const char* name);

namespace SyncError {
void WrongDistributionType();
void NoAction();
} // namespace SyncError

void InconsistantState();
void UserError();
void ArrayTypeMismatchError(char* a, char* b);
void StructTypeMismatchError(char* a, char* b);
void InvalidArrayType();
// Ends the run with exit status 1 after its two lines.
[[noreturn]] void InvalidStructType();
void InvalidUnorderedType();
void ArrayOutOfBoundsError(char* where);

#endif
