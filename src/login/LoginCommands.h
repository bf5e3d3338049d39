#pragma once

#include <QObject>
#include <optional>
#include <string>

#include "store/ProtectedFile.h"

class QAction;
class QMenu;

namespace keyrack {

class DataFileSync;
class FileIo;
class Notices;
class RecordStore;
struct Session;

// The File menu's login items: turning the plain data file into a protected one, and changing
// the user name, password and hint of either kind of file.
class LoginCommands : public QObject {
    Q_OBJECT

  public:
    LoginCommands(Session& session, RecordStore& store, DataFileSync& sync, FileIo& files,
                  Notices& notices, const KdfParams& kdf, QMenu& fileMenu);

    void ApplyCaptions();
    // The user name the file was opened with: a protected file's login to change needs it.
    void LoggedIn(const std::string& userName) { userName_ = userName; }
    // The Protect item is for a plain file only.
    void FollowFileKind();

    // Turns the plain file into a protected one under login (UTF-8), then offers to protect the
    // backup and to delete the old format's copy. False, after telling the user, when the
    // plain file stays.
    bool Protect(const std::string& userName, const std::string& password, const std::string& hint);

    void MNU_Protect_Click();
    void MNU_ChangeLogin_Click();

  signals:
    // The store now holds the protected file: values read otherwise, the lock derives the key.
    void fileProtected();
    // A plain file's pair changed (Windows-1252): what the lock compares with.
    void plainLoginChanged(const std::string& userName, const std::string& password,
                           const std::string& hint);

  private:
    struct NewLogin {
        std::string userName;
        std::string password;
        std::string hint;
    };
    // The login pair and hint record 2 of a plain file holds (Windows-1252).
    std::string StoredPlain(int field);
    // Asks one answer; none when cancelled. Plain answers must fit the plain file's rule.
    std::optional<std::string> Ask(int prompt, bool masked);
    // The new user name, password typed twice and hint; none after telling the user why.
    std::optional<NewLogin> AskNewLogin();
    void ChangePlainLogin(const NewLogin& next);
    void ChangeProtectedLogin(const std::string& current, const NewLogin& next);
    void OfferProtectedBackup();
    void OfferOldCopyRemoval();

    Session& session_;
    RecordStore& store_;
    DataFileSync& sync_;
    FileIo& files_;
    Notices& notices_;
    KdfParams kdf_;
    std::string userName_;
    QAction* MNU_Protect = nullptr;
    QAction* MNU_ChangeLogin = nullptr;
};

}  // namespace keyrack
