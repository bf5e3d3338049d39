#include "store/EntryRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"

namespace keyrack {
namespace {

constexpr int kKey = 60;

const EntryValues kStorable{"Bank", "https://example.org/", "me", "zyxwvuts", {}};

TEST(EntryRecordTest, FirstUnstorableBoxFollowsTheFormOrder) {
    EntryValues values = kStorable;
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
    const EntryValues noAddress{"Bank", "", "me", "zyxwvuts", {}};
    EXPECT_EQ(FirstUnstorableBox(noAddress, 112), EntryBox::Password);
}

TEST(EntryRecordTest, FieldsDecodeBackToTheEntry) {
    EntryValues values = kStorable;
    values.title = "  Bank  ";
    values.type = {"ALPHANUMERIC ", " N", " 12"};
    const FieldValues fields =
        EntryRecordFields(values, "K7 ", 150, " K150 ", kKey, platform::SystemRandom());
    std::vector<std::string> decoded;
    for (int field = 1; field <= FieldCount; ++field) {
        EXPECT_EQ(fields[field - 1].size(), static_cast<std::size_t>(FieldWidth(field))) << field;
        decoded.push_back(DecodeValue(fields[field - 1], kKey));
    }
    // Keys of records from 100 on only fit in fields 9 and 10 in their short form.
    EXPECT_EQ(decoded, std::vector<std::string>({"Bank", values.address, "me", "zyxwvuts",
                                                 "ALPHANUMERIC", "N", " 12", "K7",
                                                 StoredKeyForm("K150"), StoredKeyForm("K150")}));

    const FieldValues top = EntryRecordFields({}, "", 4, "", kKey, platform::SystemRandom());
    EXPECT_EQ(DecodeValue(top[8], kKey) + top[9], "K4");
    // The count alone: blank fields leave the key and the rest of record 1 as they are.
    EXPECT_EQ(RecordCountFields(298), (FieldValues{"", "", "", "", "", "298"}));
}

}  // namespace
}  // namespace keyrack
