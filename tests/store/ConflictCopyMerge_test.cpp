#include "store/ConflictCopyMerge.h"

#include <gtest/gtest.h>

#include "common/Strings.h"
#include "store/EntryRecord.h"
#include "store/ValueCipher.h"

namespace keyrack {
namespace {

struct CountingRandom : platform::RandomSource {
    std::uint32_t Below(std::uint32_t bound) override { return next++ % bound; }
    std::uint32_t next = 0;
};

class ConflictCopyMergeTest : public ::testing::Test {
  protected:
    // Files are built from lines: "group name parentKey" or "entry title password parentKey",
    // each taking the next record from 3 on.
    RecordList File(int key, const std::vector<std::vector<std::string>>& lines) {
        RecordList records(3);
        records[1].Blank();
        records[2].Blank();
        records[1].SetField(5, EncodeValue(std::to_string(key), LoginKey, true, 100, random));
        records[1].SetField(6, std::to_string(lines.size()));
        for (const auto& line : lines) {
            const int at = static_cast<int>(records.size());
            const FieldValues fields = line[0] == "group"
                                           ? GroupRecordFields(line[1], at, line[2], key, random)
                                           : EntryRecordFields({line[1], "", "", line[2], {}},
                                                               line[3], at, line[3], key, random);
            Apply(records, {at, fields});
        }
        return records;
    }
    static void Apply(RecordList& records, const RecordWrite& write) {
        if (write.record >= static_cast<int>(records.size())) {
            records.resize(write.record + 1);
        }
        records[write.record].Blank();
        for (int field = 1; field <= FieldCount; ++field) {
            records[write.record].SetField(field, write.fields[field - 1]);
        }
    }
    static std::string Content(const RecordList& records) {
        std::string content;
        for (std::size_t n = 1; n < records.size(); ++n) {
            content.append(records[n].bytes.data(), RecordLength);
        }
        return content;
    }

    CountingRandom random;
};

TEST_F(ConflictCopyMergeTest, BringsInWhatTheDataFileLacksOnceAndKeepsEverythingItHolds) {
    RecordList dataFile = File(
        20, {{"group", "Work", ""}, {"entry", "mail", "pw1", "K3"}, {"entry", "bank", "pw2", "D"}});
    // The copy allocated its records on its own: its K4 is a group, the data file's an entry.
    const RecordList copy = File(20, {{"group", "Work", ""},
                                      {"group", "Home", ""},
                                      {"entry", "mail", "pw1", "K3"},
                                      {"entry", "mail", "pw9", "K3"},
                                      {"entry", "tv", "pw3", "K4"},
                                      {"entry", "bank", "pw2", ""}});
    const ConflictCopyPlan plan = PlanConflictCopyMerge(dataFile, 20, Content(copy), random);
    ASSERT_EQ(plan.status, ConflictCopyPlan::Status::Planned);
    EXPECT_EQ(plan.groupsAdded, 1);
    EXPECT_EQ(plan.entriesAdded, 2);
    std::vector<std::string> written;
    for (const RecordWrite& write : plan.writes) {
        const auto value = [&](int field) {
            return DecodeValue(Trim(write.fields[field - 1]), 20);
        };
        written.push_back(std::to_string(write.record) + ":" + value(1) + value(4) + value(8) +
                          "/" + value(10));
        Apply(dataFile, write);
    }
    // Record 1's count grows to cover records 6 and 7; "Home" is K6.
    const std::vector<std::string> expected = {"1:/", "6:Home/", "7:mailpw9K3/K3", "8:tvpw3K6/K6"};
    EXPECT_EQ(written, expected);

    const ConflictCopyPlan again = PlanConflictCopyMerge(dataFile, 20, Content(copy), random);
    EXPECT_TRUE(again.writes.empty());
    EXPECT_EQ(
        PlanConflictCopyMerge(dataFile, 20, std::string(RecordLength * 2, 'x'), random).status,
        ConflictCopyPlan::Status::NotADataFile);
}

}  // namespace
}  // namespace keyrack
