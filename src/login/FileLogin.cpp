#include "login/FileLogin.h"

#include "common/Cp1252.h"
#include "common/Notices.h"
#include "common/Session.h"
#include "common/StatusMessages.h"
#include "common/Strings.h"
#include "common/Utf8.h"
#include "lang/Messages.h"
#include "login/LockGuard.h"
#include "login/LoginCommands.h"
#include "login/LoginRules.h"
#include "login/frmLogin.h"
#include "store/BackupCommands.h"
#include "store/DataFileOpening.h"
#include "store/RecordStore.h"
#include "store/Restore.h"
#include "store/ValueCipher.h"

namespace keyrack {

namespace {

constexpr int kSettingsRecord = 2;
constexpr int kCredentialFieldWidth = 100;
constexpr int kMessageRestoreFailed = 57;
constexpr int kMessageUnreadable = 61;
constexpr int kMessageProtectNewFile = 87;
constexpr int kMessageUnreadableRecords = 88;

// A plain file's login pair and hint, as record 2 holds them (Windows-1252).
std::string PlainLoginField(RecordStore& store, int field) {
    return DecodeValue(store.ReadField(field, kSettingsRecord), LoginKey);
}

}  // namespace

FileLogin::FileLogin(std::function<void(frmLogin&)> runLogin, FileIo& files,
                     platform::RandomSource& random, Session& session, RecordStore& store,
                     Notices& notices, Parts parts)
    : QObject(&notices.window()),
      runLogin_(std::move(runLogin)),
      files_(files),
      random_(random),
      session_(session),
      store_(store),
      notices_(notices),
      parts_(parts) {}

bool FileLogin::Run() {
    if (store_.Kind() == FileKind::Protected) {
        return RunProtectedLogin();
    }
    const auto stored = [this](int field) { return PlainLoginField(store_, field); };
    frmLogin login(notices_.prompter(), &notices_.window());
    login.tUserName = stored(3);
    login.tPassword = stored(4);
    login.tHint = stored(1);
    login.DefaultUserName = SetupWord;
    login.DefaultPassword = SetupWord;
    runLogin_(login);
    // The login read only its own records: nothing is written before the rest is read.
    if (!login.LoginSucceeded || !parts_.opening.LoadRest()) {
        return false;
    }
    // The file a restore replaced was kept for a restore that turned out wrong; a login into
    // the restored file shows it was right. Failing to remove it costs only disk space.
    DiscardBeforeRestore(files_, session_.DataFilePath);
    // A pair the file becomes protected with is never written in the plain file.
    if (!login.LastPassword.empty() && OfferProtection(login)) {
        return true;
    }
    parts_.lockGuard.Remember(login.tUserName, login.tPassword,
                              login.LastHint.empty() ? login.tHint : login.LastHint);
    const auto encoded = [this](const std::string& value) {
        return EncodeValue(value, LoginKey, true, kCredentialFieldWidth, random_);
    };
    FieldValues fields;
    fields[0] = encoded(login.LastHint);
    fields[2] = encoded(login.LastUserName);
    fields[3] = encoded(login.LastPassword);
    const bool changesSomething = !IsBlank(fields[0] + fields[2] + fields[3]);
    if (changesSomething &&
        !store_.WriteRecord(fields, kSettingsRecord, session_.DataFilePath, false)) {
        parts_.opening.NoteWriteFailure();
    }
    return true;
}

bool FileLogin::RunProtectedLogin() {
    const std::string hint = store_.ProtectedHint().value_or(std::string());
    frmLogin login(notices_.prompter(), &notices_.window());
    login.tHint = hint;
    login.DefaultUserName = SetupWord;
    login.DefaultPassword = SetupWord;
    login.AllowSetup = false;
    login.OpenProtected = ProtectedOpener();
    runLogin_(login);
    if (!login.LoginSucceeded) {
        return false;
    }
    DiscardBeforeRestore(files_, session_.DataFilePath);
    FollowProtectedFile(hint);
    if (const std::size_t unreadable = store_.UnreadableRecords().size(); unreadable > 0) {
        notices_.Show(Message(kMessageUnreadableRecords).arg(unreadable));
    }
    return true;
}

std::function<bool(const std::string&, const std::string&)> FileLogin::ProtectedOpener() {
    return [this](const std::string& userName, const std::string& password) {
        if (!store_.Unlock({userName, password})) {
            return false;
        }
        parts_.loginCommands.LoggedIn(userName);
        return true;
    };
}

void FileLogin::FollowProtectedFile(const std::string& hint) {
    parts_.lockGuard.OpenWith(ProtectedOpener(), hint);
    parts_.loginCommands.FollowFileKind();
}

bool FileLogin::FollowNewlyProtected() {
    if (store_.IsLocked()) {
        // Written, but it would not open again: nothing more can be done with it here.
        notices_.Show(Message(kMessageUnreadable) + "\n" +
                      QString::fromStdString(session_.DataFilePath));
        return false;
    }
    FollowProtectedFile(store_.ProtectedHint().value_or(std::string()));
    return true;
}

bool FileLogin::OfferProtection(const frmLogin& login) {
    if (!notices_.Confirm(Message(kMessageProtectNewFile))) {
        return false;
    }
    // The file's own key decodes whatever a plain file already holds.
    parts_.opening.GetKey();
    return parts_.loginCommands.Protect(Cp1252ToUtf8(login.LastUserName),
                                        Cp1252ToUtf8(login.LastPassword),
                                        Utf8Prefix(Cp1252ToUtf8(login.LastHint), HintCapacity));
}

bool FileLogin::OpenLoaded(const LoadResult& loaded) {
    if (loaded.status != LoadResult::Status::Locked) {
        return static_cast<bool>(loaded);
    }
    return store_.ProtectedHint() && RunProtectedLogin();
}

bool FileLogin::LoadRestoredFile() {
    const std::string& path = session_.DataFilePath;
    if (OpenLoaded(parts_.opening.Load())) {
        emit reported(Message(kMessageBackupRestored));
        return true;
    }
    // The replaced file is put back, so the window never goes on with data it cannot write.
    if (UndoRestore(files_, path) && OpenLoaded(parts_.opening.Load())) {
        notices_.FileFailed(kMessageRestoreFailed, BackupCommands::BackupFilePath(), std::string());
        return true;
    }
    notices_.Show(Message(kMessageUnreadable) + "\n" + QString::fromStdString(path),
                  Notices::Kind::Error);
    return false;
}

bool FileLogin::ReopenRestored() {
    const bool wasProtected = store_.Kind() == FileKind::Protected;
    // The data file's lock is still held: only the file is read again.
    if (!LoadRestoredFile()) {
        return false;
    }
    if (wasProtected && store_.Kind() == FileKind::Plain) {
        // The lock compares with the restored file's pair from now on.
        parts_.lockGuard.Remember(PlainLoginField(store_, 3), PlainLoginField(store_, 4),
                                  PlainLoginField(store_, 1));
        parts_.loginCommands.FollowFileKind();
    }
    // The backup may come from a data file made anew since, with a key of its own. A key the
    // restored file lacked, and that could not be stored, is reported as at start-up.
    parts_.opening.GetKey();
    parts_.opening.ReportWriteFailure();
    return true;
}

}  // namespace keyrack
