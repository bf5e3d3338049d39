// Locking the main window, on demand and after a while without use, until the login is given
// again.
#include "login/LockGuard.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include "common/EventHook.h"
#include "common/LockSetting.h"
#include "common/Session.h"
#include "common/WindowMessages.h"
#include "lang/Messages.h"
#include "login/frmLogin.h"
#include "platform/Clock.h"

namespace keyrack {

namespace {

constexpr int kIdleCheckMs = 10000;
constexpr int kMessageLock = 63;
constexpr int kMessageLockAfter = 64;
constexpr int kMessageNever = 65;
constexpr int kMessageMinutes = 66;
constexpr int kMessageMinute = 96;

QString ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).baseName();
}

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
            return true;
        default:
            return false;
    }
}

}  // namespace

LockGuard::LockGuard(platform::Prompter& prompter, platform::Clock& clock,
                     std::function<void(frmLogin&)> runLogin, const Session& session,
                     QWidget& window, QMenu& fileMenu)
    : QObject(&window),
      prompter_(prompter),
      clock_(clock),
      runLogin_(std::move(runLogin)),
      session_(session),
      window_(window) {
    setObjectName(QStringLiteral("LockGuard"));
    MNU_LockAfter = new QMenu(&fileMenu);
    MNU_LockAfter->setObjectName(QStringLiteral("MNU_LockAfter"));
    fileMenu.addMenu(MNU_LockAfter);
    auto* choices = new QActionGroup(MNU_LockAfter);
    for (int minutes : LockChoices) {
        QAction* choice = MNU_LockAfter->addAction(QString());
        choice->setObjectName(QStringLiteral("MNU_LockAfter%1").arg(minutes));
        choice->setCheckable(true);
        choice->setData(minutes);
        choices->addAction(choice);
        connect(choice, &QAction::triggered, this, [this, minutes] { ChooseLockMinutes(minutes); });
    }
    MNU_Lock = new QAction(this);
    MNU_Lock->setObjectName(QStringLiteral("MNU_Lock"));
    MNU_Lock->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    fileMenu.addAction(MNU_Lock);
    // The key also works while an edit keeps the File menu closed.
    window.addAction(MNU_Lock);
    connect(MNU_Lock, &QAction::triggered, this, &LockGuard::MNU_Lock_Click);

    TimerLock = new QTimer(this);
    TimerLock->setInterval(kIdleCheckMs);
    connect(TimerLock, &QTimer::timeout, this, &LockGuard::TimerLock_Timer);
}

LockGuard::~LockGuard() {
    delete inputHook_;
}

void LockGuard::Remember(const std::string& userName, const std::string& password,
                         const std::string& hint) {
    open_ = nullptr;
    lock_.userName = userName;
    lock_.password = password;
    lock_.hint = hint;
}

void LockGuard::OpenWith(Opener open, const std::string& hint) {
    open_ = std::move(open);
    lock_.userName.clear();
    lock_.password.clear();
    lock_.hint = hint;
}

void LockGuard::ApplyCaptions() {
    MNU_Lock->setText(Message(kMessageLock));
    MNU_LockAfter->setTitle(Message(kMessageLockAfter));
    MNU_LockAfter->setAccessibleName(Message(kMessageLockAfter));
    for (QAction* choice : MNU_LockAfter->actions()) {
        const int minutes = choice->data().toInt();
        const int unit = minutes == 1 ? kMessageMinute : kMessageMinutes;
        choice->setText(minutes == 0 ? Message(kMessageNever)
                                     : QString::number(minutes) + ' ' + Message(unit));
    }
}

void LockGuard::StartIdleLock() {
    ShowLockMinutes(ReadLockMinutes(ApplicationName()));
    lock_.lastInputMilliseconds = clock_.MonotonicMilliseconds();
    inputHook_ = new EventHook(QCoreApplication::instance(), [this](QEvent* event) {
        if (!lock_.locked && IsInput(event->type())) {
            lock_.lastInputMilliseconds = clock_.MonotonicMilliseconds();
        }
        return false;
    });
    TimerLock->start();
}

void LockGuard::ShowLockMinutes(int minutes) {
    lock_.minutes = minutes;
    for (QAction* choice : MNU_LockAfter->actions()) {
        choice->setChecked(choice->data().toInt() == minutes);
    }
}

void LockGuard::ChooseLockMinutes(int minutes) {
    ShowLockMinutes(minutes);
    WriteLockMinutes(ApplicationName(), minutes);
}

void LockGuard::TimerLock_Timer() {
    if (!lock_.locked &&
        IdleLockDue(lock_.lastInputMilliseconds, clock_.MonotonicMilliseconds(), lock_.minutes)) {
        MNU_Lock_Click();
    }
}

void LockGuard::MNU_Lock_Click() {
    if (lock_.locked) {
        return;
    }
    lock_.locked = true;
    TimerLock->stop();
    // The window empties its widgets and keeps the selection, the open groups and an edit in
    // progress aside, so they come back as they were.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    emit dataHidden(true);

    bool unlocked = AskLogin();
    // Ending would lose the entry being edited, so the lock stays until the login is given.
    while (!unlocked && session_.Typing()) {
        prompter_.MessageBox(&window_, Message(kMessageEditKeepsLock),
                             platform::Prompter::Buttons::Ok, QString());
        unlocked = AskLogin();
    }
    if (!unlocked) {
        // As at start-up: no login, no program.
        emit loginRefused();
        return;
    }
    emit dataHidden(false);
    if (focused != nullptr) {
        focused->setFocus();
    }
    lock_.locked = false;
    lock_.lastInputMilliseconds = clock_.MonotonicMilliseconds();
    TimerLock->start();
}

bool LockGuard::AskLogin() {
    frmLogin login(prompter_, &window_);
    login.tUserName = lock_.userName;
    login.tPassword = lock_.password;
    login.tHint = lock_.hint;
    login.AllowSetup = false;
    login.OpenProtected = open_;
    runLogin_(login);
    return login.LoginSucceeded;
}

}  // namespace keyrack
