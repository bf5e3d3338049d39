#include "login/LoginCommands.h"

#include <QAction>
#include <QMenu>

#include "common/Cp1252.h"
#include "common/Notices.h"
#include "common/Session.h"
#include "common/Strings.h"
#include "common/Utf8.h"
#include "lang/Messages.h"
#include "login/LoginRules.h"
#include "store/BackupCommands.h"
#include "store/DataFileSync.h"
#include "store/OldFormat.h"
#include "store/RecordStore.h"
#include "store/ValueCipher.h"

namespace keyrack {

namespace {

constexpr int kSettingsRecord = 2;
constexpr int kHintField = 1;
constexpr int kUserNameField = 3;
constexpr int kPasswordField = 4;
constexpr int kCredentialFieldWidth = 100;
constexpr int kMessageRefused = 6;
constexpr int kMessageNewUserName = 7;
constexpr int kMessageNewPassword = 8;
constexpr int kMessageNewHint = 10;
constexpr int kMessageProtect = 83;
constexpr int kMessageChangeLogin = 84;
constexpr int kMessageWhatProtects = 85;
constexpr int kMessageWhatItDoesNot = 86;
constexpr int kMessageProtectBackup = 89;
constexpr int kMessageDeleteOldCopy = 90;
constexpr int kMessagePasswordAgain = 93;
constexpr int kMessagePasswordsDiffer = 94;
constexpr int kMessageBlankAnswer = 95;

}  // namespace

LoginCommands::LoginCommands(Session& session, RecordStore& store, DataFileSync& sync,
                             FileIo& files, Notices& notices, const KdfParams& kdf, QMenu& fileMenu)
    : QObject(&fileMenu),
      session_(session),
      store_(store),
      sync_(sync),
      files_(files),
      notices_(notices),
      kdf_(kdf) {
    setObjectName(QStringLiteral("LoginCommands"));
    MNU_Protect = fileMenu.addAction(QString());
    MNU_Protect->setObjectName(QStringLiteral("MNU_Protect"));
    MNU_ChangeLogin = fileMenu.addAction(QString());
    MNU_ChangeLogin->setObjectName(QStringLiteral("MNU_ChangeLogin"));
    connect(MNU_Protect, &QAction::triggered, this, &LoginCommands::MNU_Protect_Click);
    connect(MNU_ChangeLogin, &QAction::triggered, this, &LoginCommands::MNU_ChangeLogin_Click);
}

void LoginCommands::ApplyCaptions() {
    MNU_Protect->setText(Message(kMessageProtect));
    MNU_ChangeLogin->setText(Message(kMessageChangeLogin));
}

void LoginCommands::FollowFileKind() {
    MNU_Protect->setVisible(store_.Kind() == FileKind::Plain);
}

std::string LoginCommands::StoredPlain(int field) {
    return DecodeValue(store_.ReadField(field, kSettingsRecord), LoginKey);
}

std::optional<std::string> LoginCommands::Ask(int prompt, bool masked) {
    const std::optional<QString> typed = notices_.prompter().AskText(
        &notices_.window(), Message(prompt), notices_.window().windowTitle(), masked);
    if (!typed) {
        return std::nullopt;
    }
    if (store_.Kind() == FileKind::Protected) {
        const std::string utf8 = typed->toStdString();
        // The header keeps the hint in a field of its own width.
        if (prompt != kMessageNewHint || utf8.size() <= HintCapacity) {
            return utf8;
        }
    } else if (const auto bytes = ToCp1252(*typed); bytes && CanStoreCredential(*bytes)) {
        return bytes;
    }
    notices_.CannotStore(Message(prompt), store_.Kind() == FileKind::Protected);
    return std::nullopt;
}

std::optional<LoginCommands::NewLogin> LoginCommands::AskNewLogin() {
    NewLogin next;
    const std::optional<std::string> userName = Ask(kMessageNewUserName, false);
    const std::optional<std::string> password =
        userName ? Ask(kMessageNewPassword, true) : std::nullopt;
    if (!password) {
        return std::nullopt;
    }
    if (IsBlank(*userName) || IsBlank(*password)) {
        notices_.Show(Message(kMessageBlankAnswer));
        return std::nullopt;
    }
    const std::optional<std::string> again = Ask(kMessagePasswordAgain, true);
    if (!again) {
        return std::nullopt;
    }
    if (*again != *password) {
        notices_.Show(Message(kMessagePasswordsDiffer));
        return std::nullopt;
    }
    const std::optional<std::string> hint = Ask(kMessageNewHint, false);
    if (!hint) {
        return std::nullopt;
    }
    return NewLogin{*userName, *password, *hint};
}

void LoginCommands::MNU_Protect_Click() {
    if (store_.Kind() != FileKind::Plain ||
        !notices_.Confirm(Message(kMessageWhatProtects) + "\n\n" +
                          Message(kMessageWhatItDoesNot))) {
        return;
    }
    const std::optional<QString> typed =
        notices_.prompter().AskText(&notices_.window(), Message(kMessageCurrentPassword),
                                    notices_.window().windowTitle(), true);
    if (!typed) {
        return;
    }
    const std::optional<std::string> password = ToCp1252(*typed);
    if (!password || *password != StoredPlain(kPasswordField)) {
        notices_.Show(Message(kMessageRefused));
        return;
    }
    const std::string hint = Utf8Prefix(Cp1252ToUtf8(StoredPlain(kHintField)), HintCapacity);
    Protect(Cp1252ToUtf8(StoredPlain(kUserNameField)), typed->toStdString(), hint);
}

bool LoginCommands::Protect(const std::string& userName, const std::string& password,
                            const std::string& hint) {
    // The file is converted as another computer may have left it.
    if (!sync_.TakeChanges()) {
        return false;
    }
    if (!store_.Protect({userName, password}, hint, kdf_, session_.DataKey)) {
        notices_.WriteFailed();
        return false;
    }
    userName_ = userName;
    FollowFileKind();
    emit fileProtected();
    if (!store_.IsLocked()) {
        OfferProtectedBackup();
        OfferOldCopyRemoval();
    }
    return true;
}

void LoginCommands::OfferProtectedBackup() {
    const std::string backup = BackupCommands::BackupFilePath();
    if (!files_.Exists(backup) || !notices_.Confirm(Message(kMessageProtectBackup))) {
        return;
    }
    if (const IoResult copied = CopyWhole(files_, session_.DataFilePath, backup); !copied) {
        notices_.FileFailed(kMessageWriteFailed, backup, copied.reason);
    }
}

void LoginCommands::OfferOldCopyRemoval() {
    const std::string copy = OldFormatCopyPath(session_.DataFilePath);
    if (!files_.Exists(copy) || !notices_.Confirm(Message(kMessageDeleteOldCopy))) {
        return;
    }
    if (const IoResult removed = files_.Remove(copy); !removed) {
        notices_.FileFailed(kMessageWriteFailed, copy, removed.reason);
    }
}

void LoginCommands::MNU_ChangeLogin_Click() {
    const std::optional<std::string> current = Ask(kMessageCurrentPassword, true);
    if (!current) {
        return;
    }
    const bool plain = store_.Kind() == FileKind::Plain;
    // A protected file's password is checked by opening its key, after the new login is typed.
    if (plain && *current != StoredPlain(kPasswordField)) {
        notices_.Show(Message(kMessageRefused));
        return;
    }
    const std::optional<NewLogin> next = AskNewLogin();
    if (!next) {
        return;
    }
    if (plain) {
        ChangePlainLogin(*next);
    } else {
        ChangeProtectedLogin(*current, *next);
    }
}

void LoginCommands::ChangePlainLogin(const NewLogin& next) {
    const auto encoded = [](const std::string& value) {
        return EncodeValue(value, LoginKey, true, kCredentialFieldWidth);
    };
    FieldValues fields;
    fields[kHintField - 1] = encoded(next.hint);
    fields[kUserNameField - 1] = encoded(next.userName);
    fields[kPasswordField - 1] = encoded(next.password);
    // Every field of the pair is replaced, so an emptied hint is emptied in the file too.
    for (int field = 1; field <= FieldCount; ++field) {
        if (field != kHintField && field != kUserNameField && field != kPasswordField) {
            fields[field - 1] = store_.ReadField(field, kSettingsRecord);
        }
    }
    if (sync_.Write(fields, kSettingsRecord, PendingWrite::Mode::Replace) ==
        DataFileSync::WriteResult::NotWritten) {
        return;
    }
    emit plainLoginChanged(next.userName, next.password, next.hint);
}

void LoginCommands::ChangeProtectedLogin(const std::string& current, const NewLogin& next) {
    if (!sync_.TakeChanges()) {
        return;
    }
    if (!store_.ChangeProtectedLogin({userName_, current}, {next.userName, next.password},
                                     next.hint, kdf_)) {
        // The store does not say which: a wrong password or a file that could not be written.
        // Either way nothing changed.
        notices_.Show(Message(kMessageRefused) + "\n" + Message(kMessageWriteFailed));
        return;
    }
    userName_ = next.userName;
}

}  // namespace keyrack
