#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

using Fields = std::vector<std::string>;
class CommandsTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        // Bank (3) holds Cards (4) and the entry Mail (6); Cards holds the entry Visa (5).
        SeedFile({Group(3, "Bank"), Group(4, "Cards", "K3"),
                  Entry(5, "Visa", "K4", "alice", "pin-1234"),
                  Entry(6, "Mail", "K3", "bob", "pw")});
        Start();
        ShowWindow();
    }

    // Starts a mode with the node shown, types into the four boxes and saves.
    void Save(const char* shown, int mode, const QString& title, const QString& address = {},
              const QString& userName = {}, const QString& password = {}) {
        Show(shown);
        ClickToolbar(mode);
        window->Text1->setPlainText(title);
        window->Text2->setText(address);
        window->Text4->setText(userName);
        window->Text3->setText(password);
        ClickToolbar(kSave);
    }

    Fields RecordOnDisk(int record) const {
        Fields fields;
        for (int field = 1; field <= 10; ++field) {
            fields.push_back(FieldOnDisk(field, record));
        }
        return fields;
    }

    std::string ParentOf(const char* key) const {
        QTreeWidgetItem* node = window->NodeWithKey(key);
        return node != nullptr ? Form_Main::NodeKey(node->parent()) : "<missing>";
    }

    std::vector<bool> ButtonStates() const {
        std::vector<bool> states;
        for (int index = 1; index <= 17; ++index) {
            states.push_back(window->Toolbar1Buttons[index]->isEnabled());
        }
        return states;
    }

    // Memory and the file on disk hold the same records.
    void ExpectMemoryMatchesFile() const {
        RecordStore disk;
        disk.LoadDataFile(DataPath());
        for (int record = 1; record <= window->Store.UpperBound(); ++record) {
            for (int field = 1; field <= 10; ++field) {
                ASSERT_EQ(window->Store.ReadField(field, record), disk.ReadField(field, record))
                    << "record " << record << " field " << field;
            }
        }
    }
};

TEST_F(CommandsTest, EachModeSetsTheControlsAndCancelShowsTheEarlierEntryWritingNothing) {
    struct Mode {
        int button;
        const char* editMode;
        bool boxesKept;
        bool typing;  // boxes enabled, Generate and Change Type shown, title focused
    };
    Show("K5");
    const std::string before = ReadBytes(DataPath());
    const auto browsing = ButtonStates();
    for (const Mode& mode : {Mode{kNew, "NEW", false, true}, Mode{kEdit, "EDIT", true, true},
                             Mode{kDelete, "DELETE", false, false}}) {
        SCOPED_TRACE(mode.editMode);
        ClickToolbar(mode.button);
        EXPECT_EQ(window->EditMode, mode.editMode);
        EXPECT_FALSE(window->MNU_File->menuAction()->isEnabled());
        EXPECT_FALSE(window->TreeView1->isEnabled());
        for (int index : {2, 4, 5, 6, 11, 14, 16, 17}) {
            EXPECT_FALSE(window->Toolbar1Buttons[index]->isEnabled()) << index;
        }
        EXPECT_TRUE(window->Toolbar1Buttons[kCancel]->isEnabled());
        EXPECT_TRUE(window->Toolbar1Buttons[kSave]->isEnabled());
        for (const QString& box : {window->Text1->toPlainText(), window->Text2->text(),
                                   window->Text3->text(), window->Text4->text()}) {
            EXPECT_EQ(!box.isEmpty(), mode.boxesKept);
        }
        EXPECT_EQ(window->Text3->isEnabled(), mode.typing);
        EXPECT_EQ(window->Command6->isVisible(), mode.typing);
        EXPECT_EQ(window->Command8->isVisible(), mode.typing);
        EXPECT_EQ(window->Text1->hasFocus(), mode.typing);

        // Locked buttons do nothing even when asked directly; separators never do.
        window->Toolbar1_ButtonClick(kGroup);
        window->Toolbar1_ButtonClick(3);
        window->Toolbar1_ButtonClick(99);
        EXPECT_TRUE(prompter.prompts.empty());

        ClickToolbar(kCancel);
        EXPECT_TRUE(window->EditMode.empty());
        EXPECT_EQ(window->Text1->toPlainText(), "Visa");
        EXPECT_EQ(window->Text3->text(), "pin-1234");
        EXPECT_FALSE(window->Text1->isEnabled());
        EXPECT_TRUE(window->TreeView1->hasFocus());
        EXPECT_TRUE(window->MNU_File->menuAction()->isEnabled());
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
    window->Text1->setPlainText("Shop");
    QTest::keySequence(window->Text1, QKeySequence::Save);
    EXPECT_TRUE(window->EditMode.empty());
    EXPECT_EQ(FieldOnDisk(1, 7), "Shop");
}

TEST_F(CommandsTest, NewEntryIsWrittenIntoTheShownGroupOrTheGroupOfTheShownEntry) {
    Save("K4", kNew, "  Amex  ", "https://amex.example", "carol", QString::fromUtf8("p\u00e9w"));
    EXPECT_TRUE(window->EditMode.empty());
    EXPECT_EQ(RawFieldOnDisk(6, 1), "5");  // the record count is plain text
    EXPECT_EQ(RecordOnDisk(7), (Fields{"Amex", "https://amex.example", "carol", "p\xe9w", "ALPHA",
                                       "Y", "8", "K4", "K7", "K4"}));
    EXPECT_EQ(ParentOf("K7"), "K4");
    EXPECT_EQ(window->SelectedIndex, 1);  // the reload shows the first node
    // Back to browsing with a group shown: no entry command, nothing to type into.
    for (int index : {5, 6, 14, 16, 17, kSave, kCancel}) {
        EXPECT_FALSE(window->Toolbar1Buttons[index]->isEnabled()) << index;
    }
    for (int index : {2, kNew, kGroup}) {
        EXPECT_TRUE(window->Toolbar1Buttons[index]->isEnabled()) << index;
    }
    EXPECT_FALSE(window->Text3->isEnabled());
    EXPECT_FALSE(window->Command6->isVisible());
    EXPECT_FALSE(window->Command8->isVisible());
    EXPECT_TRUE(window->MNU_File->menuAction()->isEnabled());

    Save("K5", kNew, "Debit");
    EXPECT_EQ(FieldOnDisk(10, 8), "K4");
    Show("K5");
    for (int index : {5, 6, 14, 16, 17}) {
        EXPECT_TRUE(window->Toolbar1Buttons[index]->isEnabled()) << index;
    }
    EXPECT_EQ(ParentOf("K8"), "K4");
    ExpectMemoryMatchesFile();
}

TEST_F(CommandsTest, EditReplacesTheRecordAndEmptiedBoxesStayEmpty) {
    Save("K5", kEdit, "Visa Gold", "", "alice", "new-pin");
    // The entry's own generator settings were shown, so they are written back unchanged.
    EXPECT_EQ(RecordOnDisk(5), (Fields{"Visa Gold", "", "alice", "new-pin", "NUMERIC", "N", "12",
                                       "K5", "K5", "K4"}));
    ExpectMemoryMatchesFile();
}

TEST_F(CommandsTest, DeleteThenNewReusesTheRecordAndKeyWhileTheCountGrows) {
    Show("K5");
    ClickToolbar(kDelete);
    ClickToolbar(kSave);
    EXPECT_EQ(window->NodeWithKey("K5"), nullptr);
    EXPECT_EQ(RecordOnDisk(5), Fields(10, ""));
    EXPECT_EQ(RawFieldOnDisk(6, 1), "4");

    Save("K3", kNew, "Reused");
    EXPECT_EQ(FieldOnDisk(1, 5), "Reused");
    EXPECT_EQ(FieldOnDisk(9, 5), "K5");
    EXPECT_EQ(RawFieldOnDisk(6, 1), "5");
    EXPECT_EQ(Form_Main::NodeTag(window->NodeWithKey("K5")), "5");
}

TEST_F(CommandsTest, RefusalsWriteNothingAndKeepTheMode) {
    const std::string before = ReadBytes(DataPath());
    Save("K4", kNew, "   ");
    EXPECT_TRUE(MessageShown(58));
    EXPECT_TRUE(window->Text1->hasFocus());

    window->Text1->setPlainText("Shop");
    window->Text2->setText(QString(10, QChar(0x4E2D)));
    ClickToolbar(kSave);
    EXPECT_TRUE(MessageShown(53));
    EXPECT_TRUE(prompter.LastMessage().endsWith(window->Label2->text()));
    EXPECT_TRUE(window->Text2->hasFocus());

    window->Text2->clear();
    window->Text1->setPlainText(QString(34, 'x'));
    ClickToolbar(kSave);
    EXPECT_TRUE(prompter.LastMessage().endsWith(window->Label1->text()));

    window->Text1->setPlainText("Shop");
    window->RecordCount = MaxRecordNumber;
    ClickToolbar(kSave);
    EXPECT_TRUE(MessageShown(55));

    EXPECT_EQ(window->EditMode, "NEW");
    EXPECT_EQ(ReadBytes(DataPath()), before);
}

TEST_F(CommandsTest, ExitFromTheToolbarOrTheMenuClosesTheWindow) {
    for (QAction* exit : {window->Toolbar1Buttons[2], window->MNU_Exit}) {
        window->show();
        exit->trigger();
        EXPECT_FALSE(window->isVisible());
    }
}

TEST_F(CommandsTest, FailedWriteIsReportedAndTheModeStays) {
    WithUnwritableFile([this] { Save("K5", kEdit, "Changed"); });
    EXPECT_TRUE(MessageShown(54));
    EXPECT_TRUE(prompter.LastMessage().endsWith(QString::fromStdString(DataPath())));
    EXPECT_EQ(window->EditMode, "EDIT");
    ExpectMemoryMatchesFile();
    EXPECT_EQ(FieldOnDisk(1, 5), "Visa");

    ClickToolbar(kSave);  // the user tries again once the file can be written
    EXPECT_EQ(FieldOnDisk(1, 5), "Changed");
}

class GroupTest : public CommandsTest {
  protected:
    // Creates a group named name with the node shown (null: none) and the answer to give.
    void CreateGroup(const char* shown, const QString& name,
                     platform::Prompter::Answer answer = platform::Prompter::Answer::No) {
        if (shown != nullptr) {
            Show(shown);
        }
        Answer(name);
        prompter.messages.clear();
        prompter.answers = {answer};
        ClickToolbar(kGroup);
    }

    bool QuestionAsked() const {
        return !prompter.messages.empty() &&
               prompter.messages.front().buttons == platform::Prompter::Buttons::YesNo;
    }
};

TEST_F(GroupTest, WhereTheNewGroupGoes) {
    using Answer = platform::Prompter::Answer;
    struct Case {
        const char* shown;
        Answer answer;
        bool asks;
        const char* parent;
    };
    const Case cases[] = {
        {"K5", Answer::Yes, false, "K4"},  // an entry: beside it, in its group
        {"K4", Answer::Yes, true, "K4"},   // a nested group: inside ...
        {"K4", Answer::No, true, "K3"},    // ... or beside it
        {"K3", Answer::Yes, true, "K3"},   // a top-level group: inside ...
        {"K3", Answer::No, true, ""},      // ... or at the top level
    };
    int record = 7;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        CreateGroup(c.shown, "Savings", c.answer);
        const std::string key = "K" + std::to_string(record);
        EXPECT_EQ(prompter.prompts.back(), Message(49));
        EXPECT_EQ(QuestionAsked(), c.asks);
        EXPECT_TRUE(!c.asks || prompter.messages.front().text == Message(50));
        EXPECT_EQ(ParentOf(key.c_str()), c.parent);
        EXPECT_EQ(RecordOnDisk(record),
                  (Fields{"", "", "", "", "", "", "", "Savings", key, c.parent}));
        EXPECT_EQ(RawFieldOnDisk(6, 1), std::to_string(record - 2));
        EXPECT_EQ(window->LastAddedNode, window->NodeWithKey(key));
        EXPECT_TRUE(window->LastAddedNode->font(0).bold());
        EXPECT_EQ(window->SelectedKey, c.shown);  // no reload, no selection change
        ++record;
    }
    ExpectMemoryMatchesFile();
}

TEST_F(GroupTest, WithNothingShownAGroupGoesToTheTopAndAnEntryIntoTheDefaultGroup) {
    window.reset();
    std::filesystem::remove(DataPath());
    Start();
    // Cancelling with nothing to show again leaves no entry command enabled.
    ClickToolbar(kNew);
    ClickToolbar(kCancel);
    EXPECT_FALSE(window->Toolbar1Buttons[kEdit]->isEnabled());
    EXPECT_FALSE(window->Toolbar1Buttons[kDelete]->isEnabled());
    CreateGroup(nullptr, "Bank");
    EXPECT_FALSE(QuestionAsked());
    EXPECT_EQ(ParentOf("K3"), "");
    EXPECT_EQ(FieldOnDisk(9, 3, window->DataKey), "K3");
    ClickToolbar(kNew);
    window->Text1->setPlainText("Alone");
    ClickToolbar(kSave);
    EXPECT_EQ(ParentOf("K4"), "D");
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

TEST_F(GroupTest, RefusedNamesFailedWritesAndAFullFileAddNothing) {
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

    window->RecordCount = MaxRecordNumber;
    CreateGroup("K5", "Full");
    EXPECT_TRUE(MessageShown(55));
    EXPECT_EQ(window->NodeWithKey("K7"), nullptr);
}

}  // namespace
}  // namespace keyrack::testing
