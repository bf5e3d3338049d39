// Works on one data file the way the main window's parts do, for tools/sync-check.sh: the
// file's lock is taken, the file and its folder are watched (changes that arrive are loaded,
// conflict copies merged), and every write passes through the same merge as the window's. It
// reads one command a line on standard input and answers each with a line that starts with
// "ok" or "error"; "list" first prints one line per entry. Every question is answered Yes and
// every message shown is echoed on standard error.
//
//   init KEY                          record 1 of a new, empty file: the per-file key
//   add GROUP TITLE USER PASSWORD     the group is made when missing
//   edit TITLE title|address|user|password VALUE
//   move TITLE GROUP
//   delete TITLE
//   list                              "GROUP|TITLE|ADDRESS|USER|PASSWORD", sorted
//   quit
//
// Words are separated by tabs, so that values may hold spaces.
#include <unistd.h>
#include <QApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/Notices.h"
#include "common/Session.h"
#include "common/Strings.h"
#include "lang/LangFunctions.h"
#include "login/InstanceLock.h"
#include "platform/Prompter.h"
#include "store/DataFileLock.h"
#include "store/DataFileSync.h"
#include "store/DataKey.h"
#include "store/EntryRecord.h"
#include "store/RecordCount.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"

namespace {

using keyrack::EntryValues;
using keyrack::FieldValues;

class YesPrompter : public keyrack::platform::Prompter {
  public:
    Answer MessageBox(QWidget*, const QString& text, Buttons, const QString&) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(QString(text).replace('\n', ' ')));
        return Answer::Yes;
    }
    QString InputBox(QWidget*, const QString&, const QString&) override { return {}; }
    std::optional<QString> AskText(QWidget*, const QString&, const QString&, bool) override {
        return std::nullopt;
    }
    QString FileName(QWidget*, const QString&, bool) override { return {}; }
};

class Driver {
  public:
    explicit Driver(const std::string& path)
        : notices_(prompter_, area_, session_),
          sync_(session_, store_, files_, random_, notices_, nullptr) {
        session_.DataFilePath = path;
    }

    bool Open() {
        const auto goOn = [](const keyrack::LockFinding& finding) {
            std::fprintf(stderr, "lock names another computer: %s\n", finding.computer.c_str());
            return true;
        };
        if (lock_.Take(session_.DataFilePath, files_, goOn) !=
                keyrack::DataFileLock::Outcome::Taken ||
            !store_.LoadDataFile(session_.DataFilePath)) {
            return false;
        }
        session_.DataKey = keyrack::StoredDataKey(store_);
        sync_.StartWatching();
        return true;
    }

    // One command; false once the driver is to end.
    bool Run(const std::string& line) {
        const QStringList words = QString::fromStdString(line).split('\t');
        const std::string command = words.value(0).toStdString();
        const auto word = [&words](int n) { return words.value(n).toStdString(); };
        bool done = false;
        if (command == "quit") {
            std::puts("ok");
            std::fflush(stdout);
            return false;
        }
        if (command == "init") {
            done = Init(std::stoi(word(1)));
        } else if (command == "add") {
            done = Add(word(1), {word(2), "", word(3), word(4), {"ALPHA", "Y", "8"}});
        } else if (command == "edit") {
            done = Edit(word(1), word(2), word(3));
        } else if (command == "move") {
            done = Move(word(1), word(2));
        } else if (command == "delete") {
            const int record = EntryRecord(word(1));
            done = record != 0 &&
                   Written(sync_.Write(FieldValues{}, record, keyrack::PendingWrite::Mode::Clear));
        } else if (command == "list") {
            done = List();
        }
        std::puts(done ? "ok" : "error");
        std::fflush(stdout);
        return true;
    }

  private:
    static bool Written(keyrack::DataFileSync::WriteResult result) {
        return result != keyrack::DataFileSync::WriteResult::NotWritten;
    }

    std::string Value(int record, int field) {
        return keyrack::DecodeValue(keyrack::Trim(store_.ReadField(field, record)),
                                    session_.DataKey);
    }
    bool IsEntry(int record) { return !Value(record, 1).empty(); }
    std::string Key(int record, int field) {
        return keyrack::KeyFromStored(keyrack::Trim(Value(record, field)));
    }

    bool Init(int key) {
        FieldValues header;
        header[4] = keyrack::EncodeValue(std::to_string(key), keyrack::LoginKey, true, 100);
        header[5] = "0";
        session_.DataKey = key;
        return store_.WriteRecord(header, 1, session_.DataFilePath, false);
    }

    // As the tree does it: the file is taken first, then a free record counted in record 1.
    int Allocate() {
        if (!sync_.TakeChanges()) {
            return 0;
        }
        const int record = store_.FindFreeRecord(keyrack::FirstTreeRecord);
        const int count = keyrack::RecordCountInUse(store_);
        return Written(sync_.Write(keyrack::RecordCountFields(count + 1), 1)) ? record : 0;
    }

    int EntryRecord(const std::string& title) {
        sync_.TakeChanges();
        for (int record = keyrack::FirstTreeRecord; record <= store_.UpperBound(); ++record) {
            if (Value(record, 1) == title) {
                return record;
            }
        }
        return 0;
    }

    std::string GroupKey(const std::string& name) {
        sync_.TakeChanges();
        for (int record = keyrack::FirstTreeRecord; record <= store_.UpperBound(); ++record) {
            if (!IsEntry(record) && Value(record, 8) == name) {
                return Key(record, 9);
            }
        }
        const int record = Allocate();
        if (record == 0 ||
            !Written(sync_.Write(
                keyrack::GroupRecordFields(name, record, "", session_.DataKey, random_), record))) {
            return {};
        }
        return keyrack::RecordKey(record);
    }

    EntryValues ValuesOf(int record) {
        return {Value(record, 1),
                Value(record, 2),
                Value(record, 3),
                Value(record, 4),
                {Value(record, 5), Value(record, 6), Value(record, 7)}};
    }

    bool Save(const EntryValues& values, int record, const std::string& group) {
        return Written(sync_.Write(
            keyrack::EntryRecordFields(values, group, record, group, session_.DataKey, random_),
            record, keyrack::PendingWrite::Mode::Replace));
    }

    bool Add(const std::string& groupName, const EntryValues& values) {
        const std::string group = GroupKey(groupName);
        const int record = group.empty() ? 0 : Allocate();
        return record != 0 && Save(values, record, group);
    }

    bool Edit(const std::string& title, const std::string& box, const std::string& value) {
        const int record = EntryRecord(title);
        if (record == 0) {
            return false;
        }
        EntryValues values = ValuesOf(record);
        std::string* target = box == "title"      ? &values.title
                              : box == "address"  ? &values.address
                              : box == "user"     ? &values.userName
                              : box == "password" ? &values.password
                                                  : nullptr;
        if (target == nullptr) {
            return false;
        }
        *target = value;
        return Save(values, record, Key(record, 10));
    }

    bool Move(const std::string& title, const std::string& groupName) {
        const std::string group = GroupKey(groupName);
        const int record = group.empty() ? 0 : EntryRecord(title);
        return record != 0 && Save(ValuesOf(record), record, group);
    }

    bool List() {
        std::vector<std::string> lines;
        for (int record = keyrack::FirstTreeRecord; record <= store_.UpperBound(); ++record) {
            if (!IsEntry(record)) {
                continue;
            }
            std::string group = "?";
            const std::string parent = Key(record, 10);
            for (int at = keyrack::FirstTreeRecord; at <= store_.UpperBound(); ++at) {
                if (!IsEntry(at) && Key(at, 9) == parent) {
                    group = Value(at, 8);
                }
            }
            lines.push_back(group + "|" + Value(record, 1) + "|" + Value(record, 2) + "|" +
                            Value(record, 3) + "|" + Value(record, 4));
        }
        std::sort(lines.begin(), lines.end());
        for (const std::string& line : lines) {
            std::puts(line.c_str());
        }
        return true;
    }

    YesPrompter prompter_;
    QWidget area_;
    keyrack::Session session_;
    keyrack::RecordStore store_;
    keyrack::FileIo& files_ = keyrack::SystemFileIo();
    keyrack::platform::RandomSource& random_ = keyrack::platform::SystemRandom();
    keyrack::Notices notices_;
    keyrack::DataFileSync sync_;
    keyrack::DataFileLock lock_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATA-FILE < commands\n", argv[0]);
        return 2;
    }
    keyrack::LangFunctions::LoadMessages();
    Driver driver(argv[1]);
    if (!driver.Open()) {
        std::fprintf(stderr, "%s could not be opened\n", argv[1]);
        return 1;
    }
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    std::string pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            input.setEnabled(false);
            QApplication::quit();
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(got));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!driver.Run(line)) {
                input.setEnabled(false);
                QApplication::quit();
                return;
            }
        }
    });
    return QApplication::exec();
}
