#include "BaseClasses/StandardErrors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using ::testing::HasSubstr;

TEST(StandardErrorsTest, ReportsThatReturnWriteTheirTextOnStandardError) {
    char a[] = "ram->mem";
    char b[] = "flash->mem";
    char where[] = "group 3";
    struct Case {
        const char* name;
        std::function<void()> report;
        std::string text;
    } cases[] = {
        {"MemoryError", MemoryError, "Memory Error\n"},
        {"ErrorEmptyParameter", [] { ErrorEmptyParameter("places"); },
         "places: Parameter was an empty reference\n"},
        {"WrongDistributionType", SyncError::WrongDistributionType,
         "You can only synchronize actions from one type,either exponential or instantenous\n"},
        {"NoAction", SyncError::NoAction, " no Action found in model\n"},
        {"InconsistantState", InconsistantState,
         "This program has entered into an inconsistant state. Please report this bug.\n"},
        {"UserError", UserError, "A user error has been detected\n"},
        {"ArrayTypeMismatchError", [&] { ArrayTypeMismatchError(a, b); },
         "Array types for equivalence sharing do not match for state variables: \n"
         "  ram->mem\n"
         "  flash->mem\n"},
        {"StructTypeMismatchError", [&] { StructTypeMismatchError(a, b); },
         "Struct types for equivalence sharing do not match for state variables: \n"
         "  ram->mem\n"
         "  flash->mem\n"},
        {"InvalidArrayType", InvalidArrayType, "ArrayType is not valid\n"},
        {"InvalidUnorderedType", InvalidUnorderedType,
         "ArrayType is invalid for unordered element\n"},
        {"ArrayOutOfBoundsError", [&] { ArrayOutOfBoundsError(where); },
         "Array out of bounds error at group 3\n"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        c.report();
        std::string err = testing::internal::GetCapturedStderr();
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(err, c.text) << c.name;
        EXPECT_EQ(out, "") << c.name;
    }
}

TEST(StandardErrorsDeathTest, MemoryAllocationErrorExitsWithStatus1) {
    EXPECT_EXIT(MemoryAllocationError(), ::testing::ExitedWithCode(1),
                HasSubstr("Insufficient Memory to allocate dynamic data structures from heap "
                          "memory\nExiting program...\n"));
}

TEST(StandardErrorsDeathTest, InvalidStructTypeEndsTheRun) {
    EXPECT_EXIT(InvalidStructType(), ::testing::ExitedWithCode(1),
                HasSubstr("ArrayType is invalid for struct element\npreparing to segfault\n"));
}

} // namespace
