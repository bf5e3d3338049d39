#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/Strings.h"
#include "lang/LangFunctions.h"
#include "lang/ProfileFile.h"
#include "store/AppPath.h"
#include "support/TempDir.h"

namespace keyrack {
namespace {

constexpr char kShippedCatalogue[] = KEYRACK_SHIPPED_LANG_INI;
constexpr char kSection[] = "Messages";
constexpr int kLanguageCount = 8;

// The messages the program shows; the numbers between are unused.
std::vector<int> UsedMessageNumbers() {
    std::vector<int> numbers;
    const std::vector<std::pair<int, int>> ranges = {{0, 10}, {13, 15}, {19, 45}, {47, 58}};
    for (const auto& [first, last] : ranges) {
        for (int number = first; number <= last; ++number) {
            numbers.push_back(number);
        }
    }
    return numbers;
}

std::string MessageLine(int number) {
    return ReadIniValue(kSection, "MES" + std::to_string(number), kShippedCatalogue);
}

bool IsValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

TEST(ShippedCatalogueTest, CountCoversEveryUsedMessageAndFitsTheCatalogue) {
    const std::string count = ReadIniValue(kSection, "number", kShippedCatalogue);
    ASSERT_FALSE(IsBlank(count)) << "no [Messages] number in " << kShippedCatalogue;
    EXPECT_GE(Val(count), 58);
    EXPECT_LE(Val(count), static_cast<double>(LangFunctions::kMessageCount - 1));
}

TEST(ShippedCatalogueTest, EveryUsedMessageHasAllEightTranslations) {
    for (int number : UsedMessageNumbers()) {
        const std::string line = MessageLine(number);
        for (int field = 1; field <= kLanguageCount; ++field) {
            EXPECT_FALSE(IsBlank(GetField(line, "|", field)))
                << "MES" << number << " field " << field << " in \"" << line << "\"";
        }
    }
}

TEST(ShippedCatalogueTest, EveryMessageLineIsWholeUtf8) {
    const int longerThanAnyLine = 1000000;
    for (int number = 0; number < static_cast<int>(LangFunctions::kMessageCount); ++number) {
        const std::string whole = ReadIniValue(kSection, "MES" + std::to_string(number),
                                               kShippedCatalogue, longerThanAnyLine);
        EXPECT_EQ(MessageLine(number), whole) << "MES" << number << " is cut by the reader";
        EXPECT_TRUE(IsValidUtf8(whole)) << "MES" << number << " is not UTF-8";
    }
}

class ShippedCatalogueLoadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::WriteBytes(dir_.File("lang.ini"), testing::ReadBytes(kShippedCatalogue));
        UseAppFolder(dir_.Path());
        LangFunctions::ResetCatalogue();
    }

    void TearDown() override {
        UseAppFolder("");
        LangFunctions::ResetCatalogue();
    }

    testing::TempDir dir_;
};

TEST_F(ShippedCatalogueLoadTest, LoadsBesideTheProgram) {
    LangFunctions::CurrentLanguage = "NORWEGIAN";

    const std::string message = LangFunctions::GetMessage(0);

    EXPECT_TRUE(LangFunctions::MessagesLoaded);
    const std::string line = MessageLine(0);
    const std::string norwegian = GetField(line, "|", kLanguageCount);
    EXPECT_EQ(message, IsBlank(norwegian) ? GetField(line, "|", 1) : norwegian);
}

}  // namespace
}  // namespace keyrack
