#include "support/FormFixture.h"

#include <QSettings>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "lang/LangFunctions.h"
#include "login/frmLogin.h"
#include "store/AppPath.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"

namespace keyrack::testing {

SeedRecord Group(int record, const std::string& name, const std::string& parentKey) {
    return {record, {"", "", "", "", "", "", "", name, RecordKey(record), parentKey}};
}

// Entries keep generator settings of their own, so a test can tell them from the defaults.
SeedRecord Entry(int record, const std::string& title, const std::string& parentKey,
                 const std::string& userName, const std::string& password) {
    const std::string address = "https://example.org/" + std::to_string(record);
    return {record,
            {title, address, userName, password, "NUMERIC", "N", "12", parentKey, RecordKey(record),
             parentKey}};
}

void FormFixture::SetUp() {
    UseAppFolder(dir.Path());
    std::filesystem::copy_file(KEYRACK_SHIPPED_LANG_INI, dir.File("lang.ini"));
    LangFunctions::ResetCatalogue();
    setenv("LC_ALL", "en_US.UTF-8", 1);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(dir.Path()));
}

void FormFixture::TearDown() {
    window.reset();
    UseAppFolder("");
    LangFunctions::ResetCatalogue();
    unsetenv("LC_ALL");
}

void FormFixture::SeedFile(const std::vector<SeedRecord>& records, const std::string& file,
                           int key) {
    const std::string path = file.empty() ? DataPath() : file;
    RecordStore store;
    store.LoadDataFile(path);
    int highest = 2;
    for (const SeedRecord& seed : records) {
        highest = std::max(highest, seed.record);
    }
    FieldValues header;
    header[4] = EncodeValue(std::to_string(key), LoginKey, true, 100, random);
    header[5] = std::to_string(highest - 2);
    ASSERT_TRUE(store.WriteRecord(header, 1, path, false));
    FieldValues settings;
    settings[2] = EncodeValue(kUserName, LoginKey, true, 100, random);
    settings[3] = EncodeValue(kPassword, LoginKey, true, 100, random);
    ASSERT_TRUE(store.WriteRecord(settings, 2, path, false));
    for (const SeedRecord& seed : records) {
        FieldValues fields;
        for (int k = 0; k < FieldCount; ++k) {
            const std::string& value = seed.values[k];
            fields[k] = EncodeValue(k >= 8 ? StoredKeyForm(value) : value, key, true,
                                    FieldWidths[k], random);
        }
        ASSERT_TRUE(store.WriteRecord(fields, seed.record, path, false));
    }
}

void FormFixture::SeedBackupSettings(const std::string& autoBackup, const std::string& lastBackup) {
    RecordStore store;
    store.LoadDataFile(DataPath());
    FieldValues fields;
    fields[4] = EncodeValue(autoBackup, kKey, false, 40);
    fields[5] = EncodeValue(lastBackup, kKey, false, 40);
    ASSERT_TRUE(store.WriteRecord(fields, 2, DataPath(), false));
}

Form_Main::Services FormFixture::Services(platform::Prompter& answering,
                                          std::function<void(frmLogin&)> login) {
    Form_Main::Services services{
        answering, random, clock, std::move(login), files, systemInfo, [this](frmAbout& about) {
            runAbout(about);
        }};
    services.clipboard = &clipboard;
    services.clipboardTimer = &clipboardTimer;
    services.desktop = &desktop;
    services.kdf = KdfParams::Smallest();
    return services;
}

bool FormFixture::StartWithLogin(std::function<void(frmLogin&)> login) {
    window.reset();  // the window before lets go of the data file first
    window = std::make_unique<Form_Main>(Services(prompter, std::move(login)));
    return window->Form_Load();
}

void FormFixture::TypeLogin(frmLogin& login, const char* userName, const char* password) {
    login.txtUserName->setText(QString::fromUtf8(userName));
    login.txtPassword->setText(QString::fromUtf8(password));
    login.cmdOK_Click();
}

Form_Main& FormFixture::Start() {
    EXPECT_TRUE(StartWithLogin([](frmLogin& login) { login.LoginSucceeded = true; }));
    return *window;
}

std::string FormFixture::RawFieldOnDisk(int field, int record, const std::string& path) const {
    RecordStore disk;
    disk.LoadDataFile(path.empty() ? DataPath() : path);
    return disk.ReadField(field, record);
}

std::string FormFixture::FieldOnDisk(int field, int record, int key,
                                     const std::string& path) const {
    return DecodeValue(RawFieldOnDisk(field, record, path), key);
}

void FormFixture::MakeDataFileUnwritable() const {
    std::filesystem::remove(DataPath());
    std::filesystem::create_directory(DataPath());
}

void FormFixture::ShowWindow() {
    window->show();
    QApplication::setActiveWindow(window.get());
}

void FormFixture::Show(const std::string& key) {
    Tree().view()->setCurrentItem(Tree().NodeWithKey(key));
}

void FormFixture::Save(const std::string& shown, int mode, const QString& title,
                       const QString& address, const QString& userName, const QString& password) {
    if (!shown.empty()) {
        Show(shown);
    }
    ClickToolbar(mode);
    Title()->setPlainText(title);
    Box("Text2")->setText(address);
    Box("Text4")->setText(userName);
    Box("Text3")->setText(password);
    ClickToolbar(kSave);
}

std::vector<QString> FormFixture::TreeTexts() const {
    std::vector<QString> texts;
    for (int index = 1; Tree().NodeAt(index) != nullptr; ++index) {
        texts.push_back(Tree().NodeAt(index)->text(0));
    }
    return texts;
}

bool FormFixture::MessageShown(int number) const {
    // A message with a placeholder is known by the text before it.
    const QString text = Message(number).section(QStringLiteral("%1"), 0, 0);
    return std::any_of(prompter.messages.begin(), prompter.messages.end(),
                       [&](const auto& shown) { return shown.text.startsWith(text); });
}

}  // namespace keyrack::testing
