#include <QLabel>

#include "support/FormFixture.h"

namespace keyrack::testing {
namespace {

class TreeViewTest : public FormFixture {
  protected:
    void SetUp() override {
        FormFixture::SetUp();
        // Bank (3) holds Cards (5); Mail (4) is top-level; an entry of Cards sits at 6 and an
        // entry without a group at 7.
        SeedFile({Group(3, "Bank"), Group(4, "Mail"), Group(5, "Cards", "K3"),
                  Entry(6, "Visa", "K5", "alice", "pin-1234"), Entry(7, "Loose", "")});
    }

    QTreeWidgetItem* Node(const char* key) { return Tree().NodeWithKey(key); }

    void Click(QTreeWidgetItem* node) {
        Tree().view()->expandAll();
        Tree().view()->scrollToItem(node);
        const QRect area = Tree().view()->visualItemRect(node);
        QTest::mouseClick(Tree().view()->viewport(), Qt::LeftButton, {}, area.center());
    }

    bool EntryButtonsEnabled(bool expected) {
        for (int index : {5, 6, 14, 16, 17}) {
            if (Button(index)->isEnabled() != expected) {
                return false;
            }
        }
        return true;
    }
};

// Where each node goes is the tree plan's table; here, what the widget shows of it.
TEST_F(TreeViewTest, LoadsGroupsFirstInBoldAndShowsTheFirstNode) {
    Form_Main& main = Start();
    QTreeWidget& tree = *Tree().view();
    ASSERT_EQ(tree.topLevelItemCount(), 3);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), "Bank");
    EXPECT_EQ(tree.topLevelItem(2)->text(0), Message(2));  // default group, added for "Loose"
    EXPECT_EQ(Node("K6")->parent(), Node("K5"));
    EXPECT_TRUE(Node("K3")->font(0).bold());
    EXPECT_FALSE(Node("K6")->font(0).bold());
    EXPECT_EQ(TreePane::NodeTag(Node("K6")), "6");
    EXPECT_EQ(S().RecordCount, 5);
    EXPECT_EQ(S().SelectedIndex, 1);
    EXPECT_EQ(S().SelectedKey, "K3");
    EXPECT_EQ(S().SelectedTag, -1);
    EXPECT_EQ(S().ParentTag, -2);
    EXPECT_EQ(S().ParentKey, "");
    EXPECT_EQ(Tree().view()->currentItem(), Node("K3"));
    EXPECT_TRUE(EntryButtonsEnabled(false));
}

TEST_F(TreeViewTest, ClickingOrKeyingToAnEntryFillsTheBoxesAndAGroupEmptiesThem) {
    Form_Main& main = Start();
    Click(Node("K6"));
    EXPECT_EQ(Title()->toPlainText(), "Visa");
    EXPECT_EQ(Box("Text2")->text(), "https://example.org/6");
    EXPECT_EQ(Box("Text4")->text(), "alice");
    EXPECT_EQ(Box("Text3")->text(), "pin-1234");
    EXPECT_EQ(S().SelectedTag, 6);
    EXPECT_EQ(S().ParentKey, "K5");
    EXPECT_EQ(S().pw_Type, "NUMERIC");
    EXPECT_EQ(Find<QLabel>("Label5")->text(), "NUMERIC   12");
    EXPECT_TRUE(EntryButtonsEnabled(true));

    Click(Node("K5"));
    EXPECT_TRUE(Title()->toPlainText().isEmpty());
    EXPECT_TRUE(Box("Text3")->text().isEmpty());
    EXPECT_TRUE(EntryButtonsEnabled(false));
    EXPECT_EQ(S().ParentKey, "K3");
    EXPECT_EQ(S().pw_Type, "NUMERIC");  // a group keeps the last entry's settings

    Tree().view()->setFocus();
    QTest::keyClick(Tree().view(), Qt::Key_Down);  // Cards -> Visa
    EXPECT_EQ(S().SelectedKey, "K6");
    EXPECT_EQ(Box("Text4")->text(), "alice");
}

}  // namespace
}  // namespace keyrack::testing
