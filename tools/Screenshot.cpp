// Makes the README's picture of the main window: a data file with a few example entries in a
// temporary folder, the start-up with a login that succeeds, one entry shown, the window grabbed.
// Run through tools/screenshot.sh.
#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>

#include "about/frmAbout.h"
#include "app/Form_Main.h"
#include "login/frmLogin.h"
#include "platform/SystemInfo.h"
#include "store/AppPath.h"
#include "store/RecordStore.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"
#include "tree/TreePane.h"

namespace {

using keyrack::FieldValues;

constexpr int kKey = 57;

FieldValues Group(int record, const std::string& name) {
    return {"", "", "", "", "", "", "", name, keyrack::RecordKey(record), ""};
}

FieldValues Entry(int record, const std::string& title, const std::string& address,
                  const std::string& user, const std::string& password, int group) {
    const std::string parent = keyrack::RecordKey(group);
    return {title, address, user, password, "ALPHA", "Y", "12", parent, keyrack::RecordKey(record),
            parent};
}

bool WriteExampleFile(const std::string& path) {
    keyrack::RecordStore store;
    store.LoadDataFile(path);
    auto& random = keyrack::platform::SystemRandom();
    const std::vector<FieldValues> records = {
        Group(3, "Personal"),
        Entry(4, "Mail", "https://mail.example.org", "alice", "sunny-Harbor-42", 3),
        Entry(5, "Bank", "https://bank.example.com", "alice.b", "Quiet7River", 3),
        Group(6, "Work"),
        Entry(7, "Intranet", "https://intranet.example.net", "a.baker", "Maple-Lantern-9", 6),
        Entry(8, "Build server", "ssh build.example.net", "abaker", "copper5Falcon", 6),
    };
    FieldValues header;
    header[4] = keyrack::EncodeValue(std::to_string(kKey), keyrack::LoginKey, true, 100, random);
    header[5] = std::to_string(records.size());
    bool written = store.WriteRecord(header, 1, path, false);
    int record = 3;
    for (const FieldValues& plain : records) {
        FieldValues fields;
        for (int k = 0; k < keyrack::FieldCount; ++k) {
            const std::string value = k >= 8 ? keyrack::StoredKeyForm(plain[k]) : plain[k];
            fields[k] = keyrack::EncodeValue(value, kKey, true, keyrack::FieldWidths[k], random);
        }
        written = store.WriteRecord(fields, record++, path, false) && written;
    }
    return written;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s lang.ini out.png\n", argv[0]);
        return 2;
    }
    QTemporaryDir folder;
    const std::string path = QDir(folder.path()).filePath("cli.rkd").toStdString();
    if (!folder.isValid() || !QFile::copy(argv[1], QDir(folder.path()).filePath("lang.ini")) ||
        !WriteExampleFile(path)) {
        std::fprintf(stderr, "%s: cannot prepare the example data\n", argv[0]);
        return 1;
    }
    keyrack::UseAppFolder(folder.path().toStdString());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());

    keyrack::platform::QtPrompter prompter;
    keyrack::platform::SystemClock clock;
    keyrack::platform::DesktopSystemInfo systemInfo;
    keyrack::Form_Main window({prompter, keyrack::platform::SystemRandom(), clock,
                               [](keyrack::frmLogin& login) { login.LoginSucceeded = true; },
                               keyrack::SystemFileIo(), systemInfo, [](keyrack::frmAbout&) {}});
    if (!window.Form_Load()) {
        return 1;
    }
    window.show();
    window.tree().view()->expandAll();
    window.tree().view()->setCurrentItem(window.tree().NodeWithKey(keyrack::RecordKey(4)));
    QApplication::processEvents();
    return window.grab().save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
