// Finding entries by typing: the search box above the entry tree filters it.
#include "tree/TreePane.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>
#include <optional>

#include "common/Cp1252.h"
#include "common/Session.h"
#include "common/Strings.h"
#include "lang/Messages.h"
#include "store/RecordStore.h"
#include "store/ValueCodec.h"
#include "store/ValueText.h"
#include "tree/EntryTree.h"
#include "tree/NodeKeys.h"
#include "tree/TreeFilter.h"

namespace keyrack {

namespace {

constexpr int kSearchCaption = 60;
constexpr int kCancelCaption = 4;
constexpr int kEmptyTreeCaption = 97;
constexpr int kTypingPauseMs = 100;
constexpr int kAddressField = 2;
constexpr int kUserNameField = 3;

// A line edit that lets the window take the keys the search gives a meaning to, and tells it
// when the user is about to type.
class SearchBox : public QLineEdit {
  public:
    SearchBox(std::function<bool(int key)> takeKey, std::function<void()> focused, QWidget* parent)
        : QLineEdit(parent), takeKey_(std::move(takeKey)), focused_(std::move(focused)) {}

  protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        focused_();
    }

    void keyPressEvent(QKeyEvent* event) override {
        const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
        if (modifiers == Qt::NoModifier && takeKey_(event->key())) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

  private:
    std::function<bool(int key)> takeKey_;
    std::function<void()> focused_;
};

// A protected file's values are any script: case and accents are folded by Unicode's rules.
std::optional<std::string> FoldedQuery(FileKind kind, const QString& typed) {
    if (kind == FileKind::Protected) {
        QString folded;
        for (const QChar c : typed.normalized(QString::NormalizationForm_KD)) {
            if (!c.isMark()) {
                folded += c;
            }
        }
        return folded.toCaseFolded().toUtf8().toStdString();
    }
    const auto bytes = ToCp1252(typed);
    return bytes ? std::optional(FoldForSearch(*bytes)) : std::nullopt;
}

int RecordOfNode(const QTreeWidgetItem* node) {
    return static_cast<int>(RoundHalfEven(Val(TreePane::NodeTag(node))));
}

bool IsEntry(const QTreeWidgetItem* node) {
    return node != nullptr && RecordOfNode(node) >= 0;
}

// Whether the user can see the node: neither it nor a group above it hidden or closed.
bool InView(const QTreeWidgetItem* node) {
    for (const QTreeWidgetItem* at = node; at != nullptr; at = at->parent()) {
        if (at->isHidden() || (at != node && !at->isExpanded())) {
            return false;
        }
    }
    return node != nullptr;
}

bool HiddenBySearch(const QTreeWidgetItem* node) {
    for (const QTreeWidgetItem* at = node; at != nullptr; at = at->parent()) {
        if (at->isHidden()) {
            return true;
        }
    }
    return false;
}

// The next entry in view above or below node, or null.
QTreeWidgetItem* EntryInViewFrom(QTreeWidget& tree, QTreeWidgetItem* node, bool down) {
    do {
        node = down ? tree.itemBelow(node) : tree.itemAbove(node);
    } while (node != nullptr && !IsEntry(node));
    return node;
}

QTreeWidgetItem* FirstEntryInView(QTreeWidget& tree) {
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = tree.topLevelItem(i);
        if (!top->isHidden()) {
            return IsEntry(top) ? top : EntryInViewFrom(tree, top, true);
        }
    }
    return nullptr;
}

}  // namespace

// What a node is found by: a group's name, an entry's title, address and user name. The
// default group's name is the program's own label, not something the user wrote.
std::vector<std::string> TreePane::SearchTexts(const QTreeWidgetItem* node) const {
    const QString text = node->text(0);
    if (NodeKey(node) == DefaultGroupKey && text == Message(2)) {
        return {};
    }
    const FileKind kind = store_.Kind();
    const int record = RecordOfNode(node);
    std::vector<std::string> texts;
    texts.reserve(record >= 0 ? 3 : 1);
    texts.push_back(FoldedQuery(kind, text).value_or(std::string()));
    if (record >= 0) {
        for (int field : {kAddressField, kUserNameField}) {
            const std::string value = ReadValue(store_, field, record, session_.DataKey);
            texts.push_back(kind == FileKind::Protected
                                ? FoldedQuery(kind, ShownText(kind, value)).value_or(std::string())
                                : FoldForSearch(value));
        }
    }
    return texts;
}

void TreePane::BuildSearchBox(QWidget* area, QWidget* searchArea) {
    // The nodes' texts are taken when the box gets the focus, so that even the first
    // keystroke after loading only compares.
    txtSearch = new SearchBox([this](int key) { return txtSearch_KeyPress(key); },
                              [this] { TakeSearchTexts(); }, searchArea);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setClearButtonEnabled(true);

    search_.typingPause = new QTimer(this);
    search_.typingPause->setSingleShot(true);
    search_.typingPause->setInterval(kTypingPauseMs);
    connect(search_.typingPause, &QTimer::timeout, this, &TreePane::ApplySearchNow);
    connect(txtSearch, &QLineEdit::textChanged, search_.typingPause, qOverload<>(&QTimer::start));

    auto* find = new QShortcut(QKeySequence::Find, area);
    connect(find, &QShortcut::activated, this, [this] {
        if (txtSearch->isEnabled()) {
            txtSearch->setFocus(Qt::ShortcutFocusReason);
            txtSearch->selectAll();
        }
    });
}

void TreePane::ApplyCaptions() {
    txtSearch->setPlaceholderText(Message(kSearchCaption));
    txtSearch->setAccessibleName(Message(kSearchCaption));
    lblEmptyTree->setText(Message(kEmptyTreeCaption));
    lblEmptyTree->setAccessibleName(lblEmptyTree->text());
    // The box's clear button ends the search, as Escape does.
    for (QToolButton* clear : txtSearch->findChildren<QToolButton*>()) {
        clear->setAccessibleName(Message(kCancelCaption));
    }
}

bool TreePane::txtSearch_KeyPress(int key) {
    QTreeWidgetItem* target = nullptr;
    switch (key) {
        case Qt::Key_Escape:
            txtSearch->clear();
            ApplySearchNow();
            TreeView1->setFocus();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            ApplySearchNow();
            target = FirstEntryInView(*TreeView1);
            break;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            ApplySearchNow();
            QTreeWidgetItem* current = TreeView1->currentItem();
            target = InView(current) ? EntryInViewFrom(*TreeView1, current, key == Qt::Key_Down)
                                     : FirstEntryInView(*TreeView1);
            break;
        }
        default:
            return false;
    }
    if (target != nullptr) {
        ShowNode(target);
        TreeView1->scrollToItem(target);
    }
    return true;
}

void TreePane::ApplySearchNow() {
    search_.typingPause->stop();
    const QString typed = txtSearch->text();
    if (typed == search_.query) {
        return;
    }
    search_.query = typed;
    search_.keptShown.clear();
    ApplySearch();
}

void TreePane::KeepShownWhileSearching(const std::string& key) {
    if (!search_.filtering) {
        return;
    }
    search_.keptShown.insert(key);
    if (NodeWithKey(key) != nullptr) {
        ApplySearch();
    }
}

void TreePane::ApplySearch() {
    if (search_.query.trimmed().isEmpty()) {
        if (search_.filtering) {
            EndSearch();
        }
        return;
    }
    if (!search_.filtering) {
        for (QTreeWidgetItem* node : nodesByIndex_) {
            if (node != nullptr && node->childCount() > 0 && node->isExpanded()) {
                search_.openBefore.insert(NodeKey(node));
            }
        }
        search_.filtering = true;
    }
    TakeSearchTexts();
    const FilterPlan plan = PlanFilter(search_.nodes, FoldedQuery(store_.Kind(), search_.query));
    // The view lays itself out once after the pass, not once for every node it hides: on a
    // long chain of groups that is the difference between one keystroke and a frozen window.
    TreeView1->setUpdatesEnabled(false);
    for (std::size_t i = 1; i < nodesByIndex_.size(); ++i) {
        QTreeWidgetItem* node = nodesByIndex_[i];
        if (node == nullptr) {
            continue;
        }
        // Only changes reach the tree, as each costs the view far more than the plan; and
        // what lies in a hidden group is out of sight whatever its own flag says.
        const int parent = search_.nodes[i].parent;
        const bool inSight = parent < 0 || plan.visible[static_cast<std::size_t>(parent)];
        const bool hide = !plan.visible[i];
        if (inSight && search_.hidden[i] != hide) {
            node->setHidden(hide);
            search_.hidden[i] = hide;
        }
        if (plan.expanded[i] && !node->isExpanded()) {
            node->setExpanded(true);
        }
    }
    TreeView1->setUpdatesEnabled(true);
    // A shown entry the search hides is no longer shown: its values leave the boxes.
    QTreeWidgetItem* current = TreeView1->currentItem();
    if (session_.EditMode.empty() && session_.SelectedTag >= 0 && current != nullptr &&
        NodeKey(current) == session_.SelectedKey && HiddenBySearch(current)) {
        {
            const QSignalBlocker quiet(TreeView1);
            TreeView1->setCurrentItem(nullptr);
        }
        ShowNothing();
    }
}

void TreePane::TakeSearchTexts() {
    const std::size_t count = nodesByIndex_.size();
    search_.nodes.resize(count);
    search_.textsTaken.resize(count, false);
    search_.hidden.resize(count, false);
    for (std::size_t i = 1; i < count; ++i) {
        const QTreeWidgetItem* node = nodesByIndex_[i];
        FilterNode& filterNode = search_.nodes[i];
        if (node == nullptr) {
            filterNode = FilterNode();
            continue;
        }
        // A node whose text changes has its texts forgotten, and taken here again.
        if (!search_.textsTaken[i]) {
            filterNode.texts = SearchTexts(node);
            search_.textsTaken[i] = true;
        }
        // Parents are read every time: nodes move by dragging.
        filterNode.parent = node->parent() != nullptr ? NodeIndex(node->parent()) : -1;
        filterNode.keepShown =
            !search_.keptShown.empty() && search_.keptShown.count(NodeKey(node)) > 0;
    }
}

void TreePane::EndSearch() {
    for (std::size_t i = 1; i < nodesByIndex_.size(); ++i) {
        QTreeWidgetItem* node = nodesByIndex_[i];
        if (node == nullptr) {
            continue;
        }
        if (i < search_.hidden.size() && search_.hidden[i]) {
            node->setHidden(false);
        }
        if (node->childCount() > 0) {
            const bool open = search_.openBefore.count(NodeKey(node)) > 0;
            if (node->isExpanded() != open) {
                node->setExpanded(open);
            }
        }
    }
    search_.hidden.assign(search_.hidden.size(), false);
    search_.openBefore.clear();
    search_.keptShown.clear();
    search_.filtering = false;
    // The node the user came to through the search stays in sight: the groups above it open
    // beside those that were open before.
    if (QTreeWidgetItem* current = TreeView1->currentItem()) {
        for (QTreeWidgetItem* up = current->parent(); up != nullptr; up = up->parent()) {
            up->setExpanded(true);
        }
        TreeView1->scrollToItem(current);
    }
}

}  // namespace keyrack
