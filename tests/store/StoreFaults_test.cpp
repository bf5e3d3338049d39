#include <gtest/gtest.h>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "store/RecordCount.h"
#include "store/RecordJournal.h"
#include "store/RecordStore.h"
#include "support/FaultyFileIo.h"
#include "support/TempDir.h"

namespace keyrack::testing {
namespace {

std::string Record(char fill) {
    return std::string(RecordLength, fill);
}

class StoreFaultsTest : public ::testing::Test {
  protected:
    void SetUp() override { WriteBytes(path_, before_); }
    bool JournalLeft() const { return std::filesystem::exists(JournalPath(path_)); }

    TempDir dir_;
    std::string path_ = dir_.File("cli.rkd");
    const std::string before_ = Record('a') + Record('b') + Record('c');
    FaultyFileIo files_;
    RecordStore store_{files_};
};

TEST_F(StoreFaultsTest, FailedWriteLeavesFileAndMemoryAsTheyWere) {
    struct Case {
        const char* fault;
        int record;
        std::function<void(FaultyFileIo&)> inject;
    };
    const std::size_t journalSize = EncodeJournalEntry({1, Record('x')}).size();
    const Case cases[] = {
        {"disk fills in an append", 4,
         [&](FaultyFileIo& io) { io.FillDiskAfter(journalSize + 100); }},
        {"write fails in place", 2, [](FaultyFileIo& io) { io.FailOn(FileOp::WriteAt); }},
        {"journal cannot be made", 4, [](FaultyFileIo& io) { io.FailOn(FileOp::Create); }},
        // The file cannot be cut back: the journal then holds the earlier, blank record.
        {"append cannot be undone", 4,
         [](FaultyFileIo& io) {
             io.FailOn(FileOp::WriteAt);
             io.FailOn(FileOp::Resize);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        WriteBytes(path_, before_);
        ASSERT_TRUE(store_.LoadDataFile(path_));
        c.inject(files_);
        EXPECT_FALSE(store_.WriteRecord(FieldValues{"new"}, c.record, path_, false));
        files_.Heal();
        EXPECT_EQ(store_.UpperBound(), 4);
        EXPECT_EQ(store_.ReadField(1, c.record), c.record == 2 ? std::string(100, 'b') : "");
        RecordStore reloaded;
        ASSERT_TRUE(reloaded.LoadDataFile(path_));
        EXPECT_TRUE(ReadBytes(path_).substr(0, before_.size()) == before_);
        EXPECT_EQ(reloaded.ReadField(1, 4), "");
        EXPECT_FALSE(JournalLeft());
    }
}

TEST_F(StoreFaultsTest, StartCompletesACompleteJournalEntryAndDropsAnIncompleteOne) {
    const std::string entry = EncodeJournalEntry({2, Record('n')});
    std::string flipped = entry;
    flipped[100] = 'm';
    struct Case {
        std::string journal;
        std::string loaded;
    };
    // A kill in the middle of the in-place write left record 2 half old, half new.
    const std::string torn =
        Record('a') + Record('b').substr(0, 300) + Record('n').substr(300) + Record('c');
    for (const Case& c :
         {Case{entry, Record('n')}, Case{entry.substr(0, entry.size() - 1), Record('b')},
          Case{flipped, Record('b')}}) {
        WriteBytes(path_, c.loaded == Record('n') ? torn : before_);
        WriteBytes(JournalPath(path_), c.journal);
        ASSERT_TRUE(store_.LoadDataFile(path_));
        EXPECT_EQ(store_.ReadField(1, 2), Record(c.loaded[0]).substr(0, 100));
        EXPECT_TRUE(ReadBytes(path_).substr(RecordLength, RecordLength) == c.loaded);
        EXPECT_FALSE(JournalLeft());
    }
}

TEST_F(StoreFaultsTest, FileDeletedOrReplacedWhileRunningIsWrittenWholeFromMemory) {
    const std::function<void()> mishaps[] = {
        [&] { std::filesystem::remove(path_); },
        [&] {
            WriteBytes(dir_.File("other"), Record('z'));
            std::filesystem::rename(dir_.File("other"), path_);
        },
        [&] { WriteBytes(path_, Record('z')); },  // rewritten in place
    };
    for (const auto& mishap : mishaps) {
        WriteBytes(path_, before_);
        ASSERT_TRUE(store_.LoadDataFile(path_));
        mishap();
        ASSERT_TRUE(store_.WriteRecord(FieldValues{"new"}, 2, path_, false));
        EXPECT_TRUE(ReadBytes(path_) == Record('a') + "new" + std::string(97, ' ') +
                                            Record('b').substr(100) + Record('c'));
        EXPECT_EQ(FileMode(path_), 0600u);
        ASSERT_TRUE(store_.WriteRecord(FieldValues{"next"}, 4, path_, false));
        EXPECT_EQ(ReadBytes(path_).size(), 4u * RecordLength);
    }
}

TEST_F(StoreFaultsTest, UnreadableFileLoadsNothingAndIsNeverWritten) {
    files_.FailOn(FileOp::Read);
    const LoadResult result = store_.LoadDataFile(path_);
    EXPECT_EQ(result.status, LoadResult::Status::Unreadable);
    EXPECT_EQ(result.path, path_);
    EXPECT_EQ(store_.ReadField(1, 1), "");
    EXPECT_FALSE(store_.WriteRecord(FieldValues{"key"}, 1, path_, false));
    EXPECT_EQ(ReadBytes(path_), before_);
}

TEST_F(StoreFaultsTest, DamagedRecordCountGivesWayToTheHighestRecordInUse) {
    // Records 3 to 5 are in use, 6 is free.
    WriteBytes(path_,
               Record(' ') + Record(' ') + Record('c') + Record(' ') + Record('e') + Record(' '));
    const std::pair<const char*, int> rows[] = {{"", 3},    {"-5", 3}, {"abc", 3},
                                                {"0", 3},   {"2", 3},  {"99999", 3},
                                                {"1e2", 3}, {"3", 3},  {"9", 9}};
    for (const auto& [stored, count] : rows) {
        ASSERT_TRUE(store_.LoadDataFile(path_));
        store_.DataRecords[1].SetField(6, stored);
        EXPECT_EQ(RecordCountInUse(store_), count) << stored;
    }
}

}  // namespace
}  // namespace keyrack::testing
