#include <gtest/gtest.h>

#include "store/Csv.h"
#include "store/CsvEntries.h"
#include "store/ValueCipher.h"
#include "support/TempDir.h"
#include "tree/NodeKeys.h"
#include "tree/TreePlan.h"

namespace keyrack {
namespace {

TEST(CsvTest, WritesQuotesOnlyWhereNeededAndReadsBack) {
    const CsvRow row = {"plain", "a,b", "say \"hi\"", "two\r\nlines", "", "one\nline"};
    const std::string line = CsvLine(row);
    EXPECT_EQ(line, "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",,\"one\nline\"\r\n");
    EXPECT_EQ(ReadCsv(line + line), (std::vector<CsvRow>{row, row}));
}

TEST(CsvTest, ReadsWhatOtherProgramsWrite) {
    struct Case {
        const char* text;
        std::vector<CsvRow> rows;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBFname,url\nMail,x\n", {{"name", "url"}, {"Mail", "x"}}},
        {"a,b\r\n\r\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"a,\"b\nc\",\"\"\n", {{"a", "b\nc", ""}}},
        {"it's \"quoted\",\"open", {{"it's \"quoted\"", "open"}}},
        {"", {}},
        {",\n", {{"", ""}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadCsv(c.text), c.rows) << c.text;
    }
}

TEST(CsvTest, ColumnsAreFoundByTheNamesKeepersUse) {
    const CsvRead peer = ReadCsvEntries(
        "\xEF\xBB\xBF\"Web Site\",Notes,USER NAME,Password,Title,folder\r\n"
        "https://mail.example,x,ann,pw,Mail,Home/Net\r\nshort row\r\n");
    ASSERT_EQ(peer.entries.size(), 2u);
    const CsvEntry& mail = peer.entries[0];
    EXPECT_EQ(mail.address + "|" + mail.userName + "|" + mail.password + "|" + mail.title + "|" +
                  mail.group,
              "https://mail.example|ann|pw|Mail|Home/Net");
    EXPECT_EQ(peer.entries[1].address, "short row");
    EXPECT_EQ(ReadCsvEntries("name,login_username,login_password,login_uri\nA,u,p,w\n")
                  .entries[0]
                  .password,
              "p");

    const CsvRead headless = ReadCsvEntries("Mail,ann,pw\nBank,bob,pw2\n");
    EXPECT_TRUE(headless.entries.empty());
    EXPECT_EQ(headless.skipped, 2);
    EXPECT_EQ(ReadCsvEntries("").skipped, 0);
}

struct FixedDraws : platform::RandomSource {
    std::uint32_t Below(std::uint32_t bound) override { return 3 % bound; }
};

class CsvImportTest : public ::testing::Test {
  protected:
    static constexpr int kKey = 40;

    void SetUp() override {
        path = dir.File("cli.rkd");
        store.LoadDataFile(path);
        // A group Home (3) that the import is to reuse.
        FieldValues header;
        header[4] = EncodeValue(std::to_string(kKey), LoginKey, true, 100, random);
        header[5] = "1";
        ASSERT_TRUE(store.WriteRecord(header, 1, path, false));
        ASSERT_TRUE(store.WriteRecord(GroupRecordFieldsFor("Home", 3), 3, path, false));
    }

    FieldValues GroupRecordFieldsFor(const std::string& name, int record) {
        FieldValues fields;
        fields[7] = EncodeValue(name, kKey, true, 100, random);
        fields[8] = EncodeValue(StoredKeyForm(RecordKey(record)), kKey, true, 10, random);
        return fields;
    }

    ImportResult Import(const std::vector<CsvEntry>& entries, int failAtWrite = 0) {
        const auto same = [](const std::string& text) { return std::optional<std::string>(text); };
        plan = PlanImport(store, kKey, entries, same, {"ALPHA", "Y", "8"}, random);
        int writes = 0;
        return RunImport(plan, [&](int record, const FieldValues& fields) {
            return ++writes != failAtWrite && store.WriteRecord(fields, record, path, false);
        });
    }

    testing::TempDir dir;
    std::string path;
    RecordStore store;
    FixedDraws random;
    ImportPlan plan;
};

TEST_F(CsvImportTest, RowsBecomeEntriesInTheirGroupsAndExportTheSame) {
    const std::string tooLong(34, 'x');
    const std::vector<CsvEntry> rows = {
        {"Home/Net", "Router", "admin", "pw,1", "http://10.0.0.1"},
        {"", "Loose", "", "", ""},
        {"Home", "Mail", "ann", "p\"w", ""},
        {"Work", tooLong, "", "", ""},
        {"Home / Net/", "Modem", "", "", ""},
        {"Work", "   ", "bob", "", ""},
        {"Work", "VPN", "", tooLong, ""},
    };
    const ImportResult result = Import(rows);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(result.entries, 4);
    EXPECT_EQ(plan.skipped, 3);

    const std::vector<CsvEntry> exported = EntriesForExport(store, kKey);
    ASSERT_EQ(exported.size(), 4u);
    std::string seen;
    for (const CsvEntry& entry : exported) {
        seen += entry.group + ":" + entry.title + ":" + entry.userName + ":" + entry.password +
                ":" + entry.address + "\n";
    }
    // Home is reused, Net is made once inside it; groups before entries, as the tree shows.
    EXPECT_EQ(seen,
              "Home/Net:Router:admin:pw,1:http://10.0.0.1\n:Loose:::\nHome:Mail:ann:p\"w:\n"
              "Home/Net:Modem:::\n");
    EXPECT_EQ(store.ReadField(6, 1), "6");
}

TEST_F(CsvImportTest, AFailedWriteKeepsWhatWasWritten) {
    const std::vector<CsvEntry> rows = {
        {"A", "One", "", "", ""}, {"A", "Two", "", "", ""}, {"B", "Three", "", "", ""}};
    // Writes: count, group A, One, Two, group B (fails).
    const ImportResult result = Import(rows, 5);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.entries, 2);
    EXPECT_EQ(EntriesForExport(store, kKey).size(), 2u);
    EXPECT_EQ(Import(rows, 1).entries, 0);
}

}  // namespace
}  // namespace keyrack
