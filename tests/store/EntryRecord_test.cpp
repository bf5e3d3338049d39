#include "store/EntryRecord.h"

#include <gtest/gtest.h>

#include <string>

#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"

namespace keyrack {
namespace {

constexpr int kKey = 60;

EntryValues Storable() {
    EntryValues values;
    values.title = "Bank";
    values.address = "https://example.org/";
    values.userName = "me";
    values.password = "zyxwvuts";
    return values;
}

TEST(EntryRecordTest, FirstUnstorableBoxFollowsTheFormOrder) {
    EntryValues values = Storable();
    EXPECT_EQ(FirstUnstorableBox(values, kKey), std::nullopt);

    // Surrounding spaces are not stored, so they do not count against the width.
    values.title = "   " + std::string(33, 't') + "   ";
    EXPECT_EQ(FirstUnstorableBox(values, kKey), std::nullopt);

    values.password = std::string(34, 'p');
    EXPECT_EQ(FirstUnstorableBox(values, kKey), EntryBox::Password);
    values.userName = std::string("m\0e", 3);
    EXPECT_EQ(FirstUnstorableBox(values, kKey), EntryBox::UserName);
    values.address = std::string(34, 'a');
    EXPECT_EQ(FirstUnstorableBox(values, kKey), EntryBox::Address);
    values.title = std::string(34, 't');
    EXPECT_EQ(FirstUnstorableBox(values, kKey), EntryBox::Title);

    // Under a large key high letters run out of digits sooner.
    EntryValues high = Storable();
    high.address = "";
    EXPECT_EQ(FirstUnstorableBox(high, 112), EntryBox::Password);
    high.password = "zyx";
    EXPECT_EQ(FirstUnstorableBox(high, 112), std::nullopt);
}

TEST(EntryRecordTest, FieldsDecodeBackToTheEntry) {
    EntryValues values = Storable();
    values.title = "  Bank  ";
    values.type = {"ALPHANUMERIC ", " N", " 12"};
    const FieldValues fields =
        EntryRecordFields(values, "K7 ", 150, " K150 ", kKey, platform::SystemRandom());

    for (int field = 1; field <= FieldCount; ++field) {
        EXPECT_EQ(fields[field - 1].size(), static_cast<std::size_t>(FieldWidth(field))) << field;
    }
    const auto decoded = [&](int field) { return DecodeValue(fields[field - 1], kKey); };
    EXPECT_EQ(decoded(1), "Bank");
    EXPECT_EQ(decoded(2), values.address);
    EXPECT_EQ(decoded(3), "me");
    EXPECT_EQ(decoded(4), "zyxwvuts");
    EXPECT_EQ(decoded(5), "ALPHANUMERIC");
    EXPECT_EQ(decoded(6), "N");
    EXPECT_EQ(decoded(7), " 12");
    EXPECT_EQ(decoded(8), "K7");
    EXPECT_EQ(decoded(9), StoredKeyForm("K150"));
    EXPECT_EQ(KeyFromStored(decoded(10)), "K150");

    const FieldValues top =
        EntryRecordFields(Storable(), "", 4, "", kKey, platform::SystemRandom());
    EXPECT_EQ(DecodeValue(top[8], kKey), "K4");
    EXPECT_EQ(top[9], "");
    EXPECT_EQ(top[7], "");

    const FieldValues count = RecordCountFields(298);
    EXPECT_EQ(count[5], "298");
    for (int field = 1; field <= FieldCount; ++field) {
        EXPECT_EQ(count[field - 1].empty(), field != 6) << field;
    }
}

}  // namespace
}  // namespace keyrack
