#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace keyrack {

class DataFileOpening;
class FileIo;
class LockGuard;
class LoginCommands;
class Notices;
class RecordStore;
class frmLogin;
struct LoadResult;
struct Session;
namespace platform {
class RandomSource;
}  // namespace platform

// The login into the data file: at start-up, against a plain file's stored pair or opening a
// protected file with what is typed, and again when a restored backup replaced the file.
class FileLogin : public QObject {
    Q_OBJECT

  public:
    struct Parts {
        DataFileOpening& opening;
        LockGuard& lockGuard;
        LoginCommands& loginCommands;
    };
    FileLogin(std::function<void(frmLogin&)> runLogin, FileIo& files,
              platform::RandomSource& random, Session& session, RecordStore& store,
              Notices& notices, Parts parts);

    // The start-up's login; false when it did not succeed and the program ends.
    bool Run();
    // The file was just protected: the lock and the menu follow. False, after telling the
    // user, when it would not open again.
    bool FollowNewlyProtected();
    // Opens the data file again after a backup replaced it; false, after telling the user,
    // when neither it nor the file it replaced opens and the program ends.
    bool ReopenRestored();

  signals:
    // What happened, for the status bar.
    void reported(const QString& text);

  private:
    bool RunProtectedLogin();
    // After the set-up: the new pair protects the file, if the user agrees. False when the
    // file stays plain.
    bool OfferProtection(const frmLogin& login);
    void FollowProtectedFile(const std::string& hint);
    // Opens the protected file with a typed pair, for the login and the lock.
    std::function<bool(const std::string&, const std::string&)> ProtectedOpener();
    // A protected file the load left locked is opened by a login; a plain one is ready.
    bool OpenLoaded(const LoadResult& loaded);
    // Loads the restored file, or else the file it replaced.
    bool LoadRestoredFile();

    std::function<void(frmLogin&)> runLogin_;
    FileIo& files_;
    platform::RandomSource& random_;
    Session& session_;
    RecordStore& store_;
    Notices& notices_;
    Parts parts_;
};

}  // namespace keyrack
