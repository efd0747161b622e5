#include "BaseClasses/StandardErrors.h"

#include "BaseClasses/ProcessEnd.h"

#include <cstdlib>
#include <iostream>

void MemoryAllocationError() {
    // A fixed text: writing it must not need the memory that ran out.
    Fatal(std::cerr, "Insufficient Memory to allocate dynamic data structures from heap memory\n"
                     "Exiting program...\n");
}

void MemoryError() {
    std::cerr << "Memory Error" << std::endl;
}

void ErrorEmptyParameter(const char* name) {
    std::cerr << name << ": Parameter was an empty reference" << std::endl;
}

namespace SyncError {
void WrongDistributionType() {
    // exact text, matched by callers
    std::cerr << "You can only synchronize actions from one type,"
              << "either exponential or instantenous" << std::endl;
}
void NoAction() {
    std::cerr << " no Action found in model" << std::endl;
}
} // namespace SyncError

void InconsistantState() {
    // exact text, matched by callers
    std::cerr << "This program has entered into an inconsistant state. Please report this bug."
              << std::endl;
}

void UserError() {
    std::cerr << "A user error has been detected" << std::endl;
}

static void TypeMismatch(const char* what, const char* a, const char* b) {
    std::cerr << what
              << " types for equivalence sharing do not match for state variables: " << std::endl;
    std::cerr << "  " << a << std::endl;
    std::cerr << "  " << b << std::endl;
}

void ArrayTypeMismatchError(char* a, char* b) {
    TypeMismatch("Array", a, b);
}

void StructTypeMismatchError(char* a, char* b) {
    TypeMismatch("Struct", a, b);
}

void InvalidArrayType() {
    std::cerr << "ArrayType is not valid" << std::endl;
}

void InvalidStructType() {
    // The historical behaviour was a deliberate invalid access; end in order instead.
    Fatal(std::cerr, "ArrayType is invalid for struct element\npreparing to segfault\n");
}

void InvalidUnorderedType() {
    std::cerr << "ArrayType is invalid for unordered element" << std::endl;
}

void ArrayOutOfBoundsError(char* where) {
    std::cerr << "Array out of bounds error at " << where << std::endl;
}
