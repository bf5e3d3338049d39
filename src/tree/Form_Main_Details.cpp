// The detail boxes of the main window: copying the credentials, opening the address, tidying
// the title, taking a dropped file into the address box and showing the password.
#include <QAction>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "app/Form_Main.h"
#include "common/EventHook.h"
#include "common/Strings.h"
#include "lang/Messages.h"
#include "store/AppPath.h"
#include "tree/DetailBoxes.h"

namespace keyrack {

namespace {

constexpr int kMessageCannotOpen = 44;

// An eye, for the themes that have none.
QIcon DrawnEye(const QColor& color) {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 1.5));
    painter.drawEllipse(QRectF(1.5, 4.5, 13, 7));
    painter.setBrush(color);
    painter.drawEllipse(QRectF(5.5, 5.5, 5, 5));
    return QIcon(picture);
}

}  // namespace

void Form_Main::SetUpCopyAndOpen() {
    if (services_.clipboard == nullptr) {
        systemClipboard_ = std::make_unique<platform::SystemClipboard>();
        services_.clipboard = systemClipboard_.get();
    }
    if (services_.clipboardTimer == nullptr) {
        systemClipboardTimer_ = std::make_unique<platform::SystemOneShotTimer>();
        services_.clipboardTimer = systemClipboardTimer_.get();
    }
    if (services_.desktop == nullptr) {
        systemDesktop_ = std::make_unique<platform::SystemDesktop>();
        services_.desktop = systemDesktop_.get();
    }
    clipboard_ = std::make_unique<SecretClipboard>(*services_.clipboard, *services_.clipboardTimer);
}

QWidget* Form_Main::BuildPasswordRow(QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    Text3->setParent(row);
    layout->addWidget(Text3, 1);
    // Beside the box rather than inside it: the box is disabled while browsing, and so would
    // be anything inside it.
    ShowPassword = new QToolButton(row);
    ShowPassword->setObjectName(QStringLiteral("ShowPassword"));
    ShowPassword->setCheckable(true);
    ShowPassword->setFocusPolicy(Qt::StrongFocus);
    ShowPassword->setIcon(QIcon::fromTheme(QStringLiteral("view-visible"),
                                           DrawnEye(palette().color(QPalette::WindowText))));
    connect(ShowPassword, &QToolButton::toggled, this, [this] { ShowPasswordForMode(); });
    layout->addWidget(ShowPassword);
    ShowPasswordForMode();
    return row;
}

void Form_Main::ConnectDetailBoxes() {
    eventHooks_.push_back(new EventHook(Text1, [this](QEvent* event) {
        if (event->type() == QEvent::FocusOut) {
            Text1_LostFocus();
        }
        return false;
    }));
    Text2->setAcceptDrops(true);
    eventHooks_.push_back(
        new EventHook(Text2, [this](QEvent* event) { return Text2_OLEDragDrop(event); }));
    eventHooks_.push_back(new EventHook(Toolbar1, [this](QEvent* event) {
        if (event->type() == QEvent::Resize) {
            ChooseToolbarStyle();
        }
        return false;
    }));
}

void Form_Main::ShowPasswordForMode() {
    const bool typing = EditMode == "NEW" || EditMode == "EDIT";
    if (typing) {
        ShowPassword->setChecked(false);
    }
    ShowPassword->setVisible(!typing);
    Text3->setEchoMode(typing || ShowPassword->isChecked() ? QLineEdit::Normal
                                                           : QLineEdit::Password);
}

void Form_Main::CopyBox(const QLineEdit* box) {
    clipboard_->Copy(box->text().toStdString());
}

void Form_Main::CopyUserName() {
    CopyBox(Text4);
}

void Form_Main::CopyPassword() {
    CopyBox(Text3);
}

void Form_Main::OpenAddress() {
    const std::string address = Text2->text().toStdString();
    if (IsBlank(address)) {
        return;
    }
    if (!services_.desktop->Open(address, GetAppPath())) {
        ShowMessage(Message(kMessageCannotOpen));
    }
}

void Form_Main::Text1_LostFocus() {
    const QString flat = QString::fromStdString(FlattenTitle(Text1->toPlainText().toStdString()));
    if (flat != Text1->toPlainText()) {
        Text1->setPlainText(flat);
    }
}

bool Form_Main::Text2_OLEDragDrop(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return false;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    std::vector<std::string> paths;
    if (EditMode == "NEW" || EditMode == "EDIT") {
        for (const QUrl& url : drop->mimeData()->urls()) {
            if (url.isLocalFile()) {
                paths.push_back(url.toLocalFile().toStdString());
            }
        }
    }
    if (paths.empty()) {
        // Neither text nor anything else lands in the box by dragging.
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        if (const auto file = LastDroppedFile(paths)) {
            Text2->setText(QString::fromStdString(*file));
        }
    }
    return true;
}

void Form_Main::FitToolbarCaptions() {
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->layout()->invalidate();
    toolbarTextWidth_ = Toolbar1->sizeHint().width();
    ChooseToolbarStyle();
}

void Form_Main::ChooseToolbarStyle() {
    // Without captions, each button still has its caption as tooltip and accessible name.
    Toolbar1->setToolButtonStyle(toolbarTextWidth_ <= Toolbar1->width()
                                     ? Qt::ToolButtonTextUnderIcon
                                     : Qt::ToolButtonIconOnly);
}

}  // namespace keyrack
