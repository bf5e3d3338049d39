#include <QLabel>
#include <QMenu>

#include "common/Notices.h"
#include "common/WindowMessages.h"
#include "store/DataFileSync.h"
#include "store/ValueCipher.h"
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

    Fields RecordOnDisk(int record) const {
        Fields fields;
        for (int field = 1; field <= 10; ++field) {
            fields.push_back(FieldOnDisk(field, record));
        }
        return fields;
    }

    std::string ParentOf(const char* key) const {
        QTreeWidgetItem* node = Tree().NodeWithKey(key);
        return node != nullptr ? TreePane::NodeKey(node->parent()) : "<missing>";
    }

    // Memory and the file on disk hold the same records.
    void ExpectMemoryMatchesFile() const {
        RecordStore disk;
        disk.LoadDataFile(DataPath());
        RecordStore memory(window->store());
        for (int record = 1; record <= memory.UpperBound(); ++record) {
            for (int field = 1; field <= 10; ++field) {
                ASSERT_EQ(memory.ReadField(field, record), disk.ReadField(field, record))
                    << "record " << record << " field " << field;
            }
        }
    }
};

TEST_F(CommandsTest, EachModeSetsTheControlsAndCancelShowsTheEarlierEntryWritingNothing) {
    Show("K5");
    const std::string before = ReadBytes(DataPath());
    // The mode, whether the boxes keep the entry and whether they take typing.
    for (const auto& [button, editMode, kept, typing] :
         {std::tuple(kNew, "NEW", false, true), std::tuple(kEdit, "EDIT", true, true),
          std::tuple(kDelete, "DELETE", false, false)}) {
        SCOPED_TRACE(editMode);
        ClickToolbar(button);
        EXPECT_EQ(S().EditMode, editMode);
        EXPECT_FALSE(Find<QMenu>("MNU_File")->menuAction()->isEnabled() ||
                     Tree().view()->isEnabled());
        for (int index : {2, 4, 5, 6, 7, 8, 11, 14, 16, 17}) {
            EXPECT_EQ(Button(index)->isEnabled(), index == kCancel || index == kSave) << index;
        }
        // The boxes are emptied together: the title and the password stand for them.
        EXPECT_EQ(Title()->toPlainText().isEmpty(), !kept);
        EXPECT_EQ(Box("Text3")->text().isEmpty(), !kept);
        EXPECT_EQ(Box("Text3")->isReadOnly(), !typing);
        EXPECT_TRUE(Title()->hasFocus() || !typing);

        ClickToolbar(kCancel);
        EXPECT_EQ(S().EditMode + Title()->toPlainText().toStdString(), "Visa");
        EXPECT_TRUE(Find<QMenu>("MNU_File")->menuAction()->isEnabled() &&
                    Tree().view()->hasFocus());
        for (int index : {2, 4, 5, 6, 7, 8, 11, 14, 16, 17}) {
            EXPECT_EQ(Button(index)->isEnabled(), index != kCancel && index != kSave) << index;
        }
    }
    EXPECT_EQ(ReadBytes(DataPath()), before);
}

TEST_F(CommandsTest, NewGoesIntoTheShownGroupOrTheEntrysGroupEditReplacesDeleteEmpties) {
    // The title is trimmed; the password keeps its spaces.
    Save("K4", kNew, "  Amex  ", "https://amex.example", "carol", QString::fromUtf8(" p\u00e9w "));
    EXPECT_TRUE(S().EditMode.empty());
    EXPECT_EQ(RawFieldOnDisk(6, 1), "5");  // the record count is plain text
    EXPECT_EQ(RecordOnDisk(7), (Fields{"Amex", "https://amex.example", "carol", " p\xe9w ", "ALPHA",
                                       "Y", "8", "K4", "K7", "K4"}));
    Save("K5", kNew, "Debit");
    EXPECT_EQ(FieldOnDisk(10, 8), "K4");
    Save("K5", kEdit, "Visa Gold", "", "alice", "new-pin");
    // The entry's own generator settings were shown, so they are written back unchanged.
    EXPECT_EQ(RecordOnDisk(5), (Fields{"Visa Gold", "", "alice", "new-pin", "NUMERIC", "N", "12",
                                       "K5", "K5", "K4"}));
    Show("K5");
    ClickToolbar(kDelete);
    ClickToolbar(kSave);
    EXPECT_EQ(Tree().NodeWithKey("K5"), nullptr);
    EXPECT_EQ(RecordOnDisk(5), Fields(10, ""));
    ExpectMemoryMatchesFile();
}

TEST_F(CommandsTest, RefusalsWriteNothingAndKeepTheMode) {
    const std::string before = ReadBytes(DataPath());
    Save("K4", kNew, "   ");
    EXPECT_TRUE(MessageShown(58));
    EXPECT_TRUE(Title()->hasFocus());

    Title()->setPlainText("Shop");
    Box("Text2")->setText(QString(10, QChar(0x4E2D)));
    ClickToolbar(kSave);
    EXPECT_TRUE(MessageShown(53));
    EXPECT_EQ(prompter.messages.back().kind, platform::Prompter::Kind::Warning);
    EXPECT_TRUE(prompter.LastMessage().endsWith(Find<QLabel>("Label2")->text()));
    EXPECT_TRUE(Box("Text2")->hasFocus());

    EXPECT_EQ(S().EditMode, "NEW");
    EXPECT_EQ(ReadBytes(DataPath()), before);
}

// An edit saves through the same write as this new entry, which writes the record count too.
TEST_F(CommandsTest, FailedWriteIsReportedAndTheModeStays) {
    WithUnwritableFile([this] { Save("K5", kNew, "Changed"); });
    EXPECT_TRUE(MessageShown(54));
    EXPECT_TRUE(prompter.LastMessage().contains(QString::fromStdString(DataPath())));
    EXPECT_EQ(prompter.messages.back().kind, platform::Prompter::Kind::Error);
    EXPECT_EQ(S().EditMode, "NEW");
    ExpectMemoryMatchesFile();

    ClickToolbar(kSave);  // the user tries again once the file can be written
    EXPECT_EQ(FieldOnDisk(1, 7), "Changed");
}

TEST_F(CommandsTest, ClosingDuringAnEditAsksAndEachAnswerDoesItsThing) {
    using Answer = platform::Prompter::Answer;
    // The answer, the title typed, whether the window closes and the title then on disk. A save
    // that is refused (no title) keeps the window open, as going back does.
    for (const auto& [answer, title, closes, onDisk] :
         {std::tuple(Answer::Cancel, "Visa Gold", false, "Visa"),
          std::tuple(Answer::Yes, "", false, "Visa"),
          std::tuple(Answer::No, "Visa Gold", true, "Visa"),
          std::tuple(Answer::Yes, "Visa Gold", true, "Visa Gold")}) {
        Start();
        ShowWindow();
        Show("K5");
        ClickToolbar(kEdit);
        Title()->setPlainText(title);
        prompter.messages.clear();
        prompter.answers = {answer};
        EXPECT_EQ(window->close(), closes);
        EXPECT_TRUE(MessageShown(kMessageSaveBeforeClosing));
        EXPECT_EQ(S().EditMode, closes ? "" : "EDIT");
        EXPECT_EQ(FieldOnDisk(1, 5), onDisk);
    }
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
    // The node shown, the answer, whether the question is asked and the new group's parent.
    const std::tuple<const char*, Answer, bool, const char*> cases[] = {
        {"K5", Answer::Yes, false, "K4"},  // an entry: beside it, in its group
        {"K4", Answer::Yes, true, "K4"},   // a nested group: inside ...
        {"K4", Answer::No, true, "K3"},    // ... or beside it
        {"K3", Answer::Yes, true, "K3"},   // a top-level group: inside ...
        {"K3", Answer::No, true, ""},      // ... or at the top level
    };
    int record = 7;
    for (const auto& [shown, answer, asks, parent] : cases) {
        SCOPED_TRACE(shown);
        CreateGroup(shown, "Savings", answer);
        const std::string key = "K" + std::to_string(record);
        EXPECT_EQ(QuestionAsked(), asks);
        EXPECT_EQ(RecordOnDisk(record),
                  (Fields{"", "", "", "", "", "", "", "Savings", key, parent}));
        EXPECT_EQ(RawFieldOnDisk(6, 1), std::to_string(record - 2));
        EXPECT_EQ(S().SelectedKey, shown);  // no reload, no selection change
        ++record;
    }
    ExpectMemoryMatchesFile();
}

// A new data file holds the key it is written with; with nothing to show, even after a
// cancelled New, only New and Add Group are offered, a group goes to the top and an entry into
// the default group.
TEST_F(GroupTest, WithoutDataFileTheWindowStartsEmptyAndNewNodesGoToTheTop) {
    window.reset();
    std::filesystem::remove(DataPath());
    Start();
    EXPECT_EQ(FileMode(DataPath()), 0600u);
    EXPECT_EQ(FieldOnDisk(5, 1, LoginKey), std::to_string(S().DataKey));
    ClickToolbar(kNew);
    ClickToolbar(kCancel);
    for (int index : {2, 4, 5, 6, 7, 8, 11, 14, 16, 17}) {
        EXPECT_EQ(Button(index)->isEnabled(), index == 2 || index == kNew || index == kGroup);
    }
    CreateGroup(nullptr, "Bank");
    EXPECT_FALSE(QuestionAsked());
    EXPECT_EQ(ParentOf("K3"), "");
    EXPECT_EQ(FieldOnDisk(9, 3, S().DataKey), "K3");
    ClickToolbar(kNew);
    Title()->setPlainText("Alone");
    ClickToolbar(kSave);
    EXPECT_EQ(ParentOf("K4"), "D");
}

TEST_F(GroupTest, BlankRefusedOrUnwritableNamesAddNothingAndBlanksAreTrimmed) {
    const std::string before = ReadBytes(DataPath());
    for (const QString& name : {QString("    "), QString(), QString(34, 'g')}) {
        CreateGroup("K3", name);
        EXPECT_FALSE(QuestionAsked());
    }
    EXPECT_TRUE(MessageShown(53));
    WithUnwritableFile([this] { CreateGroup("K5", "Lost"); });
    EXPECT_TRUE(MessageShown(54));
    EXPECT_EQ(Tree().NodeWithKey("K7"), nullptr);
    EXPECT_EQ(S().RecordCount, 4);
    EXPECT_EQ(ReadBytes(DataPath()), before);

    CreateGroup("K5", "   Spaced");
    EXPECT_EQ(FieldOnDisk(8, 7), "Spaced");
    ExpectMemoryMatchesFile();
}

TEST_F(GroupTest, AFullFileTakesNoGroup) {
    // The tree on its own, with a count that leaves no record free.
    Session session;
    session.DataFilePath = DataPath();
    session.DataKey = kKey;
    RecordStore store;
    store.LoadDataFile(DataPath());
    QWidget area;
    Notices notices(prompter, area, session);
    DataFileSync sync(session, store, files, random, notices, &area);
    TreePane tree(session, store, sync, notices, random, &area, &area);
    tree.LoadPasswordList();
    session.RecordCount = MaxRecordNumber;
    const std::string before = ReadBytes(DataPath());
    Answer("Full");
    tree.AddGroup();
    EXPECT_TRUE(MessageShown(55));
    EXPECT_EQ(tree.NodeWithKey("K7"), nullptr);
    EXPECT_EQ(ReadBytes(DataPath()), before);
}

TEST_F(CommandsTest, EachKeyReachesItsCommandAndCopyAndDeleteOnlyFromTheTree) {
    std::vector<int> triggered;
    for (int index :
         {kNew, kEdit, kDelete, kCancel, kSave, kGroup, kOpen, kCopyUser, kCopyPassword}) {
        QObject::connect(Button(index), &QAction::triggered,
                         [&triggered, index] { triggered.push_back(index); });
    }
    Show("K5");
    QWidget* tree = Tree().view();
    tree->setFocus();
    const std::tuple<QWidget*, QKeyCombination, int> presses[] = {
        {tree, Qt::CTRL | Qt::Key_B, kCopyUser},
        {tree, Qt::CTRL | Qt::Key_C, kCopyPassword},
        {Tree().searchBox(), Qt::CTRL | Qt::Key_C, 0},
        {tree, Qt::CTRL | Qt::Key_U, kOpen},
        {tree, Qt::CTRL | Qt::Key_G, kGroup},
        {tree, QKeyCombination(Qt::Key_Delete), kDelete},
        {window.get(), QKeyCombination(Qt::Key_Escape), kCancel},
        {tree, Qt::CTRL | Qt::Key_E, kEdit},
        {window.get(), Qt::CTRL | Qt::Key_S, kSave},
        {tree, Qt::CTRL | Qt::Key_N, kNew}};
    for (const auto& [at, key, command] : presses) {
        const QString name = QKeySequence(key).toString(QKeySequence::NativeText);
        triggered.clear();
        QTest::keyClick(at, key.key(), key.keyboardModifiers());
        EXPECT_EQ(triggered, command == 0 ? std::vector<int>{} : std::vector<int>{command})
            << name.toStdString();
        EXPECT_TRUE(command == 0 || Button(command)->toolTip().endsWith("(" + name + ")"));
    }
    EXPECT_EQ(clipboard.text, "pin-1234");
}

TEST_F(CommandsTest, EnterEditsAnEntryAndTheContextMenuFitsTheNode) {
    QTreeWidget* tree = Tree().view();
    Show("K5");
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(S().EditMode, "EDIT");
    ClickToolbar(kCancel);

    const auto menuFor = [&](const char* key) {
        const QPoint at = tree->visualItemRect(Tree().NodeWithKey(key)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &event);
        QString names;
        for (const QAction* action : Find<QMenu>("TreeContextMenu")->actions()) {
            names += action->objectName().remove("Toolbar1_") + " ";
        }
        Find<QMenu>("TreeContextMenu")->close();
        return names.toStdString();
    };
    EXPECT_EQ(menuFor("K5"), "Button5 Button6 Button16 Button17 Button14 ");
    EXPECT_EQ(menuFor("K4"), "Button4 Button11 MNU_RenameGroup MNU_DeleteGroup ");
}

}  // namespace
}  // namespace keyrack::testing
