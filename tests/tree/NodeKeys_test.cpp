#include "tree/NodeKeys.h"

#include <gtest/gtest.h>

#include <string>

#include "store/RecordStore.h"

namespace keyrack {
namespace {

TEST(NodeKeysTest, LongKeysAreStoredInThreeCharacters) {
    EXPECT_EQ(StoredKeyForm("D"), "D");
    EXPECT_EQ(StoredKeyForm(""), "");
    EXPECT_EQ(StoredKeyForm("K3"), "K3");
    EXPECT_EQ(StoredKeyForm("K99"), "K99");
    EXPECT_EQ(StoredKeyForm("K100"), "034");
    EXPECT_EQ(StoredKeyForm("K1023"), "0WW");
    EXPECT_EQ(StoredKeyForm("K1024"), "100");
    EXPECT_EQ(StoredKeyForm("K9855"), "9JW");
    EXPECT_EQ(StoredKeyForm("K9856"), "9L0");  // J is followed by L: no short form holds a K
    EXPECT_EQ(StoredKeyForm("K32767"), "WWW");
    EXPECT_EQ(StoredKeyForm("K0100"), "K0100");

    for (int record = 1; record <= MaxRecordNumber; ++record) {
        const std::string key = RecordKey(record);
        const std::string stored = StoredKeyForm(key);
        ASSERT_LE(stored.size(), 3u) << record;
        ASSERT_EQ(KeyFromStored(stored), key) << record;
        ASSERT_EQ(RecordOfKey(key), record);
    }
}

TEST(NodeKeysTest, StoredValuesThatAreNoShortFormStayAsTheyAre) {
    EXPECT_EQ(KeyFromStored("034"), "K100");
    EXPECT_EQ(KeyFromStored("D"), "D");
    EXPECT_EQ(KeyFromStored("K12"), "K12");
    EXPECT_EQ(KeyFromStored("012"), "012");  // 34 is below the short forms
    EXPECT_EQ(KeyFromStored("03K"), "03K");
    EXPECT_EQ(KeyFromStored("0wW"), "0wW");
    EXPECT_EQ(KeyFromStored("0340"), "0340");
    EXPECT_EQ(KeyFromStored(""), "");

    EXPECT_EQ(RecordOfKey("K7"), 7);
    for (const char* notAKey : {"D", "K", "K07", "k7", "K7a", "034", "K1234567", ""}) {
        EXPECT_EQ(RecordOfKey(notAKey), 0) << notAKey;
    }
}

}  // namespace
}  // namespace keyrack
