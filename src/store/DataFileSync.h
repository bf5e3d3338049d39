#pragma once

#include <QObject>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "store/ChangesFromDisk.h"

class QFileSystemWatcher;
class QTimer;

namespace keyrack {

class Notices;
struct Session;

// The data file kept in step with other computers through a file-sync engine. Every write the
// user makes passes through here: what another program wrote since the file was last read or
// written is loaded first and the change merged into it, so that nothing typed on either
// computer is overwritten. While the user is only looking, a change seen on disk is loaded
// within about a second, and the engine's conflict copies are offered for merging.
class DataFileSync : public QObject {
    Q_OBJECT

  public:
    DataFileSync(Session& session, RecordStore& store, FileIo& files,
                 platform::RandomSource& random, Notices& notices, QObject* parent);

    enum class WriteResult {
        Written,
        // Merged into what another program wrote, which was loaded (storeReloaded was sent).
        Merged,
        // The user was told why; the store may have been loaded from disk meanwhile.
        NotWritten,
    };
    // Unless the result is Written, the tree was possibly built anew: nodes held from before
    // are gone.
    WriteResult Write(const std::vector<PendingWrite>& writes);
    WriteResult Write(const FieldValues& fields, int record,
                      PendingWrite::Mode mode = PendingWrite::Mode::Update);
    // Loads what another program wrote, with nothing of this program's to add; false after
    // telling the user that the file could not be read.
    bool TakeChanges();

    // Offers the conflict copies lying beside the data file, then watches the file and its
    // folder.
    void StartWatching();
    // While locked, changes wait as they do during an edit.
    void SetLocked(bool locked) { locked_ = locked; }
    // Changes also wait while busy says so: a label edited in place would lose what was typed.
    void WaitWhile(std::function<bool()> busy) { busy_ = std::move(busy); }

    // Handlers: a file event restarts the pause, and the pause's end takes the change.
    void Watcher_Changed();
    void TimerSync_Timer();

  signals:
    // The store holds the file as found on disk: the tree is to be built again, keeping what
    // the user looks at.
    void storeReloaded();

  private:
    // Tells the user what taking the change came to; false unless the change may go on.
    bool Report(const ChangesTaken& taken, const FileIdentity& before);
    void Reloaded();
    void OfferConflictCopies();
    void MergeConflictCopy(const std::string& folder, const std::string& name);

    Session& session_;
    RecordStore& store_;
    FileIo& files_;
    platform::RandomSource& random_;
    Notices& notices_;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* TimerSync = nullptr;
    bool locked_ = false;
    std::function<bool()> busy_;
    // Each copy is asked about once while the program runs.
    std::set<std::string> offered_;
};

}  // namespace keyrack
