#include <QDropEvent>
#include <QMimeData>
#include <QTreeWidgetItemIterator>
#include <map>
#include <memory>
#include <optional>
#include <random>

#include "common/StatusMessages.h"
#include "support/FormFixture.h"
#include "tree/EntryTree.h"
#include "tree/NodeKeys.h"

namespace keyrack::testing {
namespace {

using Parents = std::map<std::string, std::string>;
using Reply = platform::Prompter::Answer;

class TreeEditTest : public FormFixture {
  protected:
    // Bank (3) holds Cards (5) holding Visa (7); Mail (4) holds Inbox (8); Empty (6) is an
    // empty top-level group; Loose (9) sits in the default group.
    void SetUp() override {
        FormFixture::SetUp();
        SeedFile({Group(3, "Bank"), Group(4, "Mail"), Group(5, "Cards", "K3"), Group(6, "Empty"),
                  Entry(7, "Visa", "K5", "alice", "pin-1234"), Entry(8, "Inbox", "K4"),
                  Entry(9, "Loose", "")});
        Start();
        window->resize(600, 400);
        window->show();
        Tree().view()->expandAll();
    }

    QTreeWidgetItem* Node(const std::string& key) { return Tree().NodeWithKey(key); }

    Parents ParentsInTree() const {
        Parents parents;
        for (QTreeWidgetItemIterator it(Tree().view()); *it != nullptr; ++it) {
            parents[TreePane::NodeKey(*it)] = TreePane::NodeKey((*it)->parent());
        }
        return parents;
    }

    // The tree built again from what the file holds.
    Parents ParentsAfterReload() {
        Start();
        return ParentsInTree();
    }

    // Drops the node with key on target, or on the empty area below the last node.
    void Drop(const std::string& key, const std::string& target) {
        QTreeWidget& tree = *Tree().view();
        const QPoint at = target.empty() ? QPoint(10, tree.viewport()->height() - 5)
                                         : tree.visualItemRect(Node(target)).center();
        auto& entryTree = static_cast<EntryTree&>(tree);
        const std::unique_ptr<QMimeData> mime(entryTree.NodeMimeData(key));
        QDragEnterEvent enter(at, Qt::MoveAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(tree.viewport(), &enter);
        QDropEvent drop(at, Qt::MoveAction, mime.get(), Qt::LeftButton, {});
        QApplication::sendEvent(tree.viewport(), &drop);
    }

    // Does nothing when no editor opens (as for the default group, whose name is fixed).
    void Rename(const std::string& key, const QString& typed) {
        Tree().view()->setCurrentItem(Node(key));
        QTest::keyClick(Tree().view(), Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(Tree().view()->itemWidget(Node(key), 0));
        if (editor != nullptr) {
            editor->setText(typed);
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents();  // the editor hands its text over when it closes
        }
    }

    const Parents seeded_ = {{"K3", ""}, {"K4", ""},   {"K5", "K3"}, {"K6", ""},
                             {"D", ""},  {"K7", "K5"}, {"K8", "K4"}, {"K9", "D"}};
};

// Where a drop lands is the tree edits' table; here, that the window carries it out.
TEST_F(TreeEditTest, AMovedEntryKeepsItsValuesAndAFailedMoveChangesNothing) {
    WithUnwritableFile([this] { Drop("K7", "K8"); });
    EXPECT_TRUE(MessageShown(54));
    EXPECT_EQ(ParentsInTree(), seeded_);

    Drop("K7", "K8");
    EXPECT_EQ(Box("Text4")->text(), "alice");
    EXPECT_EQ(FieldOnDisk(4, 7) + "|" + FieldOnDisk(10, 7), "pin-1234|K4");
    Drop("D", "K4");  // the default group stays where it is
    Drop("K5", "");   // the empty area below the last node is the top level
    EXPECT_EQ(ParentsInTree()["D"] + "|" + ParentsInTree()["K5"], "|");
    EXPECT_EQ(ParentsAfterReload()["K5"], "");
}

// Renaming in place, or the Delete key, which removes only an empty group the user confirms.
TEST_F(TreeEditTest, RenamingAndDeletingAGroupInPlace) {
    struct Case {
        const char* key;
        std::optional<QString> typed;  // none: the Delete key, answered with answer
        Reply answer;
        bool unwritable;
        int message;   // 0: none
        QString text;  // the node's text after; empty: the node is gone
    };
    const Case cases[] = {
        {"K6", std::nullopt, Reply::No, false, kMessageDeleteGroupQuestion, "Empty"},
        {"K3", std::nullopt, Reply::Yes, false, 52, "Bank"},
        {"K7", std::nullopt, Reply::Yes, false, 0, "Visa"},
        {"D", std::nullopt, Reply::Yes, false, 0, Message(2)},
        {"K6", std::nullopt, Reply::Yes, true, 54, "Empty"},
        {"K6", std::nullopt, Reply::Yes, false, kMessageDeleteGroupQuestion, ""},
        {"K5", "  Credit ", Reply::No, false, 0, "Credit"},  // nested: stays in its parent
        {"D", "Other", Reply::No, false, 0, Message(2)},     // no editor opens
        {"K4", "   ", Reply::No, false, 0, "Mail"},
        {"K4", QString(34, 'x'), Reply::No, false, 53, "Mail"},
        {"K4", "Post", Reply::No, true, 54, "Mail"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + (c.typed ? " renamed" : " deleted"));
        prompter.messages.clear();
        prompter.answers = {c.answer};
        const std::string before = ReadBytes(DataPath());
        const auto command = [&] {
            if (c.typed) {
                Rename(c.key, *c.typed);
            } else {
                Tree().view()->setCurrentItem(Node(c.key));
                QTest::keyClick(Tree().view(), Qt::Key_Delete);
            }
        };
        c.unwritable ? WithUnwritableFile(command) : command();
        if (c.text.isEmpty()) {  // another node is shown in the deleted group's place
            ASSERT_NE(Tree().view()->currentItem(), nullptr);
            EXPECT_EQ(S().SelectedKey, TreePane::NodeKey(Tree().view()->currentItem()));
        }
        EXPECT_EQ(Node(c.key) != nullptr ? Node(c.key)->text(0) : QString(), c.text);
        EXPECT_EQ(ReadBytes(DataPath()) != before, c.key == std::string("K5") || c.text.isEmpty());
        EXPECT_EQ(c.message == 0, prompter.messages.empty());
        EXPECT_TRUE(c.message == 0 || MessageShown(c.message));
    }
    EXPECT_EQ(FieldOnDisk(8, 5) + "|" + FieldOnDisk(10, 5), "Credit|K3");
    EXPECT_EQ(FieldOnDisk(8, 6) + FieldOnDisk(9, 6), "");
    Parents expected = seeded_;
    expected.erase("K6");
    EXPECT_EQ(ParentsAfterReload(), expected);
    EXPECT_EQ(Node("K5")->text(0), "Credit");
}

// Siblings: the default group first, groups before entries, names by the language's collation
// with case ignored, equal names by record.
TEST_F(FormFixture, SiblingsAreOrderedByKindThenNameIgnoringCase) {
    SeedFile({Group(3, "beta"), Group(4, "Alpha"), Group(5, "\xe9mile"), Group(6, "Zoo"),
              Group(7, "emile"), Entry(8, "b", ""), Entry(9, "A", ""), Entry(10, "\xc4", ""),
              Group(11, "sub", "D"), Entry(12, "a", ""), Entry(13, "x", "K3"),
              Group(14, "y", "K3")});
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Start();
    QLocale::setDefault(QLocale::system());
    std::string keys;
    for (QTreeWidgetItemIterator it(Tree().view()); *it != nullptr; ++it) {
        keys += TreePane::NodeKey(*it) + " ";
    }
    EXPECT_EQ(keys, "D K11 K9 K12 K10 K8 K4 K3 K14 K13 K7 K5 K6 ");
}

// Every node in the tree's order, one line each, after the key of its parent: the lines give the
// tree's shape.
std::string Layout(QTreeWidget& tree) {
    std::string lines;
    for (QTreeWidgetItemIterator it(&tree); *it != nullptr; ++it) {
        const QTreeWidgetItem* node = *it;
        lines += TreePane::NodeKey(node->parent()) + " > " + node->text(0).toStdString() + " " +
                 TreePane::NodeKey(node) + " " + TreePane::NodeTag(node) + " " +
                 std::to_string(node->font(0).bold()) + std::to_string(node->flags()) +
                 std::to_string(node->icon(0).cacheKey()) + "\n";
    }
    return lines;
}

TEST_F(TreeEditTest, EachCommandChangesTheTreeAsAFullLoadWouldAndShowsItsNode) {
    QTreeWidget& tree = *Tree().view();
    std::mt19937 random(26);
    const auto pick = [&random](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    const std::vector<std::string> names = {"alpha", "Alpha", "Émile", "emile", "zulu", "Bank",
                                            "ñu",    "Nube",  "a",     "Z",     "éa"};
    for (int step = 0; step < 120; ++step) {
        tree.expandAll();
        std::vector<std::string> entries;
        std::vector<std::string> groups;
        for (const auto& [key, parent] : ParentsInTree()) {
            const bool isGroup = TreePane::NodeTag(Node(key)) == "-1";
            if (key != "D") {
                (isGroup ? groups : entries).push_back(key);
            }
        }
        std::string workedOn;
        const QString name = QString::fromStdString(pick(names));
        const int command = std::uniform_int_distribution<int>(0, 4)(random);
        SCOPED_TRACE("step " + std::to_string(step) + " command " + std::to_string(command));
        if (command == 0 || entries.empty()) {
            Save(pick(entries.empty() ? groups : entries), kNew, name);
            workedOn = RecordKey(S().SelectedTag);
            EXPECT_EQ(Node(workedOn)->text(0), name);
        } else if (command == 1) {
            workedOn = pick(entries);
            Save(workedOn, kEdit, name);
        } else if (command == 2) {
            workedOn = pick(random() % 3 == 0 && !groups.empty() ? groups : entries);
            std::vector<std::string> targets = groups;
            targets.insert(targets.end(), entries.begin(), entries.end());
            const std::string target = pick(targets);
            tree.scrollToItem(Node(target));
            Drop(workedOn, target);
        } else if (command == 3 && !groups.empty()) {
            workedOn = pick(groups);
            tree.scrollToItem(Node(workedOn));
            Rename(workedOn, name);
            QCoreApplication::processEvents();
        } else {
            Show(pick(entries));
            ClickToolbar(kDelete);
            ClickToolbar(kSave);
        }
        QTreeWidgetItem* shown = tree.currentItem();
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(TreePane::NodeKey(shown), S().SelectedKey);
        EXPECT_EQ(TreePane::NodeKey(shown->parent()), S().ParentKey);
        if (!workedOn.empty()) {
            EXPECT_EQ(S().SelectedKey, workedOn);
        }
        EXPECT_TRUE(tree.viewport()->rect().intersects(tree.visualItemRect(shown)));
        const std::string updated = Layout(tree);
        Tree().LoadPasswordList();
        ASSERT_EQ(updated, Layout(tree));
    }
    EXPECT_TRUE(prompter.messages.empty());
    const Parents inMemory = ParentsInTree();
    EXPECT_EQ(ParentsAfterReload(), inMemory);  // every change reached the file
}

}  // namespace
}  // namespace keyrack::testing
