// Timing program: each case is measured against a plain baseline in the same run and prints
// "NAME: ours X ms, baseline Y ms, ratio R". Goals: loading the data file at most 2 times a
// plain read at 32,000 records; filling the tree at most 1.5 times a bare tree fill; planning a
// crafted file of groups that each name a later group as parent at most 2 times planning the
// ordinary 32,000-record file; moving one entry by a drop in a tree of 32,000 records at most 3
// times writing one record; saving one entry at 1,000 and at 32,000 records at most 1.5 times
// one journaled record write, the larger file's save within 1.2 times the smaller's; one keystroke
// in the search box at most 2 times a bare pass over the tree's hidden flags, and under 50 ms, the
// first keystroke after loading included (the box takes the nodes' texts when it gets the focus;
// that is timed on its own). The program exits with 1 when a goal is missed. Importing 10,000 CSV
// rows takes at most 3 times writing 10,000 records one by one. Taking another computer's
// one-record change and planning the merge of a conflict copy are reported against loading the
// file, with no goal yet.
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/Notices.h"
#include "common/Session.h"
#include "login/frmLogin.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "store/ChangesFromDisk.h"
#include "store/ConflictCopyMerge.h"
#include "store/Csv.h"
#include "store/CsvCommands.h"
#include "store/DataFileSync.h"
#include "store/DiskCheck.h"
#include "store/EntryRecord.h"
#include "store/ProtectedFile.h"
#include "store/RecordCount.h"
#include "store/RecordStore.h"
#include "store/ValueCipher.h"
#include "tree/NodeKeys.h"
#include "tree/TreePane.h"
#include "tree/TreePlan.h"

namespace {

using keyrack::DataRecord;
using keyrack::EncodeValue;

constexpr int kKey = 40;
constexpr int kRuns = 7;

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

// The best of several runs of each, in milliseconds, taken in turns so that both see the
// same state of the machine; the best run is the least disturbed by the rest of it.
std::pair<double, double> BestOfInTurns(const std::function<void()>& ours,
                                        const std::function<void()>& baseline, int runs = kRuns) {
    double bestOurs = 1e300;
    double bestBaseline = 1e300;
    for (int run = 0; run < runs; ++run) {
        bestOurs = std::min(bestOurs, Milliseconds(ours));
        bestBaseline = std::min(bestBaseline, Milliseconds(baseline));
    }
    return {bestOurs, bestBaseline};
}

void Report(const std::string& name, double ours, double baseline) {
    std::printf("%s: ours %.2f ms, baseline %.2f ms, ratio %.2f\n", name.c_str(), ours, baseline,
                ours / baseline);
    std::fflush(stdout);
}

bool missedAGoal = false;

void ReportAgainstGoal(const std::string& name, double ours, double baseline, double goal) {
    Report(name, ours, baseline);
    if (ours > goal * baseline) {
        std::printf("%s: MISSED its goal of ratio %.2f\n", name.c_str(), goal);
        missedAGoal = true;
    }
}

// A data file of `records` records: the header, the settings, then groups (one in twenty,
// every fourth of them nested in the group before) and entries spread over them.
void WriteDataFile(const std::string& path, int records) {
    std::vector<DataRecord> file(static_cast<std::size_t>(records));
    const auto set = [&](int record, int field, const std::string& value) {
        file[static_cast<std::size_t>(record - 1)].SetField(
            field, EncodeValue(value, kKey, true, keyrack::FieldWidth(field)));
    };
    for (DataRecord& record : file) {
        record.Blank();
    }
    set(1, 5, std::to_string(kKey));
    file[0].SetField(6, std::to_string(records - 2));
    std::string group;
    for (int record = 3; record <= records; ++record) {
        const std::string key = keyrack::RecordKey(record);
        set(record, 9, keyrack::StoredKeyForm(key));
        if (record % 20 == 3) {
            set(record, 8, "Group " + std::to_string(record));
            if (record % 80 == 3 && !group.empty()) {
                set(record, 10, keyrack::StoredKeyForm(group));
            }
            group = key;
            continue;
        }
        set(record, 1, "Account " + std::to_string(record));
        set(record, 2, "https://site" + std::to_string(record) + ".example");
        set(record, 3, "user" + std::to_string(record));
        set(record, 4, "pw" + std::to_string(record * 7919));
        set(record, 5, "ALPHA");
        set(record, 6, "Y");
        set(record, 7, "8");
        set(record, 8, group);
        set(record, 10, keyrack::StoredKeyForm(group));
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const DataRecord& record : file) {
        out.write(record.bytes.data(), keyrack::RecordLength);
    }
}

// The whole file in one read into a buffer of its size: the least any load can do.
std::string PlainRead(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string content(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    return content;
}

void BenchLoadDataFile(const std::string& folder) {
    for (int records : {1000, 10000, 32000}) {
        const std::string path = folder + "/load-" + std::to_string(records) + ".rkd";
        WriteDataFile(path, records);
        std::size_t sink = 0;
        const auto [ours, baseline] = BestOfInTurns(
            [&] {
                keyrack::RecordStore store;
                store.LoadDataFile(path);
                sink += store.DataRecords.size();
            },
            [&] { sink += PlainRead(path).size(); });
        const std::string name = "LoadDataFile " + std::to_string(records) + " records";
        if (records == 32000) {
            ReportAgainstGoal(name, ours, baseline, 2.0);
        } else {
            Report(name, ours, baseline);
        }
        if (sink == 0) {
            std::puts("nothing was read");
        }
    }
}

// Answers every question with OK and every file chooser with file.
class SilentPrompter : public keyrack::platform::Prompter {
  public:
    QString file;
    Answer MessageBox(QWidget*, const QString&, Buttons, const QString&) override {
        return Answer::Ok;
    }
    QString InputBox(QWidget*, const QString&, const QString&) override { return {}; }
    std::optional<QString> AskText(QWidget*, const QString&, const QString&, bool) override {
        return std::nullopt;
    }
    QString FileName(QWidget*, const QString&, bool) override { return file; }
};

// A bare fill of a tree with the same texts, parents and icons as the program's tree.
void BareFill(QTreeWidget& tree, const std::vector<keyrack::PlannedNode>& plan,
              const std::vector<int>& parentOf) {
    tree.clear();
    const QIcon group = tree.style()->standardIcon(QStyle::SP_DirIcon);
    const QIcon entry = tree.style()->standardIcon(QStyle::SP_FileIcon);
    std::vector<QTreeWidgetItem*> items(plan.size());
    for (std::size_t i = 0; i < plan.size(); ++i) {
        auto* item = parentOf[i] < 0 ? new QTreeWidgetItem(&tree)
                                     : new QTreeWidgetItem(items[std::size_t(parentOf[i])]);
        item->setText(0, QString::fromStdString(plan[i].text));
        item->setIcon(0, plan[i].isGroup ? group : entry);
        items[i] = item;
    }
}

// The main window's tree with the 32,000-record file loaded into its store, not yet filled.
struct LoadedWindow {
    explicit LoadedWindow(const std::string& folder, int records = 32000,
                          const std::function<void(const std::string&)>& write = {})
        : path(folder + "/tree.rkd"),
          notices(prompter, area, session),
          sync(session, store, keyrack::SystemFileIo(), keyrack::platform::SystemRandom(), notices,
               nullptr),
          window(session, store, sync, notices, keyrack::platform::SystemRandom(), &area, &area) {
        if (write) {
            write(path);
        } else {
            WriteDataFile(path, records);
        }
        store.LoadDataFile(path);
        session.DataKey = kKey;
        session.DataFilePath = path;
    }

    std::string path;
    SilentPrompter prompter;
    keyrack::Session session;
    keyrack::RecordStore store;
    QWidget area;
    keyrack::Notices notices;
    keyrack::DataFileSync sync;
    keyrack::TreePane window;
};

void BenchLoadPasswordList(const std::string& folder) {
    LoadedWindow loaded(folder);
    keyrack::TreePane& window = loaded.window;
    const auto plan = keyrack::PlanTree(
        keyrack::ReadTreeRecords(loaded.store, kKey, keyrack::RecordCountInUse(loaded.store)));
    std::vector<int> parentOf(plan.size(), -1);
    std::unordered_map<std::string, int> position;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        position[plan[i].key] = static_cast<int>(i);
        if (!plan[i].parentKey.empty()) {
            parentOf[i] = position.at(plan[i].parentKey);
        }
    }
    QTreeWidget bare;
    const auto [ours, baseline] =
        BestOfInTurns([&] { window.LoadPasswordList(); }, [&] { BareFill(bare, plan, parentOf); });
    ReportAgainstGoal("LoadPasswordList 32000 records", ours, baseline, 1.5);
}

// Every record from 3 on a group whose parent is the group in the record after it: each group
// waits for one that comes later, the deepest chain a file can hold.
void WriteLaterParentsFile(const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const auto put = [&](DataRecord& record) {
        out.write(record.bytes.data(), keyrack::RecordLength);
    };
    DataRecord header;
    header.Blank();
    header.SetField(5, EncodeValue(std::to_string(kKey), kKey, true, 40));
    header.SetField(6, std::to_string(keyrack::MaxRecordNumber - 2));
    put(header);
    DataRecord settings;
    settings.Blank();
    put(settings);
    const auto encodedKey = [](int record) {
        return EncodeValue(keyrack::StoredKeyForm(keyrack::RecordKey(record)), kKey, true, 10);
    };
    for (int record = 3; record <= keyrack::MaxRecordNumber; ++record) {
        DataRecord group;
        group.Blank();
        group.SetField(8, EncodeValue("Group " + std::to_string(record), kKey, true, 100));
        group.SetField(9, encodedKey(record));
        if (record < keyrack::MaxRecordNumber) {
            group.SetField(10, encodedKey(record + 1));
        }
        put(group);
    }
}

std::vector<keyrack::TreeRecord> TreeRecordsOf(const std::string& path) {
    keyrack::RecordStore store;
    store.LoadDataFile(path);
    return keyrack::ReadTreeRecords(store, kKey, keyrack::RecordCountInUse(store));
}

void BenchPlanLaterParents(const std::string& folder) {
    const std::string crafted = folder + "/later-parents.rkd";
    const std::string ordinary = folder + "/ordinary.rkd";
    WriteLaterParentsFile(crafted);
    WriteDataFile(ordinary, 32000);
    const std::vector<keyrack::TreeRecord> craftedRecords = TreeRecordsOf(crafted);
    const std::vector<keyrack::TreeRecord> ordinaryRecords = TreeRecordsOf(ordinary);
    std::size_t sink = 0;
    const auto [ours, baseline] =
        BestOfInTurns([&] { sink += keyrack::PlanTree(craftedRecords).size(); },
                      [&] { sink += keyrack::PlanTree(ordinaryRecords).size(); });
    ReportAgainstGoal("PlanTree 32765 groups naming later parents", ours, baseline, 2.0);
    if (sink == 0) {
        std::puts("nothing was planned");
    }
}

// A drop moves the node and writes its one record; nothing is reloaded.
void BenchMoveEntry(const std::string& folder) {
    LoadedWindow loaded(folder);
    keyrack::TreePane& window = loaded.window;
    const std::string& path = loaded.path;
    window.LoadPasswordList();

    // The entry of record 4 goes back and forth between the groups of records 23 and 43.
    QTreeWidgetItem* groups[] = {window.NodeWithKey("K23"), window.NodeWithKey("K43")};
    int turn = 0;
    keyrack::FieldValues record;
    for (int field = 1; field <= keyrack::FieldCount; ++field) {
        record[field - 1] = loaded.store.ReadField(field, 5);
    }
    const auto [ours, baseline] =
        BestOfInTurns([&] { window.TreeView1_DragDrop("K4", groups[turn++ % 2]); },
                      [&] { loaded.store.WriteRecord(record, 5, path, false); });
    ReportAgainstGoal("Moving an entry in 32000 records", ours, baseline, 3.0);
    if (window.NodeWithKey("K4")->parent() != groups[(turn + 1) % 2]) {
        std::puts("the entry did not move");
    }
}

// Saving an edited entry as the window does it, the tree changed to match, against writing the
// same record through the store's journal alone: the cost of a save must not grow with the file.
double BenchSaveEntry(const std::string& folder, int records) {
    LoadedWindow loaded(folder, records);
    keyrack::TreePane& window = loaded.window;
    window.LoadPasswordList();
    constexpr int kRecord = 4;
    const std::string key = keyrack::RecordKey(kRecord);
    const std::string group = keyrack::RecordKey(3);
    keyrack::platform::RandomSource& random = keyrack::platform::SystemRandom();
    keyrack::EntryValues values{"Account 4", "https://site4.example", "user4", "pw", {}};
    keyrack::FieldValues stored;
    for (int field = 1; field <= keyrack::FieldCount; ++field) {
        stored[field - 1] = loaded.store.ReadField(field, kRecord);
    }
    int turn = 0;
    const auto [ours, baseline] = BestOfInTurns(
        [&] {
            values.title = ++turn % 2 == 0 ? "Account 4" : "Account 4 renamed";
            loaded.sync.Write(keyrack::EntryRecordFields(values, key, kRecord, group, kKey, random),
                              kRecord, keyrack::PendingWrite::Mode::Replace);
            window.ShowSavedEntry(kRecord, key);
        },
        [&] { loaded.store.WriteRecord(stored, kRecord, loaded.path, false); });
    ReportAgainstGoal("Saving one entry in " + std::to_string(records) + " records", ours, baseline,
                      1.5);
    if (window.view()->currentItem() != window.NodeWithKey(key)) {
        std::puts("the saved entry is not shown");
    }
    return ours;
}

void BenchSaveEntryAtTwoSizes(const std::string& folder) {
    const double small = BenchSaveEntry(folder, 1000);
    const double large = BenchSaveEntry(folder, 32000);
    std::printf("Saving one entry, 32000 against 1000 records: ratio %.2f\n", large / small);
    if (large > 1.2 * small) {
        std::puts("Saving one entry: MISSED its goal of ratio 1.20 between the sizes");
        missedAGoal = true;
    }
}

// Keystrokes on the crafted file of 32,765 groups, each inside the next, against the same
// keystrokes on the ordinary file: the shape of a file must not make a keystroke quadratic.
void BenchSearchChain(const std::string& folder) {
    std::filesystem::create_directories(folder + "/chain");
    std::filesystem::create_directories(folder + "/ordinary");
    LoadedWindow chain(folder + "/chain", 0, WriteLaterParentsFile);
    LoadedWindow ordinary(folder + "/ordinary");
    const auto typing = [](keyrack::TreePane& window) {
        window.LoadPasswordList();
        return [&window, all = false]() mutable {
            all = !all;
            window.searchBox()->setText(all ? "group" : "5");
            window.ApplySearchNow();
        };
    };
    const auto [ours, baseline] = BestOfInTurns(typing(chain.window), typing(ordinary.window));
    ReportAgainstGoal("Search keystroke, 32765 nested groups against 32000 records", ours, baseline,
                      10.0);
}

// Keystrokes that change nearly every entry while the groups stay in sight, from a text every
// entry holds to one that one entry in ten holds, against a bare pass that changes every
// item's hidden flag.
void BenchSearch(const std::string& folder) {
    LoadedWindow loaded(folder);
    keyrack::TreePane& window = loaded.window;
    const auto type = [&window](const char* text) {
        window.searchBox()->setText(QString::fromLatin1(text));
        window.ApplySearchNow();
    };

    // After loading, the box takes every node's texts from the records when it gets the focus.
    double focus = 1e300;
    double first = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        type("");
        window.LoadPasswordList();
        focus = std::min(focus, Milliseconds([&] {
                             QFocusEvent focusIn(QEvent::FocusIn, Qt::ShortcutFocusReason);
                             QApplication::sendEvent(window.searchBox(), &focusIn);
                         }));
        first = std::min(first, Milliseconds([&] { type("5.example"); }));
    }

    QTreeWidget bare;
    std::vector<QTreeWidgetItem*> items;
    for (int i = 0; i < window.view()->topLevelItemCount(); ++i) {
        bare.addTopLevelItem(window.view()->topLevelItem(i)->clone());
    }
    for (QTreeWidgetItemIterator it(&bare); *it != nullptr; ++it) {
        items.push_back(*it);
    }
    bool hide = false;
    bool showAll = false;
    const auto [ours, baseline] = BestOfInTurns(
        [&] {
            showAll = !showAll;
            type(showAll ? "account" : "5.example");
        },
        [&] {
            hide = !hide;
            for (QTreeWidgetItem* item : items) {
                item->setHidden(hide);
            }
        });
    std::printf("Search box focus after loading, 32000 records: %.2f ms\n", focus);
    Report("Search first keystroke, 32000 records", first, baseline);
    ReportAgainstGoal("Search keystroke, 32000 records", ours, baseline, 2.0);
    if (std::max(first, ours) > 50.0) {
        std::puts("Search keystroke: MISSED its goal of 50 ms");
        missedAGoal = true;
    }
}

// The import command from the file to the reloaded tree, against writing as many records,
// already encoded, one by one; both into a data file holding only its header.
void BenchImport(const std::string& folder) {
    constexpr int kRows = 10000;
    const std::string csvPath = folder + "/import.csv";
    const std::string path = folder + "/import.rkd";
    std::string csv = keyrack::CsvLine({"Group", "Title", "Username", "Password", "URL"});
    std::vector<keyrack::FieldValues> records(kRows);
    for (int row = 0; row < kRows; ++row) {
        const std::string n = std::to_string(row);
        const std::vector<std::string> values = {"Account " + n, "https://site" + n + ".example",
                                                 "user" + n, "pw" + n};
        csv += keyrack::CsvLine(
            {"Group " + std::to_string(row / 50), values[0], values[2], values[3], values[1]});
        for (int field = 1; field <= 4; ++field) {
            records[std::size_t(row)][std::size_t(field - 1)] =
                EncodeValue(values[std::size_t(field - 1)], kKey, true, 100);
        }
    }
    std::ofstream(csvPath, std::ios::binary) << csv;
    const auto freshFile = [&](keyrack::RecordStore& store) {
        std::filesystem::remove(path);
        store.LoadDataFile(path);
        keyrack::FieldValues header;
        header[4] = EncodeValue(std::to_string(kKey), keyrack::LoginKey, true, 100);
        header[5] = "0";
        store.WriteRecord(header, 1, path, false);
    };

    SilentPrompter prompter;
    prompter.file = QString::fromStdString(csvPath);
    keyrack::Session session;
    session.DataFilePath = path;
    session.DataKey = kKey;
    keyrack::RecordStore store;
    QWidget area;
    keyrack::Notices notices(prompter, area, session);
    keyrack::DataFileSync sync(session, store, keyrack::SystemFileIo(),
                               keyrack::platform::SystemRandom(), notices, nullptr);
    keyrack::TreePane tree(session, store, sync, notices, keyrack::platform::SystemRandom(), &area,
                           &area);
    QMenu fileMenu;
    keyrack::CsvCommands commands(session, store, sync, keyrack::SystemFileIo(),
                                  keyrack::platform::SystemRandom(), notices, fileMenu);
    QObject::connect(&commands, &keyrack::CsvCommands::imported, &tree,
                     &keyrack::TreePane::LoadPasswordList);
    const auto [ours, baseline] = BestOfInTurns(
        [&] {
            freshFile(store);
            commands.MNU_Import_Click();
        },
        [&] {
            keyrack::RecordStore store;
            freshFile(store);
            for (int row = 0; row < kRows; ++row) {
                store.WriteRecord(records[std::size_t(row)], row + 3, path, false);
            }
        },
        3);  // every record write waits for the disk, so a run takes seconds
    ReportAgainstGoal("Import 10000 CSV rows", ours, baseline, 3.0);
}

// The bench file with its per-file key stored as the program stores it, so that a merge
// takes it for a data file.
std::string KeyedContent(const std::string& path) {
    keyrack::RecordList records = keyrack::RecordsOf(PlainRead(path));
    records[1].SetField(5, EncodeValue(std::to_string(kKey), keyrack::LoginKey, true, 100));
    std::string content;
    for (std::size_t n = 1; n < records.size(); ++n) {
        content.append(records[n].bytes.data(), keyrack::RecordLength);
    }
    return content;
}

// Another computer changed one entry; this one takes the file before writing its own change
// to another entry, against loading the file.
void BenchTakeOneChange(const std::string& folder) {
    const std::string path = folder + "/take.rkd";
    const std::string theirs = folder + "/theirs.rkd";
    WriteDataFile(path, 32000);
    const std::string base = KeyedContent(path);
    std::string changed = base;
    changed.replace(3 * keyrack::RecordLength, 100,
                    keyrack::EncodeValue("Changed elsewhere", kKey, true, 100));
    const keyrack::PendingWrite pending{5, {EncodeValue("Changed here", kKey, true, 100)}};
    double best = 1e300;
    double bestLoad = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << base;
        keyrack::RecordStore store;
        store.LoadDataFile(path);
        std::ofstream(theirs, std::ios::binary | std::ios::trunc) << changed;
        std::filesystem::rename(theirs, path);
        best =
            std::min(best, Milliseconds([&] {
                         keyrack::TakeChangesFromDisk(store, keyrack::SystemFileIo(), path, kKey,
                                                      keyrack::platform::SystemRandom(), {pending});
                     }));
        bestLoad = std::min(bestLoad, Milliseconds([&] {
                                keyrack::RecordStore reload;
                                reload.LoadDataFile(path);
                            }));
    }
    Report("Taking a one-record change in 32000 records", best, bestLoad);
}

// A conflict copy where one entry in ten differs from the data file, against loading the copy.
void BenchConflictCopy(const std::string& folder) {
    const std::string path = folder + "/copy.rkd";
    WriteDataFile(path, 32000);
    std::string copy = KeyedContent(path);
    keyrack::RecordStore store;
    store.LoadDataFile(path);
    for (int record = 4; record <= 32000; record += 10) {
        copy.replace(static_cast<std::size_t>(record - 1) * keyrack::RecordLength + 300, 100,
                     EncodeValue("other" + std::to_string(record), kKey, true, 100));
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc) << copy;
    const auto [ours, baseline] = BestOfInTurns(
        [&] {
            keyrack::PlanConflictCopyMerge(store.DataRecords, kKey, copy,
                                           keyrack::platform::SystemRandom());
        },
        [&] {
            keyrack::RecordStore reload;
            reload.LoadDataFile(path);
        });
    Report("Planning the merge of a 32000-record conflict copy", ours, baseline);
}

}  // namespace

// The key derivation at the cost new protected files get, on a line of its own: it is paid once
// per login or unlock. Then opening every slot of a protected file of 32,000 records (read and
// check, the derivation left out) against loading the same records from a plain file.
void BenchProtectedFile(const std::string& folder) {
    const keyrack::Credentials login{"bench", "a long enough password"};
    const std::string header =
        *keyrack::MakeProtectedFile({DataRecord{}}, login, "", keyrack::KdfParams::Default());
    double best = 1e300;
    for (int run = 0; run < 3; ++run) {
        best = std::min(best, Milliseconds([&] { keyrack::OpenProtected(header, login); }));
    }
    const keyrack::KdfParams cost = keyrack::KdfParams::Default();
    std::printf("Key derivation (Argon2id, %llu MiB, %llu passes): %.0f ms\n",
                static_cast<unsigned long long>(cost.memLimit >> 20),
                static_cast<unsigned long long>(cost.opsLimit), best);

    const std::string plainPath = folder + "/protected-plain.rkd";
    WriteDataFile(plainPath, 32000);
    keyrack::RecordStore plain;
    plain.LoadDataFile(plainPath);
    plain.DataRecords.resize(plain.DataRecords.size() - 1);
    const std::string protectedPath = folder + "/protected.rkd";
    {
        std::ofstream out(protectedPath, std::ios::binary | std::ios::trunc);
        out << *keyrack::MakeProtectedFile(plain.DataRecords, login, "",
                                           keyrack::KdfParams::Smallest());
    }
    const auto key = keyrack::OpenProtected(PlainRead(protectedPath), login);
    std::size_t sink = 0;
    const auto [ours, baseline] = BestOfInTurns(
        [&] { sink += keyrack::OpenSlots(*key, PlainRead(protectedPath)).records.size(); },
        [&] {
            keyrack::RecordStore store;
            store.LoadDataFile(plainPath);
            sink += store.DataRecords.size();
        });
    ReportAgainstGoal("Open protected slots 32000 records", ours, baseline, 2.0);
    if (sink == 0) {
        std::printf("nothing opened\n");
    }
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "keyrack-bench";
    std::filesystem::create_directories(folder);
    BenchLoadDataFile(folder.string());
    BenchLoadPasswordList(folder.string());
    BenchMoveEntry(folder.string());
    BenchSaveEntryAtTwoSizes(folder.string());
    BenchSearch(folder.string());
    BenchSearchChain(folder.string());
    BenchPlanLaterParents(folder.string());
    BenchImport(folder.string());
    BenchTakeOneChange(folder.string());
    BenchConflictCopy(folder.string());
    BenchProtectedFile(folder.string());
    std::filesystem::remove_all(folder);
    return missedAGoal ? 1 : 0;
}
