#include "store/RecordStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace keyrack {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

FieldValues Fields(std::initializer_list<std::string> values) {
    FieldValues fields;
    std::copy(values.begin(), values.end(), fields.begin());
    return fields;
}

std::vector<std::string> Snapshot(const RecordStore& store) {
    std::vector<std::string> records;
    for (const DataRecord& record : store.DataRecords) {
        records.emplace_back(record.bytes.begin(), record.bytes.end());
    }
    return records;
}

std::string Padded(const std::string& text, std::size_t width) {
    return text + std::string(width - text.size(), ' ');
}

int FileMode(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0);
    return static_cast<int>(info.st_mode & 0777);
}

class RecordStoreTest : public ::testing::Test {
  protected:
    // A file of the given records, each a single letter in field 1.
    void WriteFileOf(const std::string& firstFields) {
        std::string bytes;
        for (char c : firstFields) {
            bytes += Padded(std::string(1, c), RecordLength);
        }
        WriteBytes(path_, bytes);
    }

    testing::TempDir dir_;
    std::string path_ = dir_.File("keyrack.dat");
    RecordStore store_;
};

TEST_F(RecordStoreTest, MissingFileIsCreatedOwnerOnlyAndHoldsOneEmptyRecord) {
    store_.LoadDataFile(path_);
    EXPECT_EQ(ReadBytes(path_), "");
    EXPECT_EQ(FileMode(path_), 0600);
    EXPECT_EQ(store_.FileRecordCount, 0);
    EXPECT_EQ(store_.UpperBound(), 2);
    EXPECT_EQ(store_.FindFreeRecord(), 1);
    EXPECT_EQ(store_.FindFreeRecord(FirstTreeRecord), 3);
    for (int field = 1; field <= FieldCount; ++field) {
        EXPECT_EQ(store_.ReadField(field, 1), "");
    }

    const std::string other = dir_.File("new.dat");
    ASSERT_TRUE(store_.WriteRecord(Fields({"x"}), 1, other, false));
    EXPECT_EQ(FileMode(other), 0600);
}

TEST_F(RecordStoreTest, WritesEachFieldAtItsPlaceInTheRecord) {
    store_.LoadDataFile(path_);
    const FieldValues fields = Fields({"title", " address ", "user", "pass", "type", "case", "8",
                                       "group", "ABCDEFGHIJKL", std::string(120, 'p')});
    ASSERT_TRUE(store_.WriteRecord(fields, 2, path_, false));

    const std::string bytes = ReadBytes(path_);
    ASSERT_EQ(bytes.size(), 2u * RecordLength);
    const std::string record = bytes.substr(RecordLength);
    EXPECT_EQ(record.substr(0, 100), Padded("title", 100));
    EXPECT_EQ(record.substr(100, 100), Padded(" address ", 100));
    EXPECT_EQ(record.substr(200, 100), Padded("user", 100));
    EXPECT_EQ(record.substr(300, 100), Padded("pass", 100));
    EXPECT_EQ(record.substr(400, 40), Padded("type", 40));
    EXPECT_EQ(record.substr(440, 40), Padded("case", 40));
    EXPECT_EQ(record.substr(480, 40), Padded("8", 40));
    EXPECT_EQ(record.substr(520, 100), Padded("group", 100));
    EXPECT_EQ(record.substr(620, 10), "ABCDEFGHIJ");
    EXPECT_EQ(record.substr(630, 10), "pppppppppp");

    EXPECT_EQ(store_.ReadField(2, 2), "address");
    EXPECT_EQ(store_.ReadField(9, 2), "ABCDEFGHIJ");
    RecordStore reloaded;
    reloaded.LoadDataFile(path_);
    EXPECT_EQ(reloaded.FileRecordCount, 2);
    EXPECT_EQ(reloaded.ReadField(1, 2), "title");
    EXPECT_EQ(reloaded.ReadField(8, 2), "group");
}

TEST_F(RecordStoreTest, BlankValuesKeepFieldsUnlessClearedOrReplaced) {
    WriteFileOf("ab");
    store_.LoadDataFile(path_);
    ASSERT_TRUE(store_.WriteRecord(Fields({"one", "two", "three"}), 1, path_, false));
    ASSERT_TRUE(store_.WriteRecord(Fields({"", "   ", "3"}), 1, path_, false));
    EXPECT_EQ(store_.ReadField(1, 1), "one");
    EXPECT_EQ(store_.ReadField(2, 1), "two");
    EXPECT_EQ(store_.ReadField(3, 1), "3");
    EXPECT_EQ(ReadBytes(path_).substr(0, 210),
              Padded("one", 100) + Padded("two", 100) + "3  " + std::string(7, ' '));

    ASSERT_TRUE(store_.ReplaceRecord(Fields({"", "new"}), 1, path_));
    EXPECT_EQ(store_.ReadField(1, 1), "");
    EXPECT_EQ(store_.ReadField(2, 1), "new");
    EXPECT_EQ(store_.ReadField(3, 1), "");

    ASSERT_TRUE(store_.WriteRecord(Fields({"kept?", "x", "y"}), 2, path_, true));
    const std::string bytes = ReadBytes(path_);
    EXPECT_EQ(bytes.substr(RecordLength), std::string(RecordLength, ' '));
    EXPECT_EQ(store_.ReadField(1, 2), "");
    EXPECT_EQ(store_.FindFreeRecord(), 2);
}

TEST_F(RecordStoreTest, CountsRecordsWithHalvesRoundedToEven) {
    struct Case {
        long long length;
        long records;
    };
    for (const Case& c :
         {Case{0, 0}, Case{1, 0}, Case{320, 0}, Case{321, 1}, Case{640, 1}, Case{959, 1},
          Case{960, 2}, Case{1600, 2}, Case{1601, 3}, Case{2240, 4}, Case{3200, 5}}) {
        EXPECT_EQ(RecordsInLength(c.length, RecordLength), c.records) << c.length;

        WriteBytes(path_, std::string(static_cast<std::size_t>(c.length), 'x'));
        store_.LoadDataFile(path_);
        const long loaded = std::max(c.records, 1L);
        EXPECT_EQ(store_.FileRecordCount, c.records) << c.length;
        ASSERT_EQ(store_.UpperBound(), loaded + 1) << c.length;
        EXPECT_EQ(store_.DataRecords.back().bytes, DataRecord{}.bytes) << c.length;
    }
}

TEST_F(RecordStoreTest, FindsTheLowestFreeRecordAndGrowsPastTheEnd) {
    WriteFileOf("abc");
    store_.LoadDataFile(path_);
    EXPECT_EQ(store_.UpperBound(), 4);
    EXPECT_EQ(store_.FindFreeRecord(), 4);
    EXPECT_EQ(store_.ReadField(1, 5), "");
    EXPECT_EQ(store_.ReadField(0, 1), "");
    EXPECT_EQ(store_.ReadField(11, 1), "");
    EXPECT_EQ(store_.UpperBound(), 4);

    ASSERT_TRUE(store_.WriteRecord(Fields({"d"}), 4, path_, false));
    EXPECT_EQ(store_.FindFreeRecord(), 5);
    ASSERT_TRUE(store_.WriteRecord(Fields({"e"}), 5, path_, false));
    EXPECT_EQ(store_.UpperBound(), 5);
    EXPECT_EQ(ReadBytes(path_).size(), 5u * RecordLength);
    EXPECT_EQ(store_.FindFreeRecord(), 6);

    ASSERT_TRUE(store_.WriteRecord({}, 2, path_, true));
    EXPECT_EQ(store_.FindFreeRecord(), 2);
    // Groups and entries never take the header and settings records.
    EXPECT_EQ(store_.FindFreeRecord(FirstTreeRecord), 6);
    EXPECT_EQ(store_.FindFreeRecord(9), 9);

    // NULs left in a field are cleaned away, in memory too.
    store_.DataRecords[1].bytes[0] = '\0';
    store_.DataRecords[1].bytes[2] = 'z';
    EXPECT_EQ(store_.ReadField(1, 1), "z");
    EXPECT_EQ(store_.DataRecords[1].Field(1), Padded("z", 100));
}

TEST_F(RecordStoreTest, FailedWriteLeavesMemoryAsItWas) {
    WriteFileOf("ab");
    store_.LoadDataFile(path_);
    const std::vector<std::string> before = Snapshot(store_);
    const std::string fileBefore = ReadBytes(path_);

    // A folder cannot be written as a file, even by root.
    const std::vector<std::string> badPaths = {dir_.Path(), dir_.File("none/keyrack.dat")};
    for (const std::string& bad : badPaths) {
        EXPECT_FALSE(store_.WriteRecord(Fields({"changed"}), 1, bad, false)) << bad;
        EXPECT_FALSE(store_.WriteRecord(Fields({"grown"}), 9, bad, false)) << bad;
        EXPECT_FALSE(store_.WriteRecord({}, 2, bad, true)) << bad;
        EXPECT_FALSE(store_.ReplaceRecord(Fields({"x"}), 1, bad)) << bad;
        EXPECT_EQ(Snapshot(store_), before) << bad;
    }
    for (int record : {0, -1, MaxRecordNumber + 1}) {
        EXPECT_FALSE(store_.WriteRecord(Fields({"x"}), record, path_, false)) << record;
    }
    EXPECT_EQ(Snapshot(store_), before);
    EXPECT_EQ(ReadBytes(path_), fileBefore);

    ASSERT_TRUE(store_.WriteRecord(Fields({"last"}), MaxRecordNumber, path_, false));
    EXPECT_EQ(store_.UpperBound(), MaxRecordNumber);
    EXPECT_EQ(std::filesystem::file_size(path_),
              static_cast<std::uintmax_t>(MaxRecordNumber) * RecordLength);
}

}  // namespace
}  // namespace keyrack
