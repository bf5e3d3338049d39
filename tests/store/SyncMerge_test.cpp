#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "common/Strings.h"
#include "store/ChangesFromDisk.h"
#include "store/ConflictCopyMerge.h"
#include "store/ConflictCopyName.h"
#include "store/EntryRecord.h"
#include "store/RecordMerge.h"
#include "store/ValueCipher.h"
#include "support/FaultyFileIo.h"
#include "support/TempDir.h"
#include "tree/NodeKeys.h"

namespace keyrack {
namespace {

constexpr int kKey = 20;

// Each draw differs from the last, so saving the same values twice gives other bytes.
struct CountingRandom : platform::RandomSource {
    std::uint32_t Below(std::uint32_t bound) override { return next++ % bound; }
    std::uint32_t next = 0;
};

class SyncTest : public ::testing::Test {
  protected:
    using Changes = std::map<int, std::optional<DataRecord>>;  // nullopt blanks the record

    static DataRecord Of(const FieldValues& fields) {
        DataRecord record;
        record.Blank();
        for (int field = 1; field <= FieldCount; ++field) {
            record.SetField(field, fields[field - 1]);
        }
        return record;
    }
    DataRecord Entry(int record, const std::string& title, const std::string& group = "K3",
                     const std::string& address = "") {
        const EntryValues values{title, address, "", "pw", {}};
        return Of(EntryRecordFields(values, group, record, group, kKey, random));
    }
    DataRecord Group(int record, const std::string& name) {
        return Of(GroupRecordFields(name, record, "", kKey, random));
    }
    DataRecord Header(int count) {
        FieldValues fields;
        fields[4] = EncodeValue(std::to_string(kKey), LoginKey, true, 100, random);
        fields[5] = std::to_string(count);
        return Of(fields);
    }
    DataRecord Settings(const std::string& userName, const std::string& backupDate) {
        FieldValues fields;
        fields[2] = EncodeValue(userName, LoginKey, true, 100, random);
        fields[4] = EncodeValue("YD", kKey, false, 0, random);
        fields[5] = EncodeValue(backupDate, kKey, false, 0, random);
        return Of(fields);
    }
    // Group G (K3) holding entries e4 and e5.
    RecordList Base() {
        return {DataRecord{},  Header(3),      Settings("ann", "01/Dec/2026"),
                Group(3, "G"), Entry(4, "e4"), Entry(5, "e5")};
    }
    static RecordList Changed(RecordList records, const Changes& changes) {
        for (const auto& [record, content] : changes) {
            records.resize(std::max<std::size_t>(records.size(), record + 1));
            records[record].Blank();
            if (content) {
                records[record] = *content;
            }
        }
        return records;
    }
    static std::string Content(const RecordList& records) {
        std::string content;
        for (std::size_t n = 1; n < records.size(); ++n) {
            content.append(records[n].bytes.data(), RecordLength);
        }
        return content;
    }
    // Each write as "record:title|address/key/parent" for an entry, "record:name/key/parent"
    // for a group, "record:-" for a freed record and "1:count" for the header.
    static std::vector<std::string> Described(const std::vector<RecordWrite>& writes) {
        std::vector<std::string> described;
        for (const RecordWrite& write : writes) {
            const auto value = [&](int field) {
                return DecodeValue(Trim(write.fields[field - 1]), kKey);
            };
            const std::string name = value(1).empty() ? value(8) : value(1) + "|" + value(2);
            const std::string key = KeyFromStored(value(9));
            const std::string shown = write.record == 1 ? Trim(write.fields[5])
                                      : key.empty()
                                          ? "-"
                                          : name + "/" + key + "/" + KeyFromStored(value(10));
            described.push_back(std::to_string(write.record) + ":" + shown);
        }
        return described;
    }

    CountingRandom random;
};

TEST_F(SyncTest, EachRecordTakesTheSideThatChangedItAndKeepsBothWhenBothDid) {
    struct Case {
        const char* name;
        Changes ours;
        Changes theirs;
        std::vector<std::string> writes;
    };
    const auto blank = std::nullopt;
    const Changes groupDeleted = {{3, blank}, {4, blank}, {5, blank}};
    const Case cases[] = {
        {"unchanged", {}, {}, {}},
        {"ours changed", {{4, Entry(4, "a")}}, {}, {"4:a|/K4/K3"}},
        {"theirs changed", {}, {{4, Entry(4, "b")}}, {}},
        {"both alike, other bytes", {{4, Entry(4, "a")}}, {{4, Entry(4, "a")}}, {}},
        {"both, one field", {{4, Entry(4, "a")}}, {{4, Entry(4, "b")}}, {"1:4", "6:a|/K6/K3"}},
        {"both, two fields",
         {{4, Entry(4, "a")}},
         {{4, Entry(4, "e4", "K3", "x.org")}},
         {"4:a|x.org/K4/K3"}},
        {"ours blanked, theirs changed", {{4, blank}}, {{4, Entry(4, "b")}}, {}},
        {"theirs blanked, ours changed", {{4, Entry(4, "a")}}, {{4, blank}}, {"4:a|/K4/K3"}},
        {"ours added", {{6, Entry(6, "n")}}, {}, {"1:4", "6:n|/K6/K3"}},
        {"same number added on both",
         {{6, Group(6, "mine")}, {7, Entry(7, "child", "K6")}},
         {{6, Entry(6, "theirs")}},
         {"1:6", "7:child|/K7/K8", "8:mine/K8/"}},
        {"ours deleted a grown group", groupDeleted, {{6, Entry(6, "n")}}, {"4:-", "5:-"}},
        {"theirs deleted a grown group", {{6, Entry(6, "n")}}, groupDeleted, {"1:4", "6:n|/K6/D"}}};
    const RecordList base = Base();
    for (const Case& c : cases) {
        const RecordMergeResult merged =
            MergeRecords(base, Changed(base, c.ours), Changed(base, c.theirs), kKey, random);
        EXPECT_EQ(merged.status, RecordMergeResult::Status::Merged) << c.name;
        EXPECT_EQ(Described(merged.writes), c.writes) << c.name;
        EXPECT_EQ(merged.keptBoth, std::string(c.name) == "both, one field" ? 1 : 0) << c.name;
    }
}

TEST_F(SyncTest, HeaderAndSettingsTakeTheLargerCountTheLoginOnDiskAndTheLaterBackup) {
    const RecordList base = Base();
    const RecordList ours = Changed(base, {{1, Header(9)}, {2, Settings("ours", "05/Dec/2026")}});
    RecordList theirs = Changed(base, {{1, Header(7)}, {2, Settings("theirs", "03/Dec/2026")}});
    const RecordMergeResult merged = MergeRecords(base, ours, theirs, kKey, random);
    ASSERT_EQ(merged.writes.size(), 2u);
    EXPECT_EQ(Described(merged.writes)[0], "1:9");
    const FieldValues& settings = merged.writes[1].fields;
    EXPECT_EQ(DecodeValue(Trim(settings[2]), LoginKey), "theirs");
    EXPECT_EQ(DecodeValue(Trim(settings[5]), kKey), "05/Dec/2026");

    theirs[1].SetField(5, EncodeValue("33", LoginKey, true, 100, random));
    EXPECT_EQ(MergeRecords(base, ours, theirs, kKey, random).status,
              RecordMergeResult::Status::OtherFile);
}

TEST_F(SyncTest, AConflictCopyBringsInWhatTheDataFileLacksOnce) {
    RecordList dataFile = Base();
    // The copy allocated its records on its own: its K4 is a group, the data file's an entry.
    std::string copy = Content(Changed(
        Base(),
        {{4, Group(4, "Home")}, {6, Entry(6, "e4", "K3", "x.org")}, {7, Entry(7, "tv", "K4")}}));
    // A group written into a new part of a file keeps NULs where an entry has its values.
    copy.replace(3 * RecordLength, FieldOffset(8), FieldOffset(8), '\0');
    const ConflictCopyPlan plan = PlanConflictCopyMerge(dataFile, kKey, copy, random);
    ASSERT_EQ(plan.status, ConflictCopyPlan::Status::Planned);
    const std::vector<std::string> expected = {"1:6", "6:Home/K6/", "7:e4|x.org/K7/K3",
                                               "8:tv|/K8/K6"};
    EXPECT_EQ(Described(plan.writes), expected);
    EXPECT_EQ(plan.groupsAdded + plan.entriesAdded, 3);

    for (const RecordWrite& write : plan.writes) {
        dataFile = Changed(dataFile, {{write.record, Of(write.fields)}});
    }
    EXPECT_TRUE(PlanConflictCopyMerge(dataFile, kKey, copy, random).writes.empty());
    EXPECT_EQ(
        PlanConflictCopyMerge(dataFile, kKey, std::string(RecordLength * 2, 'x'), random).status,
        ConflictCopyPlan::Status::NotADataFile);
}

TEST_F(SyncTest, AFileReplacedByAnotherProgramIsTakenAndThePendingChangeMergedIn) {
    using Outcome = ChangesTaken::Outcome;
    // The case, the file written over the data file by rename (as sync engines write), whether
    // reading fails, the record of the pending change (0: idle), the outcome, the titles from 4 on.
    using Case = std::tuple<const char*, std::optional<std::string>, bool, int, Outcome,
                            std::vector<std::string>>;
    const std::string base = Content(Base());
    const std::string theirs = Content(Changed(Base(), {{4, Entry(4, "theirs")}}));
    const std::string grown = Content(Changed(Base(), {{6, Entry(6, "e6")}}));
    const std::string shrunk = base.substr(0, base.size() - RecordLength);
    const Case cases[] = {
        {"untouched", std::nullopt, true, 4, Outcome::Unchanged, {"e4", "e5"}},
        {"copied back alike", base, false, 4, Outcome::Unchanged, {"e4", "e5"}},
        {"unreadable", theirs, true, 4, Outcome::Failed, {"theirs", "e5"}},
        {"idle", theirs, false, 0, Outcome::Loaded, {"theirs", "e5"}},
        {"other record", theirs, false, 5, Outcome::Loaded, {"theirs", "ours"}},
        {"same record", theirs, false, 4, Outcome::Loaded, {"theirs", "e5", "ours"}},
        {"grown", grown, false, 5, Outcome::Loaded, {"e4", "ours", "e6"}},
        {"shrunk", shrunk, false, 0, Outcome::Loaded, {"e4"}}};
    for (const auto& [name, replacedBy, readFails, pendingRecord, outcome, titles] : cases) {
        testing::TempDir dir;
        const std::string path = dir.File("cli.rkd");
        testing::WriteBytes(path, base);
        RecordStore store;
        ASSERT_TRUE(store.LoadDataFile(path));
        if (replacedBy) {
            ASSERT_TRUE(ReplaceWhole(SystemFileIo(), path, *replacedBy));
        }
        testing::FaultyFileIo io;
        if (readFails) {
            io.FailOn(testing::FileOp::Read);
        }
        std::vector<PendingWrite> pending;
        if (pendingRecord != 0) {
            pending.push_back(
                {pendingRecord, EntryRecordFields({"ours", "", "", "pw", {}}, "K3", pendingRecord,
                                                  "K3", kKey, random)});
        }
        EXPECT_EQ(TakeChangesFromDisk(store, io, path, kKey, random, pending).outcome, outcome)
            << name;
        RecordStore reader;
        reader.LoadDataFile(path);
        std::vector<std::string> seen;
        for (int record = 4; record < reader.UpperBound(); ++record) {
            seen.push_back(DecodeValue(reader.ReadField(1, record), kKey));
        }
        EXPECT_EQ(seen, titles) << name;
        // Memory holds what loading the file gives, down to its free records.
        if (outcome != Outcome::Failed) {
            EXPECT_EQ(store.FindFreeRecord(3), reader.FindFreeRecord(3)) << name;
            for (int record = 1; record <= reader.UpperBound(); ++record) {
                for (int field = 1; field <= FieldCount; ++field) {
                    EXPECT_EQ(store.ReadField(field, record), reader.ReadField(field, record))
                        << name << " record " << record;
                }
            }
        }
    }
}

TEST(ConflictCopyNameTest, KnowsTheThreeEnginesNamesAndNothingThatOnlyLooksLikeThem) {
    const std::pair<const char*, bool> cases[] = {
        {"cli.sync-conflict-20261206-101500-ABCDEF7.rkd", true},
        {"cli (conflicted copy 2026-12-06 101500).rkd", true},
        {"cli (Laptop's conflicted copy 2026-12-06).rkd", true},
        {"cli (Laptop's conflicted copy 2026-12-06 (1)).rkd", true},
        {"cli.sync-conflict-20261206-101500-ABCDEF7.rkd.lock", false},
        {"cli.sync-conflict-2026-12-06-ABCDEF7.rkd", false},
        {"other (conflicted copy 2026-12-06 101500).rkd", false},
        {"clixrkd (conflicted copy 2026-12-06 101500).rkd", false},
        {"cli (conflicted copy 2026-12-06 101500).rkd.merged", false}};
    for (const auto& [name, copy] : cases) {
        EXPECT_EQ(IsConflictCopyName(name, "cli.rkd"), copy) << name;
    }
    const std::set<std::string> taken = {"a.rkd.merged", "a.rkd.merged-2"};
    EXPECT_EQ(MergedCopyName("a.rkd", [&](const std::string& n) { return taken.count(n) > 0; }),
              "a.rkd.merged-3");
}

}  // namespace
}  // namespace keyrack
