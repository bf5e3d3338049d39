#include <gtest/gtest.h>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "store/OldFormat.h"
#include "store/RecordCount.h"
#include "store/RecordJournal.h"
#include "store/RecordStore.h"
#include "store/Restore.h"
#include "store/ValueCipher.h"
#include "support/FaultyFileIo.h"
#include "support/OldFile.h"
#include "support/TempDir.h"

namespace keyrack::testing {
namespace {

std::string Record(char fill) {
    return std::string(RecordLength, fill);
}

// An entry as versions before the file's identity was kept wrote it.
std::string EntryWithoutIdentity(int record, const std::string& bytes) {
    const std::string body = "KRJ1" + std::string(4, '0') + std::to_string(record) + bytes;
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char byte : body) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return body + hex;
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

// Neither memory nor the file may show a refused change later: not after the next write, not
// after a restart, whatever was left of the journal.
TEST_F(StoreFaultsTest, FailedWriteNeverComesBack) {
    const long long journal = static_cast<long long>(EncodeJournalEntry({1, Record('x')}).size());
    // The fault, the record written, the calls that fail, the space left (negative: enough).
    const std::tuple<const char*, int, std::vector<std::pair<FileOp, int>>, long long> cases[] = {
        {"disk fills in an append", 4, {}, journal + 100},
        {"write fails in place", 2, {{FileOp::WriteAt, 1}}, -1},
        {"journal cannot be made", 4, {{FileOp::Create, 1}}, -1},
        {"append cannot be undone", 4, {{FileOp::WriteAt, 1}, {FileOp::Resize, 1}}, -1},
        // Undo and journal fail too: the journal still holds the refused record.
        {"disk fills in place", 2, {}, journal + 100},
        {"disk fills in place, journal stays", 2, {{FileOp::Remove, 4}}, journal + 100},
    };
    for (const auto& [fault, record, failing, spaceLeft] : cases) {
        SCOPED_TRACE(fault);
        WriteBytes(path_, before_);
        ASSERT_TRUE(store_.LoadDataFile(path_));
        for (const auto& [op, nth] : failing) {
            files_.FailOn(op, nth);
        }
        files_.FillDiskAfter(spaceLeft);
        EXPECT_FALSE(store_.WriteRecord(FieldValues{"new"}, record, path_, false));
        files_.Heal();
        EXPECT_EQ(store_.UpperBound(), 4);
        EXPECT_EQ(store_.ReadField(1, record), record == 2 ? std::string(100, 'b') : "");
        ASSERT_TRUE(store_.WriteRecord(FieldValues{"", "later"}, 3, path_, false));
        RecordStore reloaded;
        ASSERT_TRUE(reloaded.LoadDataFile(path_));
        EXPECT_TRUE(ReadBytes(path_).substr(0, 2 * RecordLength) == before_.substr(0, 1280));
        EXPECT_EQ(reloaded.ReadField(1, 4) + reloaded.ReadField(2, 3), "later");
        EXPECT_FALSE(JournalLeft());
    }
}

TEST_F(StoreFaultsTest, StartCompletesAJournalEntryThatFitsAndDropsAnyOther) {
    const std::string entry = EncodeJournalEntry({2, Record('n')});
    // A kill in the middle of the in-place write left record 2 half old, half new.
    const std::string torn =
        Record('a') + Record('b').substr(0, 300) + Record('n').substr(300) + Record('c');
    const std::string renewed = Record('a') + Record('n') + Record('c');
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {entry, torn, renewed},
        {EntryWithoutIdentity(2, Record('n')), torn, renewed},
        {entry.substr(0, entry.size() - 1), before_, before_},
        {std::string(entry).replace(100, 1, "m"), before_, before_},
        {EncodeJournalEntry({4, Record('n')}), before_, before_ + Record('n')},
        {EncodeJournalEntry({5, Record('n')}), before_, before_},
        {EncodeJournalEntry({MaxRecordNumber, Record('n')}), before_, before_},
        // Made for a file that a sync engine has since replaced.
        {EncodeJournalEntry({2, Record('n'), 1, 1}), before_, before_},
    };
    for (const auto& [journal, file, loaded] : cases) {
        WriteBytes(path_, file);
        WriteBytes(JournalPath(path_), journal);
        ASSERT_TRUE(store_.LoadDataFile(path_));
        EXPECT_EQ(store_.ReadField(1, 2), loaded.substr(RecordLength, 100));
        EXPECT_TRUE(ReadBytes(path_) == loaded) << journal.substr(0, 9);
        EXPECT_FALSE(JournalLeft());
    }
}

TEST_F(StoreFaultsTest, FileDeletedOrReplacedWhileRunningIsWrittenWholeFromMemory) {
    const std::function<void()> mishaps[] = {
        [&] { std::filesystem::remove(path_); },
        [&] { WriteBytes(path_, Record('z')); },  // rewritten in place
    };
    for (const auto& mishap : mishaps) {
        WriteBytes(path_, before_);
        ASSERT_TRUE(store_.LoadDataFile(path_));
        mishap();
        ASSERT_TRUE(store_.WriteRecord(FieldValues{"new"}, 2, path_, false));
        EXPECT_TRUE(ReadBytes(path_) == Record('a') + "new" + std::string(97, ' ') +
                                            Record('b').substr(100) + Record('c'));
        ASSERT_TRUE(store_.WriteRecord(FieldValues{"next"}, 4, path_, false));
        EXPECT_EQ(ReadBytes(path_).size(), 4u * RecordLength);
    }
}

// Only a file that is really absent starts a new one.
TEST_F(StoreFaultsTest, FileThatCannotBeReadOrLookedAtLoadsNothingAndIsNeverWritten) {
    for (const FileOp op : {FileOp::Read, FileOp::Stat}) {
        files_.FailOn(op);
        const LoadResult result = store_.LoadDataFile(path_);
        files_.Heal();
        EXPECT_EQ(result.status, LoadResult::Status::Unreadable);
        EXPECT_EQ(result.path, path_);
        EXPECT_EQ(store_.ReadField(1, 1), "");
        EXPECT_FALSE(store_.WriteRecord(FieldValues{"key"}, 1, path_, false));
        EXPECT_EQ(ReadBytes(path_), before_);
    }
}

// The restored file is the backup byte for byte, and only a data file is restored; the file
// it replaced stays at hand until the next login.
// (The copy that keeps it is made owner-only by the file unit, whose test shows it.)
TEST_F(StoreFaultsTest, RestoreTakesOnlyADataFileWhole) {
    const std::string oldFile = OldDataFile(40) + std::string(13 * OldRecordLength, ' ');
    const std::pair<std::string, bool> backups[] = {
        {ConvertOldFormat(OldDataFile(40)), true},
        {oldFile, true},
        {std::string(1280, ' '), false},
        {std::string(oldFile).replace(520, 520, 520, ' '), false},  // an old file without login
    };
    const std::string backup = dir_.File("cli2.rkd");
    const std::string kept = BeforeRestorePath(path_);
    for (const auto& [content, restored] : backups) {
        SCOPED_TRACE(content.size());
        WriteBytes(path_, before_);
        WriteBytes(JournalPath(path_), EncodeJournalEntry({2, Record('n')}));
        WriteBytes(backup, content);
        RestoreResult result = RestoreBackup(files_, backup, path_);
        EXPECT_EQ(result.status,
                  restored ? RestoreResult::Status::Restored : RestoreResult::Status::NotADataFile);
        EXPECT_TRUE(ReadBytes(path_) == (restored ? content : before_));
        EXPECT_EQ(JournalLeft(), !restored);
        EXPECT_EQ(std::filesystem::exists(kept), restored);
        if (restored) {
            // Loaded from the bytes the restore read: a read of the file now would fail.
            store_.ExpectLoad(std::move(result.written));
            files_.FailOn(FileOp::Read);
            ASSERT_TRUE(store_.LoadDataFile(path_, [] { return true; }));
            files_.Heal();
            EXPECT_EQ(DecodeValue(store_.ReadField(3, 2), LoginKey), "olduser");
            ASSERT_TRUE(UndoRestore(files_, path_));
            EXPECT_TRUE(ReadBytes(path_) == before_ && !std::filesystem::exists(kept));
        }
    }
    WriteBytes(backup, oldFile);
    files_.FailOn(FileOp::Rename, 2);
    EXPECT_EQ(RestoreBackup(files_, backup, path_).status, RestoreResult::Status::NotReplaced);
    EXPECT_TRUE(ReadBytes(path_) == before_);
    ASSERT_TRUE(DiscardBeforeRestore(files_, path_));
    EXPECT_FALSE(std::filesystem::exists(kept));

    // A file a sync engine put in place of the restored one since is read, not the restore's.
    WriteBytes(backup, backups[0].first);
    RestoreResult result = RestoreBackup(files_, backup, path_);
    ASSERT_TRUE(result);
    WriteBytes(path_ + ".new", before_);
    std::filesystem::rename(path_ + ".new", path_);
    store_.ExpectLoad(std::move(result.written));
    ASSERT_TRUE(store_.LoadDataFile(path_));
    EXPECT_EQ(store_.DataRecords[1].bytes[0], 'a');
}

TEST_F(StoreFaultsTest, DamagedRecordCountGivesWayToTheHighestRecordInUse) {
    // Records 3 to 5 are in use, 6 is free.
    WriteBytes(path_,
               Record(' ') + Record(' ') + Record('c') + Record(' ') + Record('e') + Record(' '));
    const std::pair<const char*, int> rows[] = {{"", 3},      {"-5", 3}, {"abc", 3}, {"2", 3},
                                                {"99999", 3}, {"3", 3},  {"9", 9}};
    for (const auto& [stored, count] : rows) {
        ASSERT_TRUE(store_.LoadDataFile(path_));
        store_.DataRecords[1].SetField(6, stored);
        EXPECT_EQ(RecordCountInUse(store_), count) << stored;
    }
}

}  // namespace
}  // namespace keyrack::testing
