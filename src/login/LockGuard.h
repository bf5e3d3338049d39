#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "login/IdleLock.h"

class QAction;
class QMenu;
class QTimer;
class QWidget;

namespace keyrack {

class frmLogin;
struct Session;
namespace platform {
class Clock;
class Prompter;
}  // namespace platform

// Locking the window, from the File menu or after a while without use, until the login is given
// again. While locked the window hides and empties its data.
class LockGuard : public QObject {
    Q_OBJECT

  public:
    // The session tells whether an entry is being edited.
    LockGuard(platform::Prompter& prompter, platform::Clock& clock,
              std::function<void(frmLogin&)> runLogin, const Session& session, QWidget& window,
              QMenu& fileMenu);
    ~LockGuard() override;

    void ApplyCaptions();
    // The pair the user logged in with; unlocking asks for it.
    void Remember(const std::string& userName, const std::string& password,
                  const std::string& hint);
    // A protected file keeps no pair here: unlocking opens the file again with what is typed.
    using Opener = std::function<bool(const std::string& userName, const std::string& password)>;
    void OpenWith(Opener open, const std::string& hint);
    // Reads the chosen wait and starts watching for input.
    void StartIdleLock();
    bool Locked() const { return lock_.locked; }

    // Hides the data and asks for the login again.
    void MNU_Lock_Click();
    void TimerLock_Timer();

  signals:
    void dataHidden(bool hidden);
    // The login was not given again, with no entry being edited: the program ends.
    void loginRefused();

  private:
    void ShowLockMinutes(int minutes);
    void ChooseLockMinutes(int minutes);
    // Runs the login dialog for the remembered pair; true when it was given.
    bool AskLogin();

    platform::Prompter& prompter_;
    platform::Clock& clock_;
    std::function<void(frmLogin&)> runLogin_;
    const Session& session_;
    QWidget& window_;
    QAction* MNU_Lock = nullptr;
    QMenu* MNU_LockAfter = nullptr;
    // Looks for a while without use.
    QTimer* TimerLock = nullptr;
    LockState lock_;
    Opener open_;
    QObject* inputHook_ = nullptr;
};

}  // namespace keyrack
