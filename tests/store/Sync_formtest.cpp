#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>

#include "store/DataFileSync.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

// Another computer's changes arriving through a file-sync engine.
class SyncTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        SeedFile({Group(3, "Bank"), Entry(4, "Visa", "K3", "alice", "pin")});
        Start();
        ShowWindow();
    }

    // The other computer's version of the data file, made beside it.
    std::string OtherVersion(const std::string& name, const std::vector<SeedRecord>& records) {
        const std::string path = dir.File(name);
        std::filesystem::copy_file(DataPath(), path);
        SeedFile(records, path);
        return path;
    }
    // The watcher's pause has ended.
    void Settle() { Find<DataFileSync>("DataFileSync")->TimerSync_Timer(); }
    bool Shows(const QString& text) const {
        const std::vector<QString> texts = TreeTexts();
        return std::count(texts.begin(), texts.end(), text) == 1;
    }
};

TEST_F(SyncTest, AFileReplacedByRenameIsLoadedKeepingTheShownNode) {
    Show("K4");
    Tree().NodeWithKey("K3")->setExpanded(true);
    std::filesystem::rename(OtherVersion("cli.rkd.tmp", {Entry(5, "Mail", "K3")}), DataPath());
    Settle();
    EXPECT_TRUE(Shows("Mail"));
    EXPECT_EQ(S().SelectedKey, "K4");
    EXPECT_TRUE(Tree().NodeWithKey("K3")->isExpanded());
    EXPECT_EQ(Find<QLabel>("StatusBar1Panel1")->text(), Message(77));
}

TEST_F(SyncTest, AnEditStaysThroughAChangeOnDiskAndItsSaveKeepsBothVersions) {
    Show("K4");
    ClickToolbar(kEdit);
    Title()->setPlainText("Visa Gold");
    // Rewritten in place, with one more entry so that its length changes too.
    SeedFile({Entry(4, "Visa Blue", "K3", "alice", "pin"), Entry(5, "Mail", "K3")});
    Settle();
    EXPECT_EQ(Title()->toPlainText(), "Visa Gold");
    ClickToolbar(kSave);
    EXPECT_TRUE(MessageShown(76));
    EXPECT_EQ(S().EditMode, "");
    for (const char* title : {"Visa Blue", "Visa Gold", "Mail"}) {
        EXPECT_TRUE(Shows(title)) << title;
    }
}

// Where the copy's records go, and that a second merge adds nothing, is the merge plan's test.
TEST_F(SyncTest, AConflictCopyIsMergedIntoItsGroupAndRemoved) {
    const std::string copy =
        OtherVersion("cli.sync-conflict-20261206-101500-ABCDEF7.rkd", {Entry(5, "Mail", "K3")});
    prompter.answers = {platform::Prompter::Answer::Yes};
    Settle();
    EXPECT_TRUE(MessageShown(78));
    EXPECT_TRUE(Shows("Mail"));
    EXPECT_FALSE(std::filesystem::exists(copy));
}

TEST_F(SyncTest, AGroupRenamedInPlaceKeepsItsTextThroughAChangeOnDisk) {
    Show("K3");
    Tree().view()->editItem(Tree().NodeWithKey("K3"));
    auto* label = Find<QLineEdit>("TreeView1Label");
    label->setText("Savings");
    SeedFile({Entry(5, "Mail", "K3")});
    Settle();
    ASSERT_EQ(Find<QLineEdit>("TreeView1Label"), label);
    EXPECT_EQ(label->text(), "Savings");
    QTest::keyClick(label, Qt::Key_Return);
    // The editor's delegate commits on the next turn of the event loop.
    QCoreApplication::processEvents();
    EXPECT_TRUE(Shows("Savings"));
    EXPECT_TRUE(Shows("Mail"));
}

}  // namespace
}  // namespace keyrack::testing
