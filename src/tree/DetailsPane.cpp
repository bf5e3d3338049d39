// The detail boxes of the main window: copying the credentials, opening the address, tidying
// the title, taking a dropped file into the address box, showing and generating the password.
#include "tree/DetailsPane.h"

#include <QClipboard>
#include <QDropEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "common/Cp1252.h"
#include "common/EventHook.h"
#include "common/Notices.h"
#include "common/ObjectNames.h"
#include "common/Session.h"
#include "common/StatusMessages.h"
#include "common/Strings.h"
#include "common/WindowMessages.h"
#include "generator/Form_PW_Type.h"
#include "generator/PasswordGenerator.h"
#include "generator/PasswordType.h"
#include "lang/Messages.h"
#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "platform/OneShotTimer.h"
#include "store/AppPath.h"
#include "store/FieldFit.h"
#include "store/ProtectedRecord.h"
#include "store/RecordStore.h"
#include "store/ValueCodec.h"
#include "store/ValueText.h"
#include "tree/DetailBoxes.h"
#include "tree/SecretClipboard.h"

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

template <typename Own, typename Interface>
Interface& OrSystems(Interface* given, std::unique_ptr<Interface>& own) {
    if (given == nullptr) {
        own = std::make_unique<Own>();
        return *own;
    }
    return *given;
}

}  // namespace

DetailsPane::DetailsPane(Session& session, RecordStore& store, Notices& notices, Services services,
                         QWidget* area)
    : QObject(area),
      session_(session),
      store_(store),
      notices_(notices),
      desktop_(OrSystems<platform::SystemDesktop>(services.desktop, systemDesktop_)),
      random_(services.random),
      clipboard_(std::make_unique<SecretClipboard>(
          OrSystems<platform::SystemClipboard>(services.clipboard, systemClipboard_),
          OrSystems<platform::SystemOneShotTimer>(services.clipboardTimer,
                                                  systemClipboardTimer_))) {
    setObjectName(QStringLiteral("DetailsPane"));
    auto* column = new QVBoxLayout;
    column_ = column;
    Label1 = new QLabel(QStringLiteral("Password is for"), area);
    Text1 = new QPlainTextEdit(area);
    Text1->setTabChangesFocus(true);
    Text1->setFixedHeight(Text1->fontMetrics().lineSpacing() * 3 + 12);
    Label2 = new QLabel(QStringLiteral("Web Address or Application"), area);
    Text2 = new QLineEdit(area);
    Label4 = new QLabel(QStringLiteral("Username"), area);
    Text4 = new QLineEdit(area);
    Label3 = new QLabel(QStringLiteral("Password"), area);
    Text3 = new QLineEdit(area);
    QWidget* passwordRow = BuildPasswordRow(area);
    Label5 = new QLabel(area);
    Command6 = new QPushButton(QStringLiteral("Generate"), area);
    Command8 = new QPushButton(QStringLiteral("Change Type"), area);
    for (QPushButton* button : {Command6, Command8}) {
        // The window keeps its size when the buttons come and go with the edit modes.
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
        button->setVisible(false);
    }
    for (QWidget* widget : std::initializer_list<QWidget*>{Label1, Text1, Label2, Text2, Label4,
                                                           Text4, Label3, passwordRow, Label5}) {
        column->addWidget(widget);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command6);
    buttons->addWidget(Command8);
    buttons->addStretch(1);
    column->addLayout(buttons);
    column->addStretch(1);
    GiveObjectNames({{Label1, "Label1"},
                     {Label2, "Label2"},
                     {Label3, "Label3"},
                     {Label4, "Label4"},
                     {Label5, "Label5"},
                     {Text1, "Text1"},
                     {Text2, "Text2"},
                     {Text3, "Text3"},
                     {Text4, "Text4"},
                     {Command6, "Command6"},
                     {Command8, "Command8"}});

    SetBoxesEditable(false);
    QWidget::setTabOrder(Text1, Text2);
    QWidget::setTabOrder(Text2, Text4);
    QWidget::setTabOrder(Text4, Text3);
    connect(Command6, &QPushButton::clicked, this, &DetailsPane::Command6_Click);
    connect(Command8, &QPushButton::clicked, this, &DetailsPane::Command8_Click);
    eventHooks_.push_back(new EventHook(Text1, [this](QEvent* event) {
        if (event->type() == QEvent::FocusOut) {
            Text1_LostFocus();
        }
        return false;
    }));
    connect(Text1, &QPlainTextEdit::textChanged, this,
            [this] { FlagUnfittingValue(Text1, EntryBox::Title, Text1->toPlainText()); });
    const std::pair<QLineEdit*, EntryBox> lines[] = {
        {Text2, EntryBox::Address}, {Text4, EntryBox::UserName}, {Text3, EntryBox::Password}};
    for (const auto& [box, which] : lines) {
        connect(box, &QLineEdit::textChanged, this,
                [this, box = box, which = which](const QString& text) {
                    FlagUnfittingValue(box, which, text);
                });
    }
    Text2->setAcceptDrops(true);
    eventHooks_.push_back(
        new EventHook(Text2, [this](QEvent* event) { return Text2_OLEDragDrop(event); }));
    // A line box shown in clear hands what is selected in it to the system's primary
    // selection, where any program could read the password: it is taken back at once.
    connect(QGuiApplication::clipboard(), &QClipboard::changed, this,
            [this](QClipboard::Mode mode) {
                QClipboard* clipboard = QGuiApplication::clipboard();
                if (mode == QClipboard::Selection && clipboard->ownsSelection() &&
                    Text3->hasSelectedText() && clipboard->text(mode) == Text3->selectedText()) {
                    clipboard->clear(mode);
                }
            });
}

DetailsPane::~DetailsPane() {
    for (QObject* hook : eventHooks_) {
        delete hook;
    }
}

void DetailsPane::ApplyCaptions() {
    Label1->setText(Message(25));
    Label2->setText(Message(26));
    Label4->setText(Message(1));
    Label3->setText(Message(2));
    Command6->setText(Message(33));
    Command8->setText(Message(34));
    showPassword_->setToolTip(Message(kMessageShowPassword));
    showPassword_->setAccessibleName(Message(kMessageShowPassword));
    const std::pair<QLabel*, QWidget*> boxes[] = {
        {Label1, Text1}, {Label2, Text2}, {Label4, Text4}, {Label3, Text3}};
    for (const auto& [label, box] : boxes) {
        label->setBuddy(box);
        box->setAccessibleName(label->text());
    }
}

void DetailsPane::ShowSelected() {
    const int record = session_.SelectedTag;
    if (record < 0) {
        Clear();
    } else {
        const auto field = [this, record](int number) {
            return ReadValue(store_, number, record, session_.DataKey);
        };
        const auto shown = [this, &field](int number) {
            return ShownText(store_.Kind(), field(number));
        };
        Text1->setPlainText(shown(1));
        Text2->setText(shown(2));
        Text3->setText(shown(4));
        Text4->setText(shown(3));
        session_.pw_Type = field(5);
        session_.pw_Case = field(6);
        session_.pw_NumChar = field(7);
    }
    DisplayPWType();
}

void DetailsPane::DisplayPWType() {
    PasswordTypeSettings settings{session_.pw_Type, session_.pw_Case, session_.pw_NumChar};
    ApplyPasswordTypeDefaults(settings);
    session_.pw_Type = settings.type;
    session_.pw_Case = settings.caseSet;
    session_.pw_NumChar = settings.length;
    const QString gap = QStringLiteral("   ");
    const QString remark = session_.pw_Case == "Y" ? gap + Message(21) : QString();
    Label5->setText(FromCp1252(session_.pw_Type) + remark + gap + FromCp1252(session_.pw_NumChar));
}

void DetailsPane::Clear() {
    Text1->clear();
    Text2->clear();
    Text3->clear();
    Text4->clear();
}

void DetailsPane::Conceal() {
    concealed_ = {Text1->toPlainText(), Text2->text(), Text3->text(), Text4->text(),
                  Label5->text()};
    // setText and setPlainText also drop the undo history, which would still hold the texts.
    Text1->setPlainText(QString());
    for (QLineEdit* box : {Text2, Text3, Text4}) {
        box->setText(QString());
    }
    Label5->setText(QString());
}

void DetailsPane::Reveal() {
    Text1->setPlainText(concealed_[0]);
    Text2->setText(concealed_[1]);
    Text3->setText(concealed_[2]);
    Text4->setText(concealed_[3]);
    Label5->setText(concealed_[4]);
    concealed_ = {};
}

void DetailsPane::SetBoxesEditable(bool editable) {
    Text1->setReadOnly(!editable);
    if (!editable) {
        // Read-only alone leaves the title selectable by mouse only.
        Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    for (QLineEdit* box : {Text2, Text3, Text4}) {
        box->setReadOnly(!editable);
    }
}

void DetailsPane::FlagUnfittingValue(QWidget* box, EntryBox which, const QString& text) {
    const FileKind kind = store_.Kind();
    const std::optional<std::string> bytes =
        kind == FileKind::Plain ? ToCp1252(text) : std::optional(text.toUtf8().toStdString());
    FieldFit fit{false};
    if (bytes) {
        const EntryValues values{*bytes, *bytes, *bytes, *bytes, {}};
        // The four boxes are stored in fields 1 to 4, in the order of EntryBox.
        fit = JudgeFieldFit(kind, StoredBoxValue(values, which), static_cast<int>(which) + 1,
                            session_.DataKey);
    }
    QString why;
    if (!fit.fits) {
        why = fit.has > 0 ? Message(kMessageValueTooLong).arg(fit.keeps).arg(fit.has)
                          : Message(kMessageCannotStoreValue);
    }
    box->setToolTip(why);
    box->setStyleSheet(fit.fits ? QString()
                                : QStringLiteral("#%1 { border: 2px solid #c62828; padding: 1px; }")
                                      .arg(box->objectName()));
}

void DetailsPane::FollowEditMode() {
    const bool typing = session_.Typing();
    Command6->setVisible(typing);
    Command8->setVisible(typing);
    ShowPasswordForMode();
    if (typing) {
        Text1->setFocus();
    }
}

std::optional<EntryValues> DetailsPane::TakeValues() {
    // Saving straight from the title box (by keyboard) leaves it without losing the focus.
    Text1_LostFocus();
    struct Box {
        QWidget* control;
        QLabel* label;
        QString text;
    };
    const Box boxes[] = {{Text1, Label1, Text1->toPlainText()},
                         {Text2, Label2, Text2->text()},
                         {Text4, Label4, Text4->text()},
                         {Text3, Label3, Text3->text()}};
    const auto refuse = [this](const Box& box) {
        notices_.CannotStore(box.label->text(), store_.Kind() == FileKind::Protected);
        box.control->setFocus();
        return std::nullopt;
    };
    std::string bytes[4];
    for (int i = 0; i < 4; ++i) {
        const auto converted = TypedText(store_.Kind(), boxes[i].text);
        if (!converted) {
            return refuse(boxes[i]);
        }
        bytes[i] = *converted;
    }
    EntryValues values{bytes[0],
                       bytes[1],
                       bytes[2],
                       bytes[3],
                       {session_.pw_Type, session_.pw_Case, session_.pw_NumChar}};
    if (IsBlankOrLineBreaks(values.title)) {
        // Without a title the record would read back as a group named after a key.
        notices_.Show(Message(kMessageTitleNeeded), Notices::Kind::Warning);
        Text1->setFocus();
        return std::nullopt;
    }
    if (const auto failing = FirstUnfittingBox(store_.Kind(), values, session_.DataKey)) {
        return refuse(boxes[static_cast<int>(*failing)]);
    }
    return values;
}

// The current settings are used as they stand, so a choice made in the password type dialog
// for the shown entry is not replaced by the entry's stored one.
void DetailsPane::Command6_Click() {
    const GeneratedPassword generated =
        GeneratePassword({session_.pw_Type, session_.pw_Case, session_.pw_NumChar}, random_);
    session_.pw_Type = generated.used.type;
    session_.pw_Case = generated.used.caseSet;
    session_.pw_NumChar = generated.used.length;
    DisplayPWType();
    Text3->setText(FromCp1252(generated.password));
}

void DetailsPane::Command8_Click() {
    auto* dialog = new Form_PW_Type(session_.pw_Type, session_.pw_Case, session_.pw_NumChar,
                                    Command8->window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, &DetailsPane::DisplayPWType);
    dialog->open();
}

QWidget* DetailsPane::BuildPasswordRow(QWidget* area) {
    auto* row = new QWidget(area);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    Text3->setParent(row);
    layout->addWidget(Text3, 1);
    // Beside the box rather than inside it, so Tab reaches it after the box.
    showPassword_ = new QToolButton(row);
    showPassword_->setObjectName(QStringLiteral("ShowPassword"));
    showPassword_->setCheckable(true);
    showPassword_->setFocusPolicy(Qt::StrongFocus);
    showPassword_->setIcon(QIcon::fromTheme(QStringLiteral("view-visible"),
                                            DrawnEye(area->palette().color(QPalette::WindowText))));
    connect(showPassword_, &QToolButton::toggled, this, [this] { ShowPasswordForMode(); });
    layout->addWidget(showPassword_);
    ShowPasswordForMode();
    return row;
}

void DetailsPane::ShowPasswordForMode() {
    const bool typing = session_.Typing();
    if (typing) {
        showPassword_->setChecked(false);
    }
    showPassword_->setVisible(!typing);
    const bool inClear = typing || showPassword_->isChecked();
    Text3->setEchoMode(inClear ? QLineEdit::Normal : QLineEdit::Password);
    // In clear, l, 1, I, O and 0 must be told apart.
    Text3->setFont(inClear ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont());
}

void DetailsPane::CopyUserName() {
    Copied(clipboard_->Copy(Text4->text().toStdString()), kMessageCopiedUserName);
}

void DetailsPane::CopyPassword() {
    Copied(clipboard_->Copy(Text3->text().toStdString()), kMessageCopiedPassword);
}

void DetailsPane::Copied(bool copied, int message) {
    if (copied) {
        emit reported(Message(message).arg(SecretClipboard::kClearAfterMs / 1000));
    }
}

std::vector<QWidget*> DetailsPane::FocusStops() const {
    return {Text1, Text2, Text4, Text3, showPassword_};
}

void DetailsPane::ForgetCopy() {
    clipboard_->ClearIfOurs();
}

void DetailsPane::OpenAddress() {
    const std::string address = Text2->text().toStdString();
    if (IsBlank(address)) {
        return;
    }
    if (!desktop_.Open(address, GetAppPath())) {
        notices_.Show(Message(kMessageCannotOpen), Notices::Kind::Warning);
    }
}

void DetailsPane::Text1_LostFocus() {
    const QString flat = QString::fromStdString(FlattenTitle(Text1->toPlainText().toStdString()));
    if (flat != Text1->toPlainText()) {
        Text1->setPlainText(flat);
    }
}

bool DetailsPane::Text2_OLEDragDrop(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return false;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    std::vector<std::string> paths;
    if (session_.Typing()) {
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

}  // namespace keyrack
