#include <QToolButton>
#include <QTreeWidgetItemIterator>

#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

class SearchTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        // Bank (3) > Cards (5) > Visa (6); Mail (4) > Gmail (7); Loose (8) in the default group.
        SeedFile({Group(3, "Bank"), Group(4, "Mail"), Group(5, "Cards", "K3"),
                  Entry(6, "Visa", "K5", "alice", "pin-1234"),
                  Entry(7, "Gmail", "K4", "bob", "hunter2"), Entry(8, "Loose", "")});
        Start();
        ShowWindow();
    }

    void Search(const QString& text) {
        Find<QLineEdit>("txtSearch")->clear();
        QTest::keyClicks(Find<QLineEdit>("txtSearch"), text);
        Tree().ApplySearchNow();
    }

    // Keys of the nodes neither hidden nor in a hidden group, or of those groups among them
    // that are open, in tree order.
    std::string Keys(bool open) const {
        std::string keys;
        for (QTreeWidgetItemIterator it(Tree().view()); *it != nullptr; ++it) {
            bool shown = true;
            for (QTreeWidgetItem* node = *it; node != nullptr; node = node->parent()) {
                shown = shown && !node->isHidden();
            }
            if (shown && (!open || (*it)->isExpanded())) {
                keys += (keys.empty() ? "" : " ") + TreePane::NodeKey(*it);
            }
        }
        return keys;
    }
};

TEST_F(SearchTest, FindsByTitleAddressAndUserNameButNeverByPassword) {
    const auto clearButtons = Find<QLineEdit>("txtSearch")->findChildren<QToolButton*>();
    ASSERT_FALSE(clearButtons.isEmpty());
    EXPECT_EQ(clearButtons.front()->accessibleName(), Message(4));
    // Query, nodes left visible, groups opened.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"VISA", "K3 K5 K6", "K3 K5"},
        {"Bob", "K4 K7", "K4"},
        {"example.org/8", "D K8", "D"},
        {"pin-1234", "", ""}};
    for (const auto& [query, visible, open] : cases) {
        Search(query);
        EXPECT_EQ(Keys(false), visible) << query;
        EXPECT_EQ(Keys(true), open) << query;
    }
}

TEST_F(SearchTest, KeysShowTheMatchesAndEscapeRestoresTheTree) {
    Tree().NodeWithKey("K4")->setExpanded(true);
    QTest::keySequence(window.get(), QKeySequence::Find);
    ASSERT_TRUE(Find<QLineEdit>("txtSearch")->hasFocus());
    // "i": Visa, and the group Mail with all it holds; Loose is hidden.
    QTest::keyClicks(Find<QLineEdit>("txtSearch"), "i");
    QTest::keyClick(Find<QLineEdit>("txtSearch"), Qt::Key_Return);
    EXPECT_EQ(Keys(false), "K3 K5 K6 K4 K7");
    EXPECT_EQ(S().SelectedKey, "K6");
    const std::pair<Qt::Key, const char*> steps[] = {
        {Qt::Key_Down, "K7"}, {Qt::Key_Down, "K7"}, {Qt::Key_Up, "K6"}};
    for (const auto& [key, shown] : steps) {
        QTest::keyClick(Find<QLineEdit>("txtSearch"), key);
        EXPECT_EQ(S().SelectedKey, shown);
    }

    QTest::keyClick(Find<QLineEdit>("txtSearch"), Qt::Key_Escape);
    EXPECT_TRUE(Find<QLineEdit>("txtSearch")->text().isEmpty());
    EXPECT_TRUE(Tree().view()->hasFocus());
    EXPECT_EQ(Keys(false), "D K8 K3 K5 K6 K4 K7");
    // Mail was open before the search; Visa, shown when it ended, keeps its groups open.
    EXPECT_EQ(Keys(true), "K3 K5 K4");
}

TEST_F(SearchTest, LockedInEditModesAndASaveKeepsTheFilterAndTheNewEntry) {
    Search("visa");
    Show("K6");
    ClickToolbar(kNew);
    EXPECT_FALSE(Find<QLineEdit>("txtSearch")->isEnabled());
    Title()->setPlainText("Zebra");
    ClickToolbar(kSave);
    EXPECT_EQ(Find<QLineEdit>("txtSearch")->text(), "visa");
    EXPECT_EQ(Keys(false), "K3 K5 K6 K9");  // Zebra (9) went into Cards and stays in sight
    Search("vis");
    EXPECT_EQ(Keys(false), "K3 K5 K6");
}

// A group moved while the tree is filtered keeps its non-matching entries out of sight.
TEST_F(FormFixture, AMoveWhileSearchingFiltersTheMovedGroupAgain) {
    SeedFile({Group(3, "Bank"), Group(4, "Mail"), Entry(5, "Visa", "K3", "alice"),
              Entry(6, "Gmail", "K4", "alice2"), Entry(7, "Outlook", "K4", "carol")});
    Start();
    Find<QLineEdit>("txtSearch")->setText("alice");
    Tree().ApplySearchNow();
    ASSERT_TRUE(Tree().NodeWithKey("K7")->isHidden());
    Tree().TreeView1_DragDrop("K4", Tree().NodeWithKey("K3"));
    ASSERT_EQ(Tree().NodeWithKey("K4")->parent(), Tree().NodeWithKey("K3"));
    EXPECT_FALSE(Tree().NodeWithKey("K4")->isHidden());
    EXPECT_FALSE(Tree().NodeWithKey("K6")->isHidden());
    EXPECT_TRUE(Tree().NodeWithKey("K7")->isHidden());
}

}  // namespace
}  // namespace keyrack::testing
