#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "common/Strings.h"
#include "lang/LangFunctions.h"
#include "lang/ProfileFile.h"

namespace keyrack {
namespace {

constexpr char kShippedCatalogue[] = KEYRACK_SHIPPED_LANG_INI;

TEST(ShippedCatalogueTest, EveryMessageTheProgramShowsHasAllEightTranslations) {
    const std::string count = ReadIniValue("Messages", "number", kShippedCatalogue);
    ASSERT_FALSE(IsBlank(count)) << "no [Messages] number in " << kShippedCatalogue;
    EXPECT_GE(Val(count), 58);
    // A count past the catalogue's end would make every message empty.
    EXPECT_LT(Val(count), static_cast<double>(LangFunctions::kMessageCount));

    // The numbers between these ranges are not used by the program.
    const std::pair<int, int> used[] = {{0, 10}, {13, 15}, {19, 45}, {47, 58}};
    for (const auto& [first, last] : used) {
        for (int number = first; number <= last; ++number) {
            const std::string line =
                ReadIniValue("Messages", "MES" + std::to_string(number), kShippedCatalogue);
            for (int field = 1; field <= 8; ++field) {
                EXPECT_FALSE(IsBlank(GetField(line, "|", field)))
                    << "MES" << number << " field " << field << ": \"" << line << "\"";
            }
        }
    }
}

}  // namespace
}  // namespace keyrack
