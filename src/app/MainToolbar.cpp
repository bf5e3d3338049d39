#include "app/MainToolbar.h"

#include <QAction>
#include <QLayout>
#include <QMainWindow>
#include <QProxyStyle>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <iterator>
#include <map>

#include "common/DeferredIcon.h"
#include "common/EventHook.h"
#include "lang/Messages.h"

namespace keyrack {

namespace {

// What each index holds: a separator (no caption) or a button with its caption message, its
// picture and whether it is enabled when the window opens.
struct ToolbarSlot {
    bool separator;
    int caption;
    QStyle::StandardPixmap picture;
    bool enabledAtStart;
};

constexpr ToolbarSlot kToolbar[18] = {
    {true, 0, QStyle::SP_CustomBase, false},                // unused index 0
    {true, 0, QStyle::SP_CustomBase, false},                // 1
    {false, 27, QStyle::SP_DialogCloseButton, true},        // 2 Exit
    {true, 0, QStyle::SP_CustomBase, false},                // 3
    {false, 28, QStyle::SP_FileIcon, true},                 // 4 New
    {false, 29, QStyle::SP_FileDialogDetailedView, false},  // 5 edit
    {false, 30, QStyle::SP_TrashIcon, false},               // 6 delete
    {false, 4, QStyle::SP_DialogCancelButton, false},       // 7 cancel
    {false, 31, QStyle::SP_DialogSaveButton, false},        // 8 save
    {true, 0, QStyle::SP_CustomBase, false},                // 9
    {true, 0, QStyle::SP_CustomBase, false},                // 10
    {false, 48, QStyle::SP_FileDialogNewFolder, true},      // 11 group
    {true, 0, QStyle::SP_CustomBase, false},                // 12
    {true, 0, QStyle::SP_CustomBase, false},                // 13
    {false, 32, QStyle::SP_ArrowForward, false},            // 14 run
    {true, 0, QStyle::SP_CustomBase, false},                // 15
    {false, 1, QStyle::SP_FileDialogContentsView, false},   // 16 Username
    {false, 2, QStyle::SP_FileDialogInfoView, false},       // 17 Password
};

// The desktop theme's pictures for the buttons; the style's own above stand in where the theme
// has none.
const std::map<int, const char*> kThemeIcons = {
    {MainToolbar::Exit, "application-exit"},      {MainToolbar::New, "document-new"},
    {MainToolbar::Edit, "document-edit"},         {MainToolbar::Delete, "edit-delete"},
    {MainToolbar::Cancel, "process-stop"},        {MainToolbar::Save, "document-save"},
    {MainToolbar::AddGroup, "folder-new"},        {MainToolbar::Open, "go-jump"},
    {MainToolbar::CopyUserName, "user-identity"}, {MainToolbar::CopyPassword, "dialog-password"}};

// The second separator of a pair, and the one before the first button, only widen a gap: they
// stay hidden, leaving the room to the captions.
constexpr int kHiddenSeparators[] = {1, 10, 13};

// Tool buttons that keep less room beside their captions than the style gives them (a space on
// either side on top of its own margin), so the captions of the longer languages fit the
// window's design width.
class CompactToolButtons : public QProxyStyle {
  public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_ToolButton) {
            result.rwidth() -= kTrimPixels;
        }
        return result;
    }

  private:
    static constexpr int kTrimPixels = 8;
};

QIcon ButtonIcon(int index, const QStyle& style) {
    return DeferredIcon([index, &style] {
        const QIcon own = style.standardIcon(kToolbar[index].picture);
        const auto theme = kThemeIcons.find(index);
        return theme == kThemeIcons.end() ? own : QIcon::fromTheme(theme->second, own);
    });
}

}  // namespace

MainToolbar::MainToolbar(QMainWindow& window) : QObject(&window) {
    Toolbar1 = window.addToolBar(QStringLiteral("Toolbar1"));
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (int index = 1; index <= 17; ++index) {
        const ToolbarSlot& slot = kToolbar[index];
        QAction* button = slot.separator
                              ? Toolbar1->addSeparator()
                              : Toolbar1->addAction(ButtonIcon(index, *window.style()), QString());
        const QString name = QStringLiteral("Toolbar1_Button%1").arg(index);
        button->setObjectName(name);
        Toolbar1Buttons[index] = button;
        if (slot.separator) {
            button->setVisible(std::find(std::begin(kHiddenSeparators), std::end(kHiddenSeparators),
                                         index) == std::end(kHiddenSeparators));
            continue;
        }
        Toolbar1->widgetForAction(button)->setObjectName(name);
        button->setEnabled(slot.enabledAtStart);
        connect(button, &QAction::triggered, this, [this, index] { emit clicked(index); });
    }
    // Made after the buttons, so it goes after them.
    auto* compact = new CompactToolButtons;
    compact->setParent(Toolbar1);
    for (QAction* button : Toolbar1->actions()) {
        if (!button->isSeparator()) {
            Toolbar1->widgetForAction(button)->setStyle(compact);
        }
    }
    new EventHook(Toolbar1, [this](QEvent* event) {
        if (event->type() == QEvent::Resize) {
            ChooseStyle();
        }
        return false;
    });
}

void MainToolbar::SetEnabled(std::initializer_list<int> indexes, bool enabled) {
    for (int index : indexes) {
        Toolbar1Buttons[static_cast<std::size_t>(index)]->setEnabled(enabled);
    }
}

void MainToolbar::ApplyCaptions() {
    for (int index = 1; index <= 17; ++index) {
        if (!kToolbar[index].separator) {
            Toolbar1Buttons[index]->setText(Message(kToolbar[index].caption));
        }
    }
    FitCaptions();
    // A tool button announces its own caption only while the caption is shown under the icon.
    for (int index = 1; index <= 17; ++index) {
        if (!kToolbar[index].separator) {
            Toolbar1->widgetForAction(Toolbar1Buttons[index])
                ->setAccessibleName(Toolbar1Buttons[index]->text());
        }
    }
}

void MainToolbar::FitCaptions() {
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->layout()->invalidate();
    textWidth_ = Toolbar1->sizeHint().width();
    ChooseStyle();
}

void MainToolbar::ChooseStyle() {
    // Without captions, each button still has its caption as tooltip and accessible name.
    Toolbar1->setToolButtonStyle(textWidth_ <= Toolbar1->width() ? Qt::ToolButtonTextUnderIcon
                                                                 : Qt::ToolButtonIconOnly);
}

}  // namespace keyrack
