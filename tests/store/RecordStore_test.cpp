#include "store/RecordStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "support/TempDir.h"

namespace keyrack {
namespace {

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

TEST_F(RecordStoreTest, WritesEachFieldAtItsPlaceInAnOwnerOnlyFile) {
    const auto mode = [](const std::string& path) {
        struct stat info {};
        return stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0u;
    };
    store_.LoadDataFile(path_);
    EXPECT_EQ(mode(path_), 0600u);
    EXPECT_EQ(ReadBytes(path_), "");
    // Saving re-creates the file if it went away meanwhile, owner-only as well.
    const std::string other = dir_.File("other.dat");
    ASSERT_TRUE(store_.WriteRecord(FieldValues{"title", " address ", "user", "pass", "type", "case",
                                               "8", "group", "ABCDEFGHIJKL", std::string(120, 'p')},
                                   2, other, false));
    EXPECT_EQ(mode(other), 0600u);
    const std::string bytes = ReadBytes(other);
    ASSERT_EQ(bytes.size(), 2u * RecordLength);
    EXPECT_EQ(bytes.substr(RecordLength),
              Padded("title", 100) + Padded(" address ", 100) + Padded("user", 100) +
                  Padded("pass", 100) + Padded("type", 40) + Padded("case", 40) + Padded("8", 40) +
                  Padded("group", 100) + "ABCDEFGHIJ" + "pppppppppp");
    EXPECT_EQ(store_.ReadField(2, 2), "address");
}

TEST_F(RecordStoreTest, BlankValuesKeepFieldsUnlessClearedOrReplaced) {
    WriteBytes(path_, ab_);
    store_.LoadDataFile(path_);
    ASSERT_TRUE(store_.WriteRecord(FieldValues{"one", "two", "three"}, 1, path_, false));
    ASSERT_TRUE(store_.WriteRecord(FieldValues{"", "   ", "3"}, 1, path_, false));
    EXPECT_EQ(ReadBytes(path_).substr(0, 210),
              Padded("one", 100) + Padded("two", 100) + Padded("3", 10));

    ASSERT_TRUE(store_.ReplaceRecord(FieldValues{"", "new"}, 1, path_));
    EXPECT_EQ(ReadBytes(path_).substr(0, 210), Padded("", 100) + Padded("new", 110));
    ASSERT_TRUE(store_.WriteRecord(FieldValues{"kept?"}, 2, path_, true));
    EXPECT_EQ(ReadBytes(path_).substr(RecordLength), std::string(RecordLength, ' '));
}

TEST_F(RecordStoreTest, CountsRecordsWithHalvesRoundedToEven) {
    // Lengths 1..320 still load one record to work on.
    for (const auto& [length, records] : std::vector<std::pair<std::size_t, long>>{
             {0, 0}, {1, 0}, {320, 0}, {321, 1}, {960, 2}, {1600, 2}, {1601, 3}, {2240, 4}}) {
        WriteBytes(path_, std::string(length, 'x'));
        store_.LoadDataFile(path_);
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
}

TEST_F(RecordStoreTest, FailedWriteLeavesMemoryAsItWas) {
    WriteBytes(path_, ab_);
    store_.LoadDataFile(path_);
    // A folder cannot be written as a file, even by root.
    EXPECT_FALSE(store_.WriteRecord(FieldValues{"changed"}, 1, dir_.Path(), false));
    EXPECT_FALSE(store_.ReplaceRecord(FieldValues{"x"}, 1, dir_.Path()));
    EXPECT_FALSE(store_.WriteRecord({}, 2, dir_.Path(), true));
    EXPECT_FALSE(store_.WriteRecord(FieldValues{"grown"}, 4, dir_.Path(), false));
    EXPECT_FALSE(store_.WriteRecord(FieldValues{"x"}, MaxRecordNumber + 1, path_, false));
    EXPECT_EQ(store_.UpperBound(), 3);
    EXPECT_EQ(store_.ReadField(1, 1) + store_.ReadField(1, 2), "ab");
    EXPECT_EQ(ReadBytes(path_), ab_);
}

}  // namespace
}  // namespace keyrack
