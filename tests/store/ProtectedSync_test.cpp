#include <gtest/gtest.h>

#include "store/ChangesFromDisk.h"
#include "store/ConflictCopyMerge.h"
#include "store/ProtectedFile.h"
#include "store/ProtectedRecord.h"
#include "support/TempDir.h"

namespace keyrack {
using testing::TempDir;
using testing::WriteBytes;
namespace {

const Credentials kLogin{"anna", "pw"};

// Two programs (through a file-sync program) with the same protected file open.
class ProtectedSyncTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<DataRecord> records(5);
        SetProtectedField(records[1], 6, "2");
        WriteBytes(path, *MakeProtectedFile(records, kLogin, "", KdfParams::Smallest()));
        for (RecordStore* store : {&ours, &theirs}) {
            store->LoadDataFile(path);
            ASSERT_TRUE(store->Unlock(kLogin));
        }
    }

    ChangesTaken Take(const std::vector<PendingWrite>& pending = {}) {
        return TakeChangesFromDisk(ours, SystemFileIo(), path, 0, platform::SystemRandom(),
                                   pending);
    }

    TempDir dir;
    std::string path = dir.File("cli.rkd");
    RecordStore ours;
    RecordStore theirs;
};

TEST_F(ProtectedSyncTest, TheirChangeIsOpenedWithTheKeyAndOursGoesOnlyWhereTheyLeftAlone) {
    EXPECT_EQ(Take().outcome, ChangesTaken::Outcome::Unchanged);
    ASSERT_TRUE(theirs.WriteRecord(FieldValues{"theirs"}, 3, path, false));
    EXPECT_EQ(Take().outcome, ChangesTaken::Outcome::Loaded);
    EXPECT_EQ(ours.ReadField(1, 3), "theirs");

    ASSERT_TRUE(theirs.WriteRecord(FieldValues{"theirs again"}, 3, path, false));
    EXPECT_EQ(Take({{4, FieldValues{"ours"}}}).outcome, ChangesTaken::Outcome::Loaded);
    ASSERT_TRUE(theirs.ReloadUnlocked());
    EXPECT_EQ(theirs.ReadField(1, 4), "ours");

    ASSERT_TRUE(theirs.WriteRecord(FieldValues{"both"}, 4, path, false));
    EXPECT_EQ(Take({{4, FieldValues{"ours again"}}}).outcome, ChangesTaken::Outcome::Failed);
    EXPECT_EQ(ours.ReadField(1, 4), "both");
}

TEST_F(ProtectedSyncTest, AProtectedConflictCopyMergesOnceAndOnlyIntoItsOwnFile) {
    using Status = ConflictCopyPlan::Status;
    ASSERT_TRUE(theirs.WriteRecord(FieldValues{"from elsewhere"}, 3, path, false));
    std::string ownCopy;
    ASSERT_TRUE(SystemFileIo().ReadAll(path, ownCopy));
    std::vector<DataRecord> records(4);
    SetProtectedField(records[3], 1, "from elsewhere");
    const std::string otherFile = *MakeProtectedFile(records, kLogin, "", KdfParams::Smallest());
    const struct {
        const char* name;
        const std::string& copy;
        Status status;
        int entriesAdded;
    } cases[] = {
        {"another file's copy", otherFile, Status::OtherProtectedFile, 0},
        {"own copy", ownCopy, Status::Planned, 1},
        {"own copy merged before", ownCopy, Status::Planned, 0},
    };
    for (const auto& c : cases) {
        const ConflictCopyPlan plan =
            PlanConflictCopyMerge(ours, 0, c.copy, platform::SystemRandom());
        EXPECT_EQ(plan.status, c.status) << c.name;
        EXPECT_EQ(plan.entriesAdded, c.entriesAdded) << c.name;
        for (const RecordWrite& write : plan.writes) {
            ASSERT_TRUE(ours.ReplaceRecord(write.fields, write.record, path)) << c.name;
        }
    }
    EXPECT_EQ(ours.ReadField(1, 3), "from elsewhere");
}

}  // namespace
}  // namespace keyrack
