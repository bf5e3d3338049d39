#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "store/Csv.h"
#include "store/CsvEntries.h"
#include "store/CsvSummary.h"
#include "store/EntryRecord.h"
#include "store/ValueCipher.h"
#include "support/TempDir.h"
#include "tree/NodeKeys.h"
#include "tree/TreePlan.h"

namespace keyrack {
namespace {

CsvReader::Source TextSource(const std::string& text) {
    return [&text, given = std::size_t(0)](char* into, std::size_t room) mutable {
        const std::size_t count = text.copy(into, room, given);
        given += count;
        return count;
    };
}

struct EntriesRead {
    std::vector<CsvEntry> entries;
    CsvRead read;
};

// Both readings an import makes of text.
EntriesRead ReadEntries(const std::string& text) {
    CsvReader first(TextSource(text));
    CsvEntryReader layout(first);
    CsvEntry entry;
    while (layout.Next(entry)) {
    }
    CsvReader second(TextSource(text));
    CsvEntryReader rows(second, layout.ExporterRoot());
    EntriesRead read;
    while (rows.Next(entry)) {
        read.entries.push_back(entry);
    }
    read.read = rows.Read();
    return read;
}

TEST(CsvTest, WritesQuotesOnlyWhereNeededAndReadsWhatOtherProgramsWrite) {
    const CsvRow row = {"plain", "a,b", "say \"hi\"", "two\r\nlines", "", "one\nline"};
    const std::string line = CsvLine(row);
    EXPECT_EQ(line, "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",,\"one\nline\"\r\n");
    // Each text and its rows; a row whose quote never closes ends in "!".
    const std::pair<std::string, std::vector<CsvRow>> cases[] = {
        {line + line, {row, row}},
        {"\xEF\xBB\xBFname,url\nMail,x\n", {{"name", "url"}, {"Mail", "x"}}},
        {"a,b\r\n\r\nc,d", {{"a", "b"}, {"c", "d"}}},
        {"a,\"b\nc\",\"\"\n", {{"a", "b\nc", ""}}},
        {"it's \"quoted\",\"open", {{"it's \"quoted\"", "!"}}},
        // One stray quote costs its own row only.
        {"h\na,\"b\nc\nd,\"e\"\r\nf\n", {{"h"}, {"a", "!"}, {"c"}, {"d", "e"}, {"f"}}},
        {"", {}},
        {",\n", {{"", ""}}}};
    // Reads of one and two bytes split every mark, quote pair and line end.
    for (const auto& [text, expected] : cases) {
        for (std::size_t readSize : {1, 2, 1 << 16}) {
            CsvReader reader(TextSource(text), readSize);
            std::vector<CsvRow> rows;
            CsvRow row;
            for (bool broken = false; reader.Next(row, broken);) {
                row.resize(row.size() + broken, "!");
                rows.push_back(row);
            }
            EXPECT_EQ(rows, expected) << text << readSize;
        }
    }
}

TEST(CsvTest, ColumnsAreFoundByTheNamesKeepersUse) {
    const EntriesRead peer = ReadEntries(
        "\xEF\xBB\xBF\"Web Site\",Notes,USER NAME,Password,Title,folder\r\n"
        "https://mail.example,x,ann,pw,Mail,Home/Net\r\nshort row\r\n");
    ASSERT_EQ(peer.entries.size(), 2u);
    const CsvEntry& mail = peer.entries[0];
    EXPECT_EQ(mail.address + "|" + mail.userName + "|" + mail.password + "|" + mail.title + "|" +
                  mail.groups[0] + "|" + mail.groups[1],
              "https://mail.example|ann|pw|Mail|Home|Net");
    EXPECT_EQ(peer.entries[1].address, "short row");

    // Without a first row naming the columns every row counts; a header never does.
    const EntriesRead headless = ReadEntries("Mail,ann,pw\nBank,bob,pw2\n");
    EXPECT_TRUE(headless.entries.empty());
    EXPECT_EQ(headless.read.skipped, 2);
    EXPECT_EQ(ReadEntries("").read.skipped, 0);
    const EntriesRead stray = ReadEntries("name\nA\n\"B\nC\nD\nE\n");
    EXPECT_EQ(stray.entries.size() * 10 + stray.read.skipped, 41u);
    EXPECT_EQ(stray.read.skippedRows[0].row, 3);
}

TEST(CsvTest, SummaryNamesTheColumnsNotKeptAndTheFirstRowsSkipped) {
    const CsvRead read{{{3, "Bad \"q", SkipReason::Unreadable}}, 1, {"Notes", "TOTP"}};
    ImportPlan plan;
    plan.skippedRows = {{2, "", SkipReason::NoTitle},
                        {4, "Long\nTitle", SkipReason::CannotStore},
                        {5, "Deep", SkipReason::TooDeep},
                        {6, "A", SkipReason::FileFull},
                        {7, "B", SkipReason::FileFull}};
    plan.skipped = 5;
    const ImportResult stopped{3, false, 2};
    const auto message = [](int number) {
        const bool filled = number == 70 || number == 71 || number == 72 || number == 74;
        return "m" + std::to_string(number) + (filled ? " %1" : "") + (number == 70 ? " %2" : "");
    };
    EXPECT_EQ(
        ImportSummary(read, plan, stopped, message),
        "m70 3 6\nm72 2\nm71 Notes, TOTP\n2: m58\n3 \u201cBad \"q\u201d: m73\n"
        "4 \u201cLong Title\u201d: m53\n5 \u201cDeep\u201d: m74 100\n6 \u201cA\u201d: m55\n\u2026");
    EXPECT_EQ(ImportSummary({}, {}, {}, message), "m70 0 0");
}

struct FixedDraws : platform::RandomSource {
    std::uint32_t Below(std::uint32_t bound) override { return 3 % bound; }
};

class CsvImportTest : public ::testing::Test {
  protected:
    static constexpr int kKey = 40;

    void SetUp() override {
        path = dir.File("cli.rkd");
        std::filesystem::remove(path);
        store.LoadDataFile(path);
        // A group Home (3) that the import is to reuse.
        FieldValues header;
        header[4] = EncodeValue(std::to_string(kKey), LoginKey, true, 100, random);
        header[5] = "1";
        ASSERT_TRUE(store.WriteRecord(header, 1, path, false));
        ASSERT_TRUE(
            store.WriteRecord(GroupRecordFields("Home", 3, "", kKey, random), 3, path, false));
    }

    ImportResult Import(const std::vector<CsvEntry>& entries, bool writeFails = false,
                        platform::RandomSource* draws = nullptr) {
        const auto same = [](const std::string& text) { return std::optional<std::string>(text); };
        auto next = entries.begin();
        const auto source = [&](CsvEntry& entry) {
            return next != entries.end() && (entry = *next++, true);
        };
        plan = PlanImport(store, kKey, source, same, {"ALPHA", "Y", "8"},
                          draws != nullptr ? *draws : random);
        return RunImport(plan, [&](RecordBatch& batch) {
            return !writeFails && store.WriteRecords(std::move(batch), path);
        });
    }

    // Each exported entry as "groups|title|user name|password|address" on a line.
    std::string Exported() {
        std::string seen;
        for (const CsvEntry& entry : EntriesForExport(store, kKey)) {
            for (const std::string& name : entry.groups) {
                seen += name + "/";
            }
            seen += "|" + entry.title + "|" + entry.userName + "|" + entry.password + "|" +
                    entry.address + "\n";
        }
        return seen;
    }

    testing::TempDir dir;
    std::string path;
    RecordStore store;
    FixedDraws random;
    ImportPlan plan;
};

TEST_F(CsvImportTest, RowsBecomeEntriesInTheirGroupsAndExportTheSame) {
    const std::string tooLong(34, 'x');
    const std::vector<std::string> tooDeep(MaxGroupDepth + 1, "G");
    const std::vector<CsvEntry> rows = {
        {{"Home", "Net"}, "Router", "admin", " pw,1 ", "http://10.0.0.1", 2},
        {{}, "Loose", "", "", "", 3},
        {{"Home"}, "Mail", "ann", "p\"w", "", 4},
        {{"Work"}, tooLong, "", "", "", 5},
        {{"Home ", " Net", ""}, "Modem", "", "", "", 6},
        {{"Work"}, " \t\r\n ", "bob", "", "", 7},
        {{}, " Two\r\nlines\n", "", "", "", 9},
        {{}, "", "", "", " https://me@host.example:8080/x?y ", 10},
        {tooDeep, "Deep", "", "", "", 11},
        {{"Work"}, "PIN", "", "  ", "", 13},
        {{}, "", "", "", "C:\\Apps\\mail.exe", 14}};
    const ImportResult result = Import(rows);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(result.entries, 7);
    std::string skipped;
    for (const SkippedRow& row : plan.skippedRows) {
        skipped += std::to_string(row.row) + ":" + std::to_string(int(row.reason)) + " ";
    }
    EXPECT_EQ(skipped, "5:2 7:1 11:3 13:2 ");
    EXPECT_EQ(plan.skipped, 4);
    // Home is reused, Net is made once inside it; groups before entries, as the tree shows.
    EXPECT_EQ(
        Exported(),
        "Home/Net/|Router|admin| pw,1 |http://10.0.0.1\n|Loose|||\nHome/|Mail|ann|p\"w|\n"
        "Home/Net/|Modem|||\n|Two lines|||\n|host.example|||https://me@host.example:8080/x?y\n"
        "|C:\\Apps\\mail.exe|||C:\\Apps\\mail.exe\n");
    EXPECT_EQ(store.ReadField(6, 1), "9");
}

TEST_F(CsvImportTest, AFreeRecordTheImportTookIsNeverOfferedAgain) {
    ASSERT_TRUE(store.WriteRecord(GroupRecordFields("Old", 5, "", kKey, random), 5, path, false));
    ASSERT_EQ(store.FindFreeRecord(3), 4);
    ASSERT_TRUE(Import({{{}, "Mail", "", "", "", 2}}).complete);
    EXPECT_EQ(Exported(), "|Mail|||\n");
    EXPECT_GT(store.FindFreeRecord(3), 5);
}

TEST_F(CsvImportTest, OtherKeepersExportsImportWithEveryValueExact) {
    struct Case {
        const char* file;
        const char* entries;  // as Exported() shows them
        std::vector<std::string> droppedColumns;
    };
    const Case cases[] = {
        {"keepassxc.csv",
         "|Bank|ann| pa,ss |https://bank.example\nCaf\u00e9/|Mail \"home\"|zo\u00eb|p\"w|\n",
         {"Notes", "TOTP", "Icon", "Last Modified", "Created"}},
        {"bitwarden.csv",
         "Work/Mail/|Outlook|bob@example.com|  two spaces  |https://mail.example\n"
         "|Caf\u00e9||\u20acuro |\n",
         {"favorite", "type", "notes", "fields", "reprompt"}},
        {"firefox.csv",
         "|accounts.example.com|ann|secret |https://accounts.example.com\n"
         "|shop.example||pass\"word|https://me@shop.example:8443/a\n",
         {"formActionOrigin", "guid", "timeCreated", "timeLastUsed", "timePasswordChanged"}},
        {"chrome.csv",
         "|example.com|\u00e9mile| leading|https://example.com/login\n"
         "|www.news.example|reader|a,b\"c|https://www.news.example/\n",
         {"note"}},
        {"lastpass.csv",
         "Finance/Banks/|My Bank|ann|p w |https://bank.example\nHome/|Wi-Fi|||http://sn\n",
         {"extra", "fav"}},
        {"onepassword.csv",
         "|Stra\u00dfe|j\u00fcrgen| p |https://strasse.example\n|Quote \"this\"|x|y |\n",
         {"OTPAuth", "Favorite", "Archived", "Tags", "Notes"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        SetUp();
        const EntriesRead read =
            ReadEntries(testing::ReadBytes(std::string(KEYRACK_TEST_DATA_DIR "/csv/") + c.file));
        EXPECT_EQ(read.read.droppedColumns, c.droppedColumns);
        EXPECT_EQ(read.read.skipped + Import(read.entries).entries * 10, 20);
        EXPECT_EQ(Exported(), c.entries);
    }
}

// Enough rows that a helper thread encodes most of them while the rows are read.
TEST_F(CsvImportTest, ManyRowsEncodedAlongsideTheReadingAreStoredExactly) {
    std::vector<CsvEntry> rows;
    std::vector<std::string> expected;
    for (int n = 0; n < 2000; ++n) {
        const std::string group = "G" + std::to_string(n / 700);
        const std::string user = n % 3 == 0 ? "" : "u" + std::to_string(n);
        rows.push_back({{group}, "T" + std::to_string(n), user, "p" + std::to_string(n), "", n});
        expected.push_back(group + "/|T" + std::to_string(n) + "|" + user + "|p" +
                           std::to_string(n) + "|");
    }
    ASSERT_TRUE(Import(rows, false, &platform::SystemRandom()).complete);
    // The file holds what memory does, and a blank value's field is NUL, as a new record's is.
    // Reading values for the export writes spaces over NULs in memory, so this comes first.
    RecordStore reloaded;
    ASSERT_TRUE(reloaded.LoadDataFile(path));
    ASSERT_GE(reloaded.DataRecords.size(), store.DataRecords.size());
    int blankUserNames = 0;
    for (std::size_t n = 1; n < store.DataRecords.size(); ++n) {
        ASSERT_EQ(reloaded.DataRecords[n].bytes, store.DataRecords[n].bytes) << n;
        const std::string userName = store.DataRecords[n].Field(3);
        blankUserNames += userName == std::string(FieldWidth(3), '\0') ? 1 : 0;
    }
    EXPECT_EQ(blankUserNames, 667 + 3);  // the entries without one and the new groups
    std::vector<std::string> seen;
    std::istringstream lines(Exported());
    for (std::string line; std::getline(lines, line);) {
        seen.push_back(line);
    }
    std::sort(seen.begin(), seen.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(seen, expected);
}

TEST_F(CsvImportTest, AFailedWriteKeepsNothing) {
    const std::vector<CsvEntry> rows = {
        {{"A"}, "One", "", "", ""}, {{"A"}, "Two", "", "", ""}, {{"B"}, "Three", "", "", ""}};
    const ImportResult result = Import(rows, true);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.notWritten, 3);
    EXPECT_EQ(EntriesForExport(store, kKey).size(), 0u);
}

}  // namespace
}  // namespace keyrack
