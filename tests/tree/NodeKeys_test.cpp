#include "tree/NodeKeys.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "store/RecordStore.h"

namespace keyrack {
namespace {

TEST(NodeKeysTest, LongKeysAreStoredInThreeCharactersAndOtherValuesStayAsTheyAre) {
    const std::pair<const char*, const char*> forms[] = {
        {"D", "D"},       {"K99", "K99"},   {"K100", "034"},  {"K1023", "0WW"},
        {"K1024", "100"}, {"K9856", "9L0"}, {"K32767", "WWW"}};
    for (const auto& [key, stored] : forms) {
        EXPECT_EQ(StoredKeyForm(key), stored) << key;
    }
    for (int record = 1; record <= MaxRecordNumber; ++record) {
        const std::string stored = StoredKeyForm(RecordKey(record));
        ASSERT_LE(stored.size(), 3u) << record;
        ASSERT_EQ(RecordOfKey(KeyFromStored(stored)), record) << record;
    }
    // Older or damaged files may hold anything in the key fields.
    for (const char* other : {"D", "K12", "012", "03K", "0wW", "0340", ""}) {
        EXPECT_EQ(KeyFromStored(other), other);
    }
    for (const char* notAKey : {"D", "K07", "k7", "K7a", "034", ""}) {
        EXPECT_EQ(RecordOfKey(notAKey), 0) << notAKey;
    }
}

}  // namespace
}  // namespace keyrack
