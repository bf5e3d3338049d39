// Locking the main window, on demand and after a while without use, until the login is given
// again.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTimer>
#include <QToolBar>

#include "app/Form_Main.h"
#include "common/EventHook.h"
#include "common/LockSetting.h"
#include "lang/Messages.h"
#include "login/frmLogin.h"

namespace keyrack {

namespace {

constexpr int kIdleCheckMs = 10000;
constexpr int kMessageLock = 63;
constexpr int kMessageLockAfter = 64;
constexpr int kMessageNever = 65;
constexpr int kMessageMinutes = 66;

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

void Form_Main::BuildLockMenu() {
    MNU_LockAfter = new QMenu(MNU_File);
    MNU_LockAfter->setObjectName(QStringLiteral("MNU_LockAfter"));
    MNU_File->insertMenu(MNU_Exit, MNU_LockAfter);
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
    MNU_File->insertAction(MNU_Exit, MNU_Lock);
    // The key also works while an edit keeps the File menu closed.
    addAction(MNU_Lock);
    connect(MNU_Lock, &QAction::triggered, this, &Form_Main::MNU_Lock_Click);

    TimerLock = new QTimer(this);
    TimerLock->setInterval(kIdleCheckMs);
    connect(TimerLock, &QTimer::timeout, this, &Form_Main::TimerLock_Timer);
}

void Form_Main::ApplyLockCaptions() {
    MNU_Lock->setText(Message(kMessageLock));
    MNU_LockAfter->setTitle(Message(kMessageLockAfter));
    MNU_LockAfter->setAccessibleName(Message(kMessageLockAfter));
    for (QAction* choice : MNU_LockAfter->actions()) {
        const int minutes = choice->data().toInt();
        choice->setText(minutes == 0 ? Message(kMessageNever)
                                     : QString::number(minutes) + ' ' + Message(kMessageMinutes));
    }
}

void Form_Main::StartIdleLock() {
    ShowLockMinutes(ReadLockMinutes(ApplicationName()));
    lock_.lastInput = services_.clock.Now();
    eventHooks_.push_back(new EventHook(QCoreApplication::instance(), [this](QEvent* event) {
        if (!lock_.locked && IsInput(event->type())) {
            lock_.lastInput = services_.clock.Now();
        }
        return false;
    }));
    TimerLock->start();
}

void Form_Main::ShowLockMinutes(int minutes) {
    lock_.minutes = minutes;
    for (QAction* choice : MNU_LockAfter->actions()) {
        choice->setChecked(choice->data().toInt() == minutes);
    }
}

void Form_Main::ChooseLockMinutes(int minutes) {
    ShowLockMinutes(minutes);
    WriteLockMinutes(ApplicationName(), minutes);
}

void Form_Main::TimerLock_Timer() {
    if (!lock_.locked && IdleLockDue(lock_.lastInput, services_.clock.Now(), lock_.minutes)) {
        MNU_Lock_Click();
    }
}

void Form_Main::MNU_Lock_Click() {
    if (lock_.locked) {
        return;
    }
    lock_.locked = true;
    TimerLock->stop();
    Timer2->stop();
    clipboard_->ClearIfOurs();
    // Hidden, not emptied: the selection, the open groups and an edit in progress come back
    // as they were.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    centralWidget()->setVisible(false);
    Toolbar1->setVisible(false);
    menuBar()->setEnabled(false);

    frmLogin login(services_.prompter, this);
    login.tUserName = lock_.userName;
    login.tPassword = lock_.password;
    login.tHint = lock_.hint;
    login.AllowSetup = false;
    services_.runLogin(login);
    if (!login.LoginSucceeded) {
        // As at start-up: no login, no program.
        close();
        QCoreApplication::quit();
        return;
    }
    centralWidget()->setVisible(true);
    Toolbar1->setVisible(true);
    menuBar()->setEnabled(true);
    if (focused != nullptr) {
        focused->setFocus();
    }
    lock_.locked = false;
    lock_.lastInput = services_.clock.Now();
    TimerLock->start();
}

}  // namespace keyrack
