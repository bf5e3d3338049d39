#include <QProgressDialog>
#include <QTimer>

#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

using Reply = platform::Prompter::Answer;

class CsvFormTest : public FormFixture {
  protected:
    std::string CsvPath() const { return dir.File("out.csv"); }

    void Export(Reply reply) {
        prompter.answers.push_back(reply);
        prompter.fileNames.push_back(QString::fromStdString(CsvPath()));
        Find<QAction>("MNU_Export")->trigger();
    }

    void Import(const std::string& path) {
        prompter.fileNames.push_back(QString::fromStdString(path));
        Find<QAction>("MNU_Import")->trigger();
    }
};

// Quoting, the columns and group paths written, and what other keepers' files hold are the
// CSV units' tests; here, that export warns first and writes an owner-only file, and that
// failures are told.
TEST_F(CsvFormTest, ExportWarnsFirstAndWritesAnOwnerOnlyFileAndFailuresAreTold) {
    SeedFile({Group(3, "Bank"), Entry(4, "Visa", "K3", "al", "p,1")});
    Start();
    Export(Reply::No);
    EXPECT_FALSE(std::filesystem::exists(CsvPath()));
    EXPECT_TRUE(MessageShown(69));
    EXPECT_EQ(prompter.fileNames.size(), 1u);  // no file was asked for

    prompter.fileNames.clear();
    files.FailOn(FileOp::Create);
    Export(Reply::Yes);
    EXPECT_FALSE(std::filesystem::exists(CsvPath()));
    EXPECT_TRUE(prompter.LastMessage().contains(QString::fromStdString(CsvPath())));

    Export(Reply::Yes);
    EXPECT_EQ(ReadBytes(CsvPath()),
              "Group,Title,Username,Password,URL,Notes\r\n"
              "Bank,Visa,al,\"p,1\",https://example.org/4,\r\n");
    EXPECT_EQ(FileMode(CsvPath()), 0600u);

    Import(dir.File("absent.csv"));
    EXPECT_TRUE(prompter.LastMessage().contains("absent.csv"));
    WriteBytes(CsvPath(), "Title\nPlain\n");
    MakeDataFileUnwritable();
    Import(CsvPath());  // the data file cannot even be read: nothing is imported
    EXPECT_TRUE(MessageShown(54));
}

// An import is written all at once or not at all: called off before the write, or failing
// anywhere in it, it leaves the data file and the tree as they were.
TEST_F(CsvFormTest, ImportCalledOffOrFailingChangesNothing) {
    SeedFile({Group(3, "Bank")});
    Start();
    const std::string csv = dir.File("in.csv");
    WriteBytes(csv, "Group,Title\nBank,Visa\nHome,Mail\n");
    const std::string before = ReadBytes(DataPath());
    // Each step of the whole-file write that may fail is the file unit's table.
    for (const bool calledOff : {true, false}) {
        if (calledOff) {
            QTimer::singleShot(0, [&] { Find<QProgressDialog>("ImportProgress")->cancel(); });
        }
        files.FillDiskAfter(calledOff ? -1 : 100);
        Import(csv);
        files.Heal();
        EXPECT_TRUE(ReadBytes(DataPath()) == before);
        EXPECT_EQ(TreeTexts(), (std::vector<QString>{"Bank"}));
    }
    Import(csv);
    EXPECT_TRUE(prompter.LastMessage().startsWith(keyrack::Message(70).arg(2).arg(0)));
    // Which group each entry goes to is the import plan's test.
    EXPECT_EQ(TreeTexts(), (std::vector<QString>{"Bank", "Home", "Visa", "Mail"}));
}

}  // namespace
}  // namespace keyrack::testing
