#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "store/BackupDate.h"
#include "store/BackupSchedule.h"
#include "store/DataKey.h"
#include "store/EntryRecord.h"
#include "store/RecordStore.h"
#include "store/ValueCipher.h"
#include "support/TempDir.h"
#include "tree/NodeKeys.h"

namespace keyrack {
namespace {

// Hands out a fixed sequence of draws (each taken modulo the bound), over and over, and
// remembers every bound asked for.
struct ScriptedRandom : platform::RandomSource {
    explicit ScriptedRandom(std::vector<std::uint32_t> values) : draws(std::move(values)) {}
    std::uint32_t Below(std::uint32_t bound) override {
        bounds.push_back(bound);
        return draws[(bounds.size() - 1) % draws.size()] % bound;
    }
    std::vector<std::uint32_t> draws;
    std::vector<std::uint32_t> bounds;
};

// Each row: plain text, key, its encoding without fill, and what that encoding decodes to.
TEST(ValueCipherTest, RunningSumsEncodeAndDecodeAsFilesRelyOn) {
    const std::tuple<const char*, std::string, int, std::string, std::string> rows[] = {
        // 'A' 65 + 41 = 106; 'b' 98 + 106 + 41 = 245; 'c' 99 + 245 + 41 = 385, less 221.
        {"default key", "Abc", DefaultKey, "106245164", "Abc"},
        // Keys outside 1..199 must behave as the default key, or older files would not open.
        {"key 0", "Abc", 0, "106245164", "Abc"},
        {"first invalid key", "A", 200, "106", "A"},
        {"largest valid key", "A", 199, "264", "A"},
        {"leading space", " A", DefaultKey, "073179", " A"},
        // Once the sum has reached 255, 'z' under key 112 needs its full sum (468) to come back.
        {"full sum kept", "zz", 112, "234468", "zz"},
        // Under key 199, characters 134 keep their full running sum up to 999 ...
        {"sum reaching 999 kept whole", "\x86\x86\x86", 199, "333666999", "\x86\x86\x86"},
        // ... and one more is reduced by 221, which the decoder cannot undo: that one is lost.
        {"sum of 1000 reduced", "\x86\x86\x87", 199, "333666779", "\x86\x86"}};
    for (const auto& [what, plain, key, encoded, decoded] : rows) {
        EXPECT_EQ(EncodeValue(plain, key, false, 0), encoded) << what;
        EXPECT_EQ(DecodeValue(encoded, key), decoded) << what;
        EXPECT_EQ(StoresIntact(plain, key, 100), plain == decoded) << what;
    }
    // Text is encoded only when its first character is below 61: "<" is 60, "=" is 61. A
    // field that cut the value leaves a shorter last group: "2" after 73 is 109, 'm'. A damaged
    // group that gives a code above 255 carries no character.
    const std::pair<const char*, const char*> decoded[] = {
        {"Q106245164", ""}, {"106245164QwErTyUi", "Abc"}, {"0732", " m"}, {"<12106", "A"},
        {"=12106", ""},     {"066999", "\x19"},           {"999", ""}};
    for (const auto& [encoded, plain] : decoded) {
        EXPECT_EQ(DecodeValue(encoded, DefaultKey), plain) << encoded;
    }

    // 29, 30 and 31 stand for '^', '_' and '`', which must be drawn again.
    ScriptedRandom random({29, 0, 30, 28, 31, 32, 56});
    EXPECT_EQ(EncodeValue("A", DefaultKey, true, 7, random), "106A]ay");
    EXPECT_EQ(EncodeValue("Abcd", DefaultKey, true, 10, random).size(), 12u);
    EXPECT_EQ(EncodeValue("   ", DefaultKey, true, 40, random), "");
    // Only the fill of "A" drew, always from the 57 letters.
    EXPECT_EQ(random.bounds, std::vector<std::uint32_t>(7, 57));
}

TEST(ValueCipherTest, StoresIntactPromisesOnlyWhatComesBack) {
    const auto throughField = [](const std::string& value, int key) {
        ScriptedRandom random({7, 40});
        return DecodeValue(EncodeValue(value, key, true, 100, random).substr(0, 100), key);
    };
    // Every printable value of 33 is promised under the keys new files draw; whatever is
    // promised under any key comes back.
    for (int key = 1; key <= 199; ++key) {
        for (int c = 1; c <= 255; ++c) {
            for (int n : {1, 30}) {
                const std::string value = std::string(n, static_cast<char>(c)) + "aZ~";
                const bool printable = c >= 32 && c <= 126 && key >= 13 && key <= 95;
                ASSERT_TRUE(!printable || StoresIntact(value, key, 100)) << key << " " << c;
                if (StoresIntact(value, key, 100)) {
                    ASSERT_EQ(throughField(value, key), value) << key << " " << c << " " << n;
                }
            }
        }
    }
    EXPECT_FALSE(StoresIntact(std::string(34, 'a'), 50, 100));
    EXPECT_FALSE(StoresIntact("zzzzzzzz", 112, 100));             // groups outgrow three digits
    EXPECT_FALSE(StoresIntact(std::string("a\0b", 3), 50, 100));  // NUL decodes to nothing
}

using testing::ReadBytes;
using testing::WriteBytes;

std::string Padded(const std::string& text, std::size_t width) {
    return text + std::string(width - text.size(), ' ');
}

class RecordStoreTest : public ::testing::Test {
  protected:
    testing::TempDir dir_;
    std::string path_ = dir_.File("keyrack.dat");
    const std::string ab_ = Padded("a", RecordLength) + Padded("b", RecordLength);
    RecordStore store_;
};

// Each field at its place, cut or padded; blank values keep their fields unless the record is
// cleared or replaced.
TEST_F(RecordStoreTest, WritesEachFieldAtItsPlaceAndBlankValuesKeepTheirs) {
    WriteBytes(path_, ab_);
    store_.LoadDataFile(path_);
    ASSERT_TRUE(store_.WriteRecord(FieldValues{"title", " address ", "user", "pass", "type", "case",
                                               "8", "group", "ABCDEFGHIJKL", std::string(120, 'p')},
                                   2, path_, false));
    EXPECT_EQ(ReadBytes(path_).substr(RecordLength),
              Padded("title", 100) + Padded(" address ", 100) + Padded("user", 100) +
                  Padded("pass", 100) + Padded("type", 40) + Padded("case", 40) + Padded("8", 40) +
                  Padded("group", 100) + "ABCDEFGHIJ" + "pppppppppp");
    EXPECT_EQ(store_.ReadField(2, 2), "address");
    ASSERT_TRUE(store_.WriteRecord(FieldValues{"one", "two", "three"}, 1, path_, false));
    ASSERT_TRUE(store_.WriteRecord(FieldValues{"", "   ", "3"}, 1, path_, false));
    EXPECT_EQ(ReadBytes(path_).substr(0, 210),
              Padded("one", 100) + Padded("two", 100) + Padded("3", 10));
    ASSERT_TRUE(store_.ReplaceRecord(FieldValues{"", "new"}, 1, path_));
    EXPECT_EQ(ReadBytes(path_).substr(0, 210), Padded("", 100) + Padded("new", 110));
    ASSERT_TRUE(store_.WriteRecord(FieldValues{"kept?"}, 2, path_, true));
    EXPECT_EQ(ReadBytes(path_).substr(RecordLength), std::string(RecordLength, ' '));
}

TEST_F(RecordStoreTest, LoadsWholeRecordsOwnerOnlyAndLeavesAPartialLastOneOut) {
    // A file shorter than a record still loads one record to work on.
    for (const auto& [length, records] :
         std::vector<std::pair<std::size_t, long>>{{0, 0}, {639, 0}, {640, 1}, {1919, 2}}) {
        WriteBytes(path_, std::string(length, 'x'));
        std::filesystem::permissions(path_, std::filesystem::perms(0644));
        store_.LoadDataFile(path_);
        EXPECT_EQ(testing::FileMode(path_), 0600u);
        EXPECT_EQ(store_.FileRecordCount, records) << length;
        EXPECT_EQ(store_.UpperBound(), std::max(records, 1L) + 1) << length;
    }
}

TEST_F(RecordStoreTest, FindsTheLowestFreeRecordAndGrowsByOne) {
    WriteBytes(path_, Padded("a", 2 * RecordLength) + Padded("c", RecordLength));
    store_.LoadDataFile(path_);
    EXPECT_EQ(store_.FindFreeRecord(), 2);
    EXPECT_EQ(store_.FindFreeRecord(FirstTreeRecord), 4);
    EXPECT_EQ(store_.FindFreeRecord(9), 9);
    EXPECT_EQ(store_.ReadField(1, 5), "");
    EXPECT_EQ(store_.UpperBound(), 4);  // reading never grows the store

    ASSERT_TRUE(store_.WriteRecord(FieldValues{"d"}, 4, path_, false));
    ASSERT_TRUE(store_.WriteRecord(FieldValues{"e"}, 5, path_, false));
    EXPECT_EQ(store_.UpperBound(), 5);
    EXPECT_EQ(ReadBytes(path_).size(), 5u * RecordLength);
    // The rest of a grown record holds NULs, which must read, and later save, as blanks.
    EXPECT_EQ(store_.ReadField(2, 5), "");
    EXPECT_EQ(store_.DataRecords[5].Field(2), std::string(100, ' '));
    EXPECT_EQ(store_.FindFreeRecord(FirstTreeRecord), 6);
    EXPECT_FALSE(store_.WriteRecord(FieldValues{"x"}, MaxRecordNumber + 1, path_, false));
    EXPECT_EQ(store_.UpperBound(), 5);
}

using DataKeyTest = RecordStoreTest;

TEST_F(DataKeyTest, NewKeyIsDrawnFromItsRangeAndAStoredOneKept) {
    // 83 wraps round to the lowest key only if exactly 83 keys can be drawn.
    for (std::uint32_t draw : {0u, 82u, 83u}) {
        const std::string path = dir_.File("k" + std::to_string(draw));
        store_.LoadDataFile(path);
        ScriptedRandom random({draw});
        const DataKeyResult made = LoadOrCreateDataKey(store_, path, random);
        EXPECT_EQ(made.key, 13 + static_cast<int>(draw % 83));
        EXPECT_TRUE(made.created && made.written);
        EXPECT_EQ(DecodeValue(ReadBytes(path).substr(400, 40), LoginKey), std::to_string(made.key));
    }

    store_.LoadDataFile(path_);
    ScriptedRandom random({0});
    // Writing to a folder fails: the new key must not pass for a saved one.
    const DataKeyResult lost = LoadOrCreateDataKey(store_, dir_.Path(), random);
    EXPECT_TRUE(lost.created && !lost.written);
    ASSERT_TRUE(store_.WriteRecord(
        FieldValues{"", "", "", "", EncodeValue("112", LoginKey, true, 100)}, 1, path_, false));
    const DataKeyResult kept = LoadOrCreateDataKey(store_, path_, random);
    EXPECT_EQ(kept.key, 112);
    EXPECT_FALSE(kept.created);
}

constexpr int kKey = 60;

const EntryValues kStorable{"Bank", "https://example.org/", "me", "zyxwvuts", {}};

TEST(EntryRecordTest, FirstUnstorableBoxFollowsTheFormOrderAndFieldsDecodeBack) {
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

    // The fields of a storable entry decode back to it.
    values = kStorable;
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

// This version writes one English form; earlier ones wrote the system's separator and month
// names, and what cannot be read must make a backup due, never put it off.
TEST(BackupDateTest, ReadsEveryFormWrittenAndTakesAnythingElseForLongAgo) {
    EXPECT_EQ(FormatBackupDate(CivilDateTime{2026, 12, 6, 0, 0, 0}), "06/Dec/2026");
    for (int month = 1; month <= 12; ++month) {
        const CivilDateTime date{2000, month, 29, 0, 0, 0};
        EXPECT_EQ(ParseBackupDate(FormatBackupDate(date)), date) << month;
    }
    // Any case, any separator, a month name of each language's form, cut or not.
    const std::pair<const char*, int> earlier[] = {
        {"06/dEC/2026 and more", 12}, {"06.Dez.2026", 12},      {"06-d\xe9\x63.-2026", 12},
        {"6/f\xe9vr./2026", 2},       {"06.Mrz.2026", 3},       {"06 mei 2026", 5},
        {"06/ao\xfbt/2026", 8},       {"06/D\xc9\x43/2026", 12}};
    for (const auto& [text, month] : earlier) {
        EXPECT_EQ(StoredBackupDate(text), (CivilDateTime{2026, month, 6, 0, 0, 0})) << text;
    }
    for (const char* text : {"", "06/Dec/202", "29/Feb/1900", "31/Apr/2026", "00/Dec/2026",
                             "06/De/2026", "06/Dex/2026"}) {
        EXPECT_EQ(StoredBackupDate(text), LongAgo) << text;
    }
}

TEST(BackupScheduleTest, DueOnceTheChosenPeriodHasPassed) {
    // The period, the last backup, now, and whether one is due.
    const std::tuple<const char*, CivilDateTime, CivilDateTime, bool> cases[] = {
        {"D", {2026, 12, 5, 23, 59}, {2026, 12, 6, 0, 0, 1}, true},  // yesterday 23:59
        {"D", {2026, 12, 6, 0, 0}, {2026, 12, 6, 23, 59}, false},
        {"D", {2026, 12, 31, 23, 0}, {2027, 1, 1, 0, 30}, true},
        {"M", {2026, 1, 31, 22}, {2026, 2, 1, 8}, true},  // the 31st, then the 1st
        {"M", {2026, 1, 1}, {2026, 1, 31, 23, 59}, false},
        {"M", {2026, 12, 31}, {2027, 1, 1}, true},
        {"W", {2026, 11, 30, 9}, {2026, 12, 6, 23, 59}, false},    // six days
        {"W", {2026, 11, 29, 23, 59}, {2026, 12, 6, 0, 1}, true},  // seven
        {"W", {2028, 2, 23}, {2028, 3, 1}, true},                  // over the leap day
        {"W", {2027, 2, 23}, {2027, 3, 1}, false},
        {"", {2020, 1, 1}, {2026, 12, 6}, false},    // no period: never
        {"D", {2026, 12, 7}, {2026, 12, 6}, false},  // clock turned back
    };
    for (const auto& [period, last, now, due] : cases) {
        EXPECT_EQ(BackupDue(true, period, last, now), due) << period << " " << last.month;
        EXPECT_FALSE(BackupDue(false, period, last, now));
    }
    EXPECT_EQ(BackupPeriodsPassed("D", {1999, 12, 31}, {2026, 12, 6}), 9837);
    // Picking the chosen period again clears it; the switch leads the stored setting.
    EXPECT_EQ(ChosenBackupPeriod("D", "D") + "|" + ChosenBackupPeriod("D", "M"), "|M");
    EXPECT_EQ(BackupSettingText(true, "") + BackupSettingText(false, "W"), "YNW");
}

}  // namespace
}  // namespace keyrack
