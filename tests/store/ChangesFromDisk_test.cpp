#include "store/ChangesFromDisk.h"

#include <gtest/gtest.h>

#include "common/Strings.h"
#include "store/EntryRecord.h"
#include "store/ValueCipher.h"
#include "support/TempDir.h"

namespace keyrack {
namespace {

constexpr int kKey = 20;

struct CountingRandom : platform::RandomSource {
    std::uint32_t Below(std::uint32_t bound) override { return next++ % bound; }
    std::uint32_t next = 0;
};

class ChangesFromDiskTest : public ::testing::Test {
  protected:
    FieldValues Entry(int record, const std::string& title) {
        EntryValues values;
        values.title = title;
        return EntryRecordFields(values, "K3", record, "K3", kKey, random);
    }
    std::string FileWith(const std::string& e4, const std::string& e5) {
        FieldValues header;
        header[4] = EncodeValue(std::to_string(kKey), LoginKey, true, 100, random);
        header[5] = "3";
        const FieldValues records[] = {header, FieldValues{},
                                       GroupRecordFields("G", 3, "", kKey, random), Entry(4, e4),
                                       Entry(5, e5)};
        std::string content;
        for (const FieldValues& fields : records) {
            DataRecord record;
            record.Blank();
            for (int field = 1; field <= FieldCount; ++field) {
                record.SetField(field, fields[field - 1]);
            }
            content.append(record.bytes.data(), RecordLength);
        }
        return content;
    }
    // The entry titles of the file on disk, record by record from 4 on.
    std::vector<std::string> TitlesOnDisk(const std::string& path) {
        RecordStore reader;
        reader.LoadDataFile(path);
        std::vector<std::string> titles;
        for (int record = 4; record < reader.UpperBound(); ++record) {
            titles.push_back(DecodeValue(reader.ReadField(1, record), kKey));
        }
        return titles;
    }

    CountingRandom random;
};

TEST_F(ChangesFromDiskTest, AFileReplacedByAnotherProgramIsTakenAndThePendingChangeMergedIn) {
    using Outcome = ChangesTaken::Outcome;
    struct Case {
        const char* name;
        bool replaced;      // by rename, as sync engines write
        int pendingRecord;  // 0: idle
        Outcome outcome;
        int keptBoth;
        std::vector<std::string> titles;
    };
    const Case cases[] = {
        {"untouched", false, 4, Outcome::Unchanged, 0, {"e4", "e5"}},
        {"idle", true, 0, Outcome::Loaded, 0, {"theirs", "e5"}},
        {"other record", true, 5, Outcome::Loaded, 0, {"theirs", "ours"}},
        {"same record", true, 4, Outcome::Loaded, 1, {"theirs", "e5", "ours"}},
    };
    for (const Case& c : cases) {
        testing::TempDir dir;
        const std::string path = dir.File("cli.rkd");
        testing::WriteBytes(path, FileWith("e4", "e5"));
        RecordStore store;
        ASSERT_TRUE(store.LoadDataFile(path));
        if (c.replaced) {
            ASSERT_TRUE(ReplaceWhole(SystemFileIo(), path, FileWith("theirs", "e5")));
        }
        std::vector<PendingWrite> pending;
        if (c.pendingRecord != 0) {
            pending.push_back({c.pendingRecord, Entry(c.pendingRecord, "ours")});
        }
        const ChangesTaken taken =
            TakeChangesFromDisk(store, SystemFileIo(), path, kKey, random, pending);
        EXPECT_EQ(taken.outcome, c.outcome) << c.name;
        EXPECT_EQ(taken.keptBoth, c.keptBoth) << c.name;
        EXPECT_EQ(TitlesOnDisk(path), c.titles) << c.name;
    }
}

}  // namespace
}  // namespace keyrack
