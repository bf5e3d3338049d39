#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Form_Main.h"
#include "lang/Messages.h"
#include "support/FakeDesktop.h"
#include "support/FakeSystemInfo.h"
#include "support/FaultyFileIo.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"
#include "tree/TreePane.h"

namespace keyrack::testing {

// The toolbar's buttons by index.
constexpr int kNew = 4, kEdit = 5, kDelete = 6, kCancel = 7, kSave = 8, kGroup = 11, kOpen = 14,
              kCopyUser = 16, kCopyPassword = 17;

// One record to put into a data file before the window starts, stored the way the program
// stores it.
struct SeedRecord {
    int record = 0;
    FieldValues values;  // plain text, fields 9 and 10 as node keys
};

SeedRecord Group(int record, const std::string& name, const std::string& parentKey = "");
SeedRecord Entry(int record, const std::string& title, const std::string& parentKey,
                 const std::string& userName = "", const std::string& password = "");

// A program folder of its own for each test, with the shipped catalogue, an English locale
// and settings kept in the folder.
class FormFixture : public ::testing::Test {
  protected:
    static constexpr int kKey = 40;
    static constexpr const char* kUserName = "me";
    static constexpr const char* kPassword = "secret";

    void SetUp() override;
    void TearDown() override;

    // Writes a data file (by default the program's, with the key kKey) with the stored
    // credentials kUserName / kPassword and the given records; the record count covers the
    // highest record.
    void SeedFile(const std::vector<SeedRecord>& records, const std::string& path = "",
                  int key = kKey);
    // Stores the automatic backup setting and the last backup's date in the seeded file.
    void SeedBackupSettings(const std::string& autoBackup, const std::string& lastBackup);

    // Closes the window if one is open and runs the start-up with a login that simply succeeds.
    Form_Main& Start();
    // Runs the start-up with the given login (it gets the dialog instead of a modal run).
    bool StartWithLogin(std::function<void(frmLogin&)> login);
    // Types the pair into the login and presses OK.
    static void TypeLogin(frmLogin& login, const char* userName, const char* password);
    // The fixture's doubles for a window, with the given prompter and login.
    Form_Main::Services Services(platform::Prompter& answering,
                                 std::function<void(frmLogin&)> login);

    std::string DataPath() const { return dir.File("cli.rkd"); }
    // A field as the file on disk (by default the program's) holds it, decoded.
    std::string FieldOnDisk(int field, int record, int key = kKey,
                            const std::string& path = "") const;
    std::string RawFieldOnDisk(int field, int record, const std::string& path = "") const;
    // Replaces the data file by a folder, so every later write fails.
    void MakeDataFileUnwritable() const;
    // Replaces the data file by a folder for the command, then puts it back as it was.
    template <typename Command>
    void WithUnwritableFile(Command command) {
        const std::string before = ReadBytes(DataPath());
        MakeDataFileUnwritable();
        command();
        std::filesystem::remove(DataPath());
        WriteBytes(DataPath(), before);
    }
    void ClickToolbar(int index) { Button(index)->trigger(); }
    QAction* Button(int index) const {
        return Find<QAction>(QStringLiteral("Toolbar1_Button%1").arg(index));
    }
    // A control or part of the window by its object name (any, when empty).
    template <typename T = QWidget>
    T* Find(const QString& name = {}) const {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QPlainTextEdit* Title() const { return Find<QPlainTextEdit>("Text1"); }
    QLineEdit* Box(const char* name) const { return Find<QLineEdit>(name); }
    const Session& S() const { return window->session(); }
    TreePane& Tree() const { return window->tree(); }
    // Shows the window as the active one.
    void ShowWindow();
    // Selects the node with key in the tree.
    void Show(const std::string& key);
    // Starts the mode with the node shown (empty: the one shown now), types into the four boxes
    // and saves.
    void Save(const std::string& shown, int mode, const QString& title, const QString& address = {},
              const QString& userName = {}, const QString& password = {});
    // The text of every node, in the order the tree added them.
    std::vector<QString> TreeTexts() const;
    // The answer the next input box gets.
    void Answer(const QString& text) { prompter.inputs.push_back(text); }
    bool MessageShown(int number) const;

    TempDir dir;
    ScriptedPrompter prompter;
    SequenceRandom random;
    FixedClock clock;
    FaultyFileIo files;
    FakeClipboard clipboard;
    ManualTimer clipboardTimer;
    FakeDesktop desktop;
    FakeSystemInfo systemInfo;
    // Gets the About box instead of a modal run.
    std::function<void(frmAbout&)> runAbout = [](frmAbout&) {};
    std::unique_ptr<Form_Main> window;
};

}  // namespace keyrack::testing
