#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "lang/Messages.h"
#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

class CommandsTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        SeedFile({Group(3, "Bank"), Group(4, "Cards", "K3"),
                  Entry(5, "Visa", "K4", "alice", "pin-1234"),
                  Entry(6, "Mail", "K3", "bob", "pw")});
        Start();
        window->show();
        QApplication::setActiveWindow(window.get());
    }

    void Show(const char* key) { window->TreeView1->setCurrentItem(window->NodeWithKey(key)); }

    void Type(const QString& title, const QString& address, const QString& userName,
              const QString& password) {
        window->Text1->setPlainText(title);
        window->Text2->setText(address);
        window->Text4->setText(userName);
        window->Text3->setText(password);
    }

    // Each toolbar index's enabled state, 1..17.
    std::vector<bool> ButtonStates() const {
        std::vector<bool> states;
        for (int index = 1; index <= 17; ++index) {
            states.push_back(window->Toolbar1Buttons[index]->isEnabled());
        }
        return states;
    }

    void ExpectModeLocksTheWindow() {
        EXPECT_FALSE(window->MNU_File->isEnabled());
        EXPECT_FALSE(window->TreeView1->isEnabled());
        for (int index : {2, 4, 5, 6, 11, 14, 16, 17}) {
            EXPECT_FALSE(window->Toolbar1Buttons[index]->isEnabled()) << index;
        }
        EXPECT_TRUE(window->Toolbar1Buttons[7]->isEnabled());
        EXPECT_TRUE(window->Toolbar1Buttons[8]->isEnabled());
    }

    // Memory and the file on disk hold the same records.
    void ExpectMemoryMatchesFile() {
        RecordStore disk;
        disk.LoadDataFile(DataPath());
        for (int record = 1; record <= window->Store.UpperBound(); ++record) {
            for (int field = 1; field <= 10; ++field) {
                ASSERT_EQ(window->Store.ReadField(field, record), disk.ReadField(field, record))
                    << "record " << record << " field " << field;
            }
        }
    }

    // Replaces the data file by a folder for the command, then puts it back as it was.
    template <typename Command>
    void WithUnwritableFile(Command command) {
        const std::string before = ReadBytes(DataPath());
        MakeDataFileUnwritable();
        command();
        std::filesystem::remove(DataPath());
        WriteBytes(DataPath(), before);
    }
};

TEST_F(CommandsTest, EachModeSetsTheControls) {
    Show("K5");
    ClickToolbar(4);
    EXPECT_EQ(window->EditMode, "NEW");
    ExpectModeLocksTheWindow();
    EXPECT_TRUE(window->Text1->toPlainText().isEmpty());
    EXPECT_TRUE(window->Text1->isEnabled() && window->Text3->isEnabled());
    EXPECT_FALSE(window->Command6->isHidden());
    EXPECT_FALSE(window->Command8->isHidden());
    EXPECT_TRUE(window->Text1->hasFocus());
    ClickToolbar(7);

    Show("K5");
    ClickToolbar(5);
    EXPECT_EQ(window->EditMode, "EDIT");
    ExpectModeLocksTheWindow();
    EXPECT_EQ(window->Text1->toPlainText(), "Visa");
    EXPECT_TRUE(window->Text4->isEnabled());
    EXPECT_FALSE(window->Command6->isHidden());
    ClickToolbar(7);

    ClickToolbar(6);
    EXPECT_EQ(window->EditMode, "DELETE");
    ExpectModeLocksTheWindow();
    EXPECT_TRUE(window->Text4->text().isEmpty());
    EXPECT_FALSE(window->Text1->isEnabled());
    EXPECT_TRUE(window->Command6->isHidden());
    EXPECT_TRUE(window->Command8->isHidden());

    // Locked buttons do nothing even when asked directly; separators never do.
    window->Toolbar1_ButtonClick(11);
    window->Toolbar1_ButtonClick(3);
    window->Toolbar1_ButtonClick(99);
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(window->EditMode, "DELETE");
}

TEST_F(CommandsTest, CancelShowsTheEarlierEntryAndWritesNothing) {
    Show("K5");
    const std::string before = ReadBytes(DataPath());
    const auto browsing = ButtonStates();
    for (int mode : {4, 6}) {
        ClickToolbar(mode);
        ClickToolbar(7);
        EXPECT_TRUE(window->EditMode.empty());
        EXPECT_EQ(window->Text1->toPlainText(), "Visa");
        EXPECT_EQ(window->Text3->text(), "pin-1234");
        EXPECT_FALSE(window->Text1->isEnabled());
        EXPECT_TRUE(window->TreeView1->hasFocus());
        EXPECT_TRUE(window->MNU_File->isEnabled());
        EXPECT_EQ(ButtonStates(), browsing);
    }
    EXPECT_EQ(ReadBytes(DataPath()), before);
}

TEST_F(CommandsTest, KeyboardStartsCancelsAndSaves) {
    Show("K4");
    QTest::keySequence(window.get(), QKeySequence::New);
    EXPECT_EQ(window->EditMode, "NEW");
    QTest::keyClick(window->Text1, Qt::Key_Escape);
    EXPECT_TRUE(window->EditMode.empty());
    QTest::keySequence(window.get(), QKeySequence::New);
    Type("Shop", "", "", "");
    QTest::keySequence(window->Text1, QKeySequence::Save);
    EXPECT_TRUE(window->EditMode.empty());
    EXPECT_EQ(FieldOnDisk(1, 7), "Shop");
    EXPECT_EQ(window->Toolbar1Buttons[8]->toolTip(), Message(31));
}

TEST_F(CommandsTest, NewEntryIsWrittenIntoTheShownGroup) {
    Show("K4");
    ClickToolbar(4);
    Type("  Amex  ", "https://amex.example", "carol", QString::fromUtf8("p\u00e9w"));
    ClickToolbar(8);

    EXPECT_TRUE(window->EditMode.empty());
    EXPECT_EQ(FieldOnDisk(6, 1, 0), "");  // record 1's count is plain text
    EXPECT_EQ(RawFieldOnDisk(6, 1), "5");
    EXPECT_EQ(FieldOnDisk(1, 7), "Amex");
    EXPECT_EQ(FieldOnDisk(2, 7), "https://amex.example");
    EXPECT_EQ(FieldOnDisk(3, 7), "carol");
    EXPECT_EQ(FieldOnDisk(4, 7), "p\xe9w");
    EXPECT_EQ(FieldOnDisk(5, 7), "ALPHA");
    EXPECT_EQ(FieldOnDisk(6, 7), "Y");
    EXPECT_EQ(FieldOnDisk(7, 7), "8");
    EXPECT_EQ(FieldOnDisk(8, 7), "K4");
    EXPECT_EQ(FieldOnDisk(9, 7), "K7");
    EXPECT_EQ(FieldOnDisk(10, 7), "K4");
    EXPECT_EQ(window->NodeWithKey("K7")->parent(), window->NodeWithKey("K4"));
    EXPECT_EQ(window->SelectedIndex, 1);  // the reload shows the first node
    ExpectMemoryMatchesFile();
}

TEST_F(CommandsTest, NewEntryGoesIntoTheGroupOfTheShownEntryOrTheDefaultGroup) {
    Show("K5");
    ClickToolbar(4);
    Type("Debit", "", "", "");
    ClickToolbar(8);
    EXPECT_EQ(FieldOnDisk(10, 7), "K4");
    EXPECT_EQ(window->NodeWithKey("K7")->parent(), window->NodeWithKey("K4"));

    // With nothing shown (an empty tree), the entry lands in the default group.
    window.reset();
    std::filesystem::remove(DataPath());
    Start();
    ClickToolbar(4);
    Type("Alone", "", "", "");
    ClickToolbar(8);
    ASSERT_NE(window->NodeWithKey("K3"), nullptr);
    EXPECT_EQ(Form_Main::NodeKey(window->NodeWithKey("K3")->parent()), "D");
}

TEST_F(CommandsTest, EditReplacesTheRecordAndEmptiedBoxesStayEmpty) {
    Show("K5");
    ClickToolbar(5);
    Type("Visa Gold", "", "alice", "new-pin");
    ClickToolbar(8);
    EXPECT_EQ(FieldOnDisk(1, 5), "Visa Gold");
    EXPECT_EQ(FieldOnDisk(2, 5), "");
    EXPECT_EQ(FieldOnDisk(4, 5), "new-pin");
    EXPECT_EQ(FieldOnDisk(5, 5), "NUMERIC");  // the entry's own settings were shown and kept
    EXPECT_EQ(FieldOnDisk(8, 5), "K5");
    EXPECT_EQ(FieldOnDisk(9, 5), "K5");
    EXPECT_EQ(FieldOnDisk(10, 5), "K4");
    ExpectMemoryMatchesFile();
}

TEST_F(CommandsTest, DeleteThenNewReusesTheRecordAndKeyWhileTheCountGrows) {
    Show("K5");
    ClickToolbar(6);
    ClickToolbar(8);
    EXPECT_EQ(window->NodeWithKey("K5"), nullptr);
    for (int field = 1; field <= 10; ++field) {
        EXPECT_EQ(RawFieldOnDisk(field, 5), "");
    }
    EXPECT_EQ(RawFieldOnDisk(6, 1), "4");

    Show("K3");
    ClickToolbar(4);
    Type("Reused", "", "", "");
    ClickToolbar(8);
    EXPECT_EQ(FieldOnDisk(1, 5), "Reused");
    EXPECT_EQ(FieldOnDisk(9, 5), "K5");
    EXPECT_EQ(RawFieldOnDisk(6, 1), "5");
    EXPECT_EQ(Form_Main::NodeTag(window->NodeWithKey("K5")), "5");
}

TEST_F(CommandsTest, RefusalsWriteNothingAndKeepTheMode) {
    const std::string before = ReadBytes(DataPath());
    Show("K4");
    ClickToolbar(4);

    Type("   ", "", "", "");
    ClickToolbar(8);
    EXPECT_TRUE(MessageShown(58));
    EXPECT_TRUE(window->Text1->hasFocus());

    Type("Shop", QString(10, QChar(0x4E2D)), "", "");
    ClickToolbar(8);
    EXPECT_TRUE(MessageShown(53));
    EXPECT_TRUE(prompter.LastMessage().endsWith(window->Label2->text()));
    EXPECT_TRUE(window->Text2->hasFocus());

    Type(QString(34, 'x'), "", "", "");
    ClickToolbar(8);
    EXPECT_TRUE(prompter.LastMessage().endsWith(window->Label1->text()));

    EXPECT_EQ(window->EditMode, "NEW");
    EXPECT_EQ(ReadBytes(DataPath()), before);
    EXPECT_EQ(window->Text4->maxLength(), 33);
}

TEST_F(CommandsTest, AFullFileRefusesNewEntriesAndGroups) {
    const std::string before = ReadBytes(DataPath());
    window->RecordCount = MaxRecordNumber;
    Show("K4");
    ClickToolbar(4);
    Type("One too many", "", "", "");
    ClickToolbar(8);
    EXPECT_TRUE(MessageShown(55));
    EXPECT_EQ(window->EditMode, "NEW");
    ClickToolbar(7);

    prompter.messages.clear();
    Answer("Also too many");
    ClickToolbar(11);
    EXPECT_TRUE(MessageShown(55));
    EXPECT_EQ(window->NodeWithKey("K7"), nullptr);
    EXPECT_EQ(ReadBytes(DataPath()), before);
}

TEST_F(CommandsTest, FailedWriteIsReportedAndTheModeStays) {
    Show("K5");
    ClickToolbar(5);
    Type("Changed", "", "", "");
    WithUnwritableFile([this] { ClickToolbar(8); });
    EXPECT_TRUE(MessageShown(54));
    EXPECT_TRUE(prompter.LastMessage().endsWith(QString::fromStdString(DataPath())));
    EXPECT_EQ(window->EditMode, "EDIT");
    ExpectMemoryMatchesFile();
    EXPECT_EQ(FieldOnDisk(1, 5), "Visa");

    ClickToolbar(8);  // the user tries again once the file can be written
    EXPECT_EQ(FieldOnDisk(1, 5), "Changed");
}

class GroupTest : public CommandsTest {
  protected:
    // Creates a group named name with the given node shown (nullptr: none) and answer.
    void CreateGroup(const char* shown, const QString& name,
                     platform::Prompter::Answer answer = platform::Prompter::Answer::No) {
        if (shown != nullptr) {
            Show(shown);
        }
        Answer(name);
        prompter.answers = {answer};
        ClickToolbar(11);
    }

    std::string ParentOf(const char* key) {
        QTreeWidgetItem* node = window->NodeWithKey(key);
        return node != nullptr ? Form_Main::NodeKey(node->parent()) : "<missing>";
    }

    bool QuestionAsked() const {
        for (const auto& shown : prompter.messages) {
            if (shown.buttons == platform::Prompter::Buttons::YesNo) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(GroupTest, AnEntryShownPutsTheGroupBesideItWithoutAQuestion) {
    CreateGroup("K5", "Savings");
    EXPECT_FALSE(QuestionAsked());
    EXPECT_EQ(ParentOf("K7"), "K4");
    EXPECT_EQ(FieldOnDisk(8, 7), "Savings");
    EXPECT_EQ(FieldOnDisk(9, 7), "K7");
    EXPECT_EQ(FieldOnDisk(10, 7), "K4");
    EXPECT_EQ(RawFieldOnDisk(6, 1), "5");
    EXPECT_EQ(window->LastAddedNode, window->NodeWithKey("K7"));
    EXPECT_TRUE(window->LastAddedNode->font(0).bold());
    EXPECT_EQ(window->SelectedKey, "K5");  // no reload, no selection change
    ExpectMemoryMatchesFile();
}

TEST_F(GroupTest, ANestedGroupShownAsksInsideOrBeside) {
    CreateGroup("K4", "Inside", platform::Prompter::Answer::Yes);
    EXPECT_TRUE(QuestionAsked());
    EXPECT_EQ(ParentOf("K7"), "K4");
    CreateGroup("K4", "Beside", platform::Prompter::Answer::No);
    EXPECT_EQ(ParentOf("K8"), "K3");
    EXPECT_EQ(FieldOnDisk(10, 8), "K3");
}

TEST_F(GroupTest, ATopLevelGroupShownAsksInsideOrTopLevel) {
    CreateGroup("K3", "Inside", platform::Prompter::Answer::Yes);
    EXPECT_EQ(ParentOf("K7"), "K3");
    CreateGroup("K3", "Top", platform::Prompter::Answer::No);
    EXPECT_EQ(window->NodeWithKey("K8")->parent(), nullptr);
    EXPECT_EQ(RawFieldOnDisk(10, 8), "");
}

TEST_F(GroupTest, NothingShownMakesATopLevelGroup) {
    window.reset();
    std::filesystem::remove(DataPath());
    Start();
    CreateGroup(nullptr, "Bank");
    EXPECT_FALSE(QuestionAsked());
    ASSERT_EQ(window->TreeView1->topLevelItemCount(), 1);
    EXPECT_EQ(window->TreeView1->topLevelItem(0)->text(0), "Bank");
    EXPECT_EQ(FieldOnDisk(9, 3, window->DataKey), "K3");
    EXPECT_EQ(RawFieldOnDisk(6, 1), "1");
}

TEST_F(GroupTest, BlankNamesDoNothingAndLeadingBlanksAreStoredTrimmed) {
    const std::string before = ReadBytes(DataPath());
    CreateGroup("K3", "    ");
    CreateGroup("K3", "");
    EXPECT_EQ(ReadBytes(DataPath()), before);
    EXPECT_FALSE(QuestionAsked());

    CreateGroup("K5", "   Spaced");
    EXPECT_EQ(window->NodeWithKey("K7")->text(0), "   Spaced");
    EXPECT_EQ(FieldOnDisk(8, 7), "Spaced");
    window->LoadPasswordList();
    EXPECT_EQ(window->NodeWithKey("K7")->text(0), "Spaced");
}

TEST_F(GroupTest, NamesThatCannotBeStoredAndFailedWritesAddNothing) {
    const std::string before = ReadBytes(DataPath());
    CreateGroup("K5", QString(34, 'g'));
    EXPECT_TRUE(MessageShown(53));
    EXPECT_EQ(window->NodeWithKey("K7"), nullptr);
    EXPECT_EQ(ReadBytes(DataPath()), before);

    WithUnwritableFile([this] { CreateGroup("K5", "Lost"); });
    EXPECT_TRUE(MessageShown(54));
    EXPECT_EQ(window->NodeWithKey("K7"), nullptr);
    EXPECT_EQ(window->RecordCount, 4);
    ExpectMemoryMatchesFile();
}

}  // namespace
}  // namespace keyrack::testing
