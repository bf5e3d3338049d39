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

    QTreeWidgetItem* Node(const char* key) { return window->NodeWithKey(key); }

    void Click(QTreeWidgetItem* node) {
        window->TreeView1->expandAll();
        window->TreeView1->scrollToItem(node);
        const QRect area = window->TreeView1->visualItemRect(node);
        QTest::mouseClick(window->TreeView1->viewport(), Qt::LeftButton, {}, area.center());
    }

    bool EntryButtonsEnabled(bool expected) {
        for (int index : {5, 6, 14, 16, 17}) {
            if (window->Toolbar1Buttons[index]->isEnabled() != expected) {
                return false;
            }
        }
        return true;
    }
};

// Where each node goes is the tree plan's table; here, what the widget shows of it.
TEST_F(TreeViewTest, LoadsGroupsFirstInBoldAndShowsTheFirstNode) {
    Form_Main& main = Start();
    QTreeWidget& tree = *main.TreeView1;
    ASSERT_EQ(tree.topLevelItemCount(), 3);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), "Bank");
    EXPECT_EQ(tree.topLevelItem(2)->text(0), Message(2));  // default group, added for "Loose"
    EXPECT_EQ(Node("K6")->parent(), Node("K5"));
    EXPECT_TRUE(Node("K3")->font(0).bold());
    EXPECT_FALSE(Node("K6")->font(0).bold());
    EXPECT_EQ(Form_Main::NodeTag(Node("K6")), "6");
    EXPECT_EQ(main.RecordCount, 5);
    EXPECT_EQ(main.SelectedIndex, 1);
    EXPECT_EQ(main.SelectedKey, "K3");
    EXPECT_EQ(main.SelectedTag, -1);
    EXPECT_EQ(main.ParentTag, -2);
    EXPECT_EQ(main.ParentKey, "");
    EXPECT_EQ(main.TreeView1->currentItem(), Node("K3"));
    EXPECT_TRUE(EntryButtonsEnabled(false));
}

TEST_F(TreeViewTest, ClickingOrKeyingToAnEntryFillsTheBoxesAndAGroupEmptiesThem) {
    Form_Main& main = Start();
    Click(Node("K6"));
    EXPECT_EQ(main.Text1->toPlainText(), "Visa");
    EXPECT_EQ(main.Text2->text(), "https://example.org/6");
    EXPECT_EQ(main.Text4->text(), "alice");
    EXPECT_EQ(main.Text3->text(), "pin-1234");
    EXPECT_EQ(main.SelectedTag, 6);
    EXPECT_EQ(main.ParentKey, "K5");
    EXPECT_EQ(main.pw_Type, "NUMERIC");
    EXPECT_EQ(main.Label5->text(), "NUMERIC   12");
    EXPECT_TRUE(EntryButtonsEnabled(true));

    Click(Node("K5"));
    EXPECT_TRUE(main.Text1->toPlainText().isEmpty());
    EXPECT_TRUE(main.Text3->text().isEmpty());
    EXPECT_TRUE(EntryButtonsEnabled(false));
    EXPECT_EQ(main.ParentKey, "K3");
    EXPECT_EQ(main.pw_Type, "NUMERIC");  // a group keeps the last entry's settings

    main.TreeView1->setFocus();
    QTest::keyClick(main.TreeView1, Qt::Key_Down);  // Cards -> Visa
    EXPECT_EQ(main.SelectedKey, "K6");
    EXPECT_EQ(main.Text4->text(), "alice");
}

}  // namespace
}  // namespace keyrack::testing
