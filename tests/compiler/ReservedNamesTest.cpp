// The tables of names a model cannot use: binary search needs each sorted by byte
// value, a name belongs to one kind only, and the names modellers take from the
// literature and from C++ are found.

#include "compiler/ReservedNames.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace {

TEST(ReservedNamesTest, EachTableIsSortedAndTheTablesAreDisjoint) {
    std::set<std::string> seen;
    for (const std::vector<std::string>& table : ReservedNameTables()) {
        ASSERT_FALSE(table.empty());
        for (size_t k = 0; k < table.size(); k++) {
            if (k > 0) {
                EXPECT_LT(std::strcmp(table[k - 1].c_str(), table[k].c_str()), 0)
                    << table[k - 1] << " before " << table[k];
            }
            EXPECT_TRUE(seen.insert(table[k]).second) << table[k] << " is in two tables";
            // Reserved names are refused by rule; listing them would hide a fault there.
            EXPECT_NE(table[k][0], '_') << table[k];
            EXPECT_NE(ReservedNameKind(table[k]), ReservedKind::None) << table[k];
        }
    }
}

TEST(ReservedNamesTest, EveryNameIsOfItsKind) {
    const struct {
        const char* name;
        ReservedKind kind;
    } cases[] = {
        {"gamma", ReservedKind::StandardLibrary},
        {"exp", ReservedKind::StandardLibrary},
        {"log", ReservedKind::StandardLibrary},
        {"abs", ReservedKind::StandardLibrary},
        {"printf", ReservedKind::StandardLibrary},
        {"size_t", ReservedKind::StandardLibrary},
        {"std", ReservedKind::StandardLibrary},
        {"j0", ReservedKind::StandardLibrary},
        {"y1", ReservedKind::StandardLibrary},
        {"index", ReservedKind::StandardLibrary},
        {"NULL", ReservedKind::StandardMacro},
        {"EOF", ReservedKind::StandardMacro},
        {"assert", ReservedKind::StandardMacro},
        {"M_PI", ReservedKind::StandardMacro},
        {"new", ReservedKind::Keyword},
        {"and", ReservedKind::Keyword},
        {"alignas", ReservedKind::Keyword},
        {"xor_eq", ReservedKind::Keyword},
        {"requires", ReservedKind::Keyword},
        {"Place", ReservedKind::Framework},
        {"Activity", ReservedKind::Framework},
        {"Rate", ReservedKind::Framework},
        {"TheDistribution", ReservedKind::Framework},
        {"Exponential", ReservedKind::Framework},
        {"SANMODEL_H", ReservedKind::Framework},
        {"value", ReservedKind::StudyLocal},
        {"size", ReservedKind::ModelLocal},
        {"replica", ReservedKind::Language},
        {"_x", ReservedKind::Implementation},
        {"a__b", ReservedKind::Implementation},
        {"lambda", ReservedKind::None},
        {"mu", ReservedKind::None},
        {"up", ReservedKind::None},
        {"a_b", ReservedKind::None},
        {"rate", ReservedKind::None},
        {"Gamma_", ReservedKind::None},
        {"zzzz", ReservedKind::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReservedNameKind(c.name), c.kind) << c.name;
}

} // namespace
