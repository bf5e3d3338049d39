#include "store/RecordMerge.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "common/Strings.h"
#include "store/BackupDate.h"
#include "store/EntryRecord.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"

namespace keyrack {
namespace {

constexpr int kKey = 20;

// Each draw differs from the last, so saving the same values twice gives other bytes.
struct CountingRandom : platform::RandomSource {
    std::uint32_t Below(std::uint32_t bound) override { return next++ % bound; }
    std::uint32_t next = 0;
};

class RecordMergeTest : public ::testing::Test {
  protected:
    using Changes = std::map<int, std::optional<DataRecord>>;  // nullopt blanks the record

    DataRecord Of(const FieldValues& fields) {
        DataRecord record;
        record.Blank();
        for (int field = 1; field <= FieldCount; ++field) {
            record.SetField(field, fields[field - 1]);
        }
        return record;
    }
    DataRecord Entry(int record, const std::string& title, const std::string& group = "K3",
                     const std::string& address = "") {
        EntryValues values;
        values.title = title;
        values.address = address;
        return Of(EntryRecordFields(values, group, record, group, kKey, random));
    }
    DataRecord Group(int record, const std::string& name) {
        return Of(GroupRecordFields(name, record, "", kKey, random));
    }
    DataRecord Settings(const std::string& userName, const std::string& backupDate) {
        FieldValues fields;
        fields[2] = EncodeValue(userName, LoginKey, true, 100, random);
        fields[4] = EncodeValue("YD", kKey, false, 0, random);
        fields[5] = EncodeValue(backupDate, kKey, false, 0, random);
        return Of(fields);
    }
    DataRecord Header(int count) {
        FieldValues fields;
        fields[4] = EncodeValue(std::to_string(kKey), LoginKey, true, 100, random);
        fields[5] = std::to_string(count);
        return Of(fields);
    }
    RecordList Base() {
        return {DataRecord{},  Header(3),      Settings("ann", "01/Dec/2026"),
                Group(3, "G"), Entry(4, "e4"), Entry(5, "e5")};
    }
    static RecordList Changed(RecordList records, const Changes& changes) {
        for (const auto& [record, content] : changes) {
            if (record >= static_cast<int>(records.size())) {
                records.resize(record + 1);
            }
            records[record].Blank();
            if (content) {
                records[record] = *content;
            }
        }
        return records;
    }
    static std::string Decoded(const RecordWrite& write, int field) {
        return DecodeValue(Trim(write.fields[field - 1]), kKey);
    }
    // "record:title|address/key/parent" for an entry, "record:name/key/parent" for a group,
    // "record:-" for a freed record and "1:count" for the header.
    static std::string Describe(const RecordWrite& write) {
        const std::string at = std::to_string(write.record) + ":";
        if (write.record == 1) {
            return at + Trim(write.fields[5]);
        }
        const std::string title = Decoded(write, 1);
        const std::string name =
            title.empty() ? Decoded(write, 8) : title + "|" + Decoded(write, 2);
        const std::string key = KeyFromStored(Decoded(write, 9));
        return at +
               (key.empty() ? "-" : name + "/" + key + "/" + KeyFromStored(Decoded(write, 10)));
    }

    CountingRandom random;
};

TEST_F(RecordMergeTest, EachRecordTakesTheSideThatChangedItAndKeepsBothWhenBothDid) {
    struct Case {
        const char* name;
        Changes ours;
        Changes theirs;
        std::vector<std::string> writes;
        int keptBoth;
    };
    const Case cases[] = {
        {"unchanged", {}, {}, {}, 0},
        {"ours changed", {{4, Entry(4, "a")}}, {}, {"4:a|/K4/K3"}, 0},
        {"theirs changed", {}, {{4, Entry(4, "b")}}, {}, 0},
        {"both alike, other bytes", {{4, Entry(4, "a")}}, {{4, Entry(4, "a")}}, {}, 0},
        {"both, one field", {{4, Entry(4, "a")}}, {{4, Entry(4, "b")}}, {"1:4", "6:a|/K6/K3"}, 1},
        {"both, other fields",
         {{4, Entry(4, "a")}},
         {{4, Entry(4, "e4", "K3", "x.org")}},
         {"4:a|x.org/K4/K3"},
         0},
        {"ours blanked", {{4, std::nullopt}}, {}, {"4:-"}, 0},
        {"theirs blanked", {}, {{4, std::nullopt}}, {}, 0},
        {"ours blanked, theirs changed", {{4, std::nullopt}}, {{4, Entry(4, "b")}}, {}, 0},
        {"theirs blanked, ours changed",
         {{4, Entry(4, "a")}},
         {{4, std::nullopt}},
         {"4:a|/K4/K3"},
         0},
        {"ours added", {{6, Entry(6, "n")}}, {}, {"1:4", "6:n|/K6/K3"}, 0},
        {"same number added on both",
         {{6, Group(6, "mine")}, {7, Entry(7, "child", "K6")}},
         {{6, Entry(6, "theirs")}},
         {"1:6", "7:child|/K7/K8", "8:mine/K8/"},
         0},
        {"ours deleted a group theirs added to",
         {{3, std::nullopt}, {4, std::nullopt}, {5, std::nullopt}},
         {{6, Entry(6, "n")}},
         {"4:-", "5:-"},
         0},
        {"theirs deleted a group ours added to",
         {{6, Entry(6, "n")}},
         {{3, std::nullopt}, {4, std::nullopt}, {5, std::nullopt}},
         {"1:4", "6:n|/K6/D"},
         0},
    };
    const RecordList base = Base();
    for (const Case& c : cases) {
        const RecordMergeResult merged =
            MergeRecords(base, Changed(base, c.ours), Changed(base, c.theirs), kKey, random);
        std::vector<std::string> writes;
        for (const RecordWrite& write : merged.writes) {
            writes.push_back(Describe(write));
        }
        EXPECT_EQ(merged.status, RecordMergeResult::Status::Merged) << c.name;
        EXPECT_EQ(writes, c.writes) << c.name;
        EXPECT_EQ(merged.keptBoth, c.keptBoth) << c.name;
    }
}

TEST_F(RecordMergeTest, HeaderAndSettingsTakeTheLargerCountTheLoginOnDiskAndTheLaterBackup) {
    const RecordList base = Base();
    const RecordList ours = Changed(base, {{1, Header(9)}, {2, Settings("ours", "05/Dec/2026")}});
    const RecordList theirs =
        Changed(base, {{1, Header(7)}, {2, Settings("theirs", "03/Dec/2026")}});
    const RecordMergeResult merged = MergeRecords(base, ours, theirs, kKey, random);
    ASSERT_EQ(merged.writes.size(), 2u);
    EXPECT_EQ(Describe(merged.writes[0]), "1:9");
    const FieldValues& settings = merged.writes[1].fields;
    EXPECT_EQ(DecodeValue(Trim(settings[2]), LoginKey), "theirs");
    EXPECT_EQ(DecodeValue(Trim(settings[5]), kKey), "05/Dec/2026");

    RecordList otherFile = theirs;
    otherFile[1].SetField(5, EncodeValue("33", LoginKey, true, 100, random));
    EXPECT_EQ(MergeRecords(base, ours, otherFile, kKey, random).status,
              RecordMergeResult::Status::OtherFile);
}

}  // namespace
}  // namespace keyrack
