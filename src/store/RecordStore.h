#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/FileIo.h"
#include "store/FreeRecordIndex.h"

// The data file: fixed-length records of ten space-padded single-byte (Windows-1252) fields.
// The whole file is held in memory; every change rewrites one record in memory and on disk.
namespace keyrack {

constexpr int RecordLength = 640;
constexpr int FieldCount = 10;
constexpr std::array<int, FieldCount> FieldWidths = {100, 100, 100, 100, 40, 40, 40, 100, 10, 10};
// Record numbers are signed 16-bit in the file's design.
constexpr int MaxRecordNumber = 32767;
// Records 1 (header) and 2 (settings) come before the groups and entries.
constexpr int FirstTreeRecord = 3;

// Byte offset of field (1..10) inside a record.
int FieldOffset(int field);
int FieldWidth(int field);

struct DataRecord {
    // Asks for a record whose bytes are left unset, for a writer that sets every one of them:
    // clearing first would cost as much as the writing.
    struct Unfilled {};

    // A record made in memory and never assigned holds NUL bytes.
    DataRecord() : bytes{} {}
    explicit DataRecord(Unfilled) {}

    std::array<char, RecordLength> bytes;

    std::string Field(int field) const;
    // Left-aligned, cut to the field's width or padded with spaces.
    void SetField(int field, const std::string& value);
    void Blank();
};

// Plain: the cipher's Windows-1252 digits padded with spaces. Protected: UTF-8 values padded with
// NULs, each record sealed in its own slot.
enum class FileKind { Plain, Protected };

class ProtectedSession;
struct Credentials;
struct KdfParams;

// Values for the ten fields of a record, index 0 = field 1.
using FieldValues = std::array<std::string, FieldCount>;

// New fields of one record in the form the file keeps them: field k takes its bytes from
// `stored` when bit k - 1 of `fields` is set, and keeps what the record holds otherwise.
struct StoredFields {
    int record = 0;
    unsigned fields = 0;
    DataRecord stored;
};

// Records written together: changed fields of records the store holds, and whole records past
// its end, which wait in grown where DataRecords is to hold them (element n is record n), so
// that the batch's write takes them in without copying them. The elements before grownFrom are
// room for the records the store holds, filled in by the write.
struct RecordBatch {
    std::vector<StoredFields> changes;
    std::vector<DataRecord> grown;  // empty when no record is added past the end
    std::size_t grownFrom = 0;      // the store's DataRecords.size() when grown was made
};

// How a load ended. Only a loaded store may be written: after any other outcome the data
// file was left as it was and the program must not go on with it.
struct LoadResult {
    enum class Status {
        Loaded,
        Unreadable,          // the file could not be read whole
        ConversionDeclined,  // an old-format file the user chose not to convert
        ConversionFailed,    // the converted file or the old file's copy could not be written
        Locked,              // a protected file: nothing is read until Unlock opens it
    };
    Status status = Status::Loaded;
    std::string path;  // the file that could not be read or written
    std::string reason;

    explicit operator bool() const { return status == Status::Loaded; }
};

// What another program changed in the loaded plain file, found by reading the file and
// comparing it with memory.
struct ChangedOnDisk {
    FileIdentity identity;  // taken just before the read
    long long length = 0;
    // The file's first bytes, as a load looks at them before the records.
    std::string start;
    // The records that differ from memory's, with the file's bytes, by record number.
    std::vector<std::pair<int, DataRecord>> records;
};

// A data file's bytes as they were just written to path, laid out as DataRecords holds them:
// element n is record n, with room for a partial last record and the all-NUL record after it.
struct WrittenFile {
    std::string path;
    FileIdentity identity;  // the file as the write left it
    long long length = 0;
    std::vector<DataRecord> records;
};

// The whole file read into records as WrittenFile lays them out, with the length it was read at.
// On failure records holds the two all-NUL records of an empty store.
IoResult ReadIntoRecordLayout(FileIo& files, const std::string& path,
                              std::vector<DataRecord>& records, long long& length);

class RecordStore {
  public:
    explicit RecordStore(FileIo& files = SystemFileIo());
    // Wipes the records a protected file decrypted into memory.
    ~RecordStore();

    // Element n mirrors record n of the file; element 0 is never used. After a load the last
    // element is an all-NUL record beyond the file's end.
    std::vector<DataRecord> DataRecords = std::vector<DataRecord>(2);
    // Whole records found in the file at the last load; a partial last record is left out and
    // completed by the next write of that record.
    long FileRecordCount = 0;

    // Asked before an old-format file is converted; false leaves the file as it is.
    using ConvertQuestion = std::function<bool()>;

    // Replaces DataRecords by the file's content, creating the file (owner-only) when missing.
    // A record left in the journal by a cut write is completed first. An old-format file is
    // converted when confirmOldFormat agrees, keeping the old file as "OLD_cli.rkd" beside it.
    LoadResult LoadDataFile(const std::string& path, const ConvertQuestion& confirmOldFormat = {});
    // Like LoadDataFile, but only the records that changed are taken into memory, unless the
    // file is no longer a plain file of today's layout with nothing left in its journal: it is
    // then read again and loaded whole.
    LoadResult TakeChangedRecords(const std::string& path, ChangedOnDisk changed);

    // Like LoadDataFile, reading only what a login needs: records 1 and 2, or a protected
    // file's header. Nothing can be written until LoadDataFile has read the rest.
    LoadResult LoadLoginRecords(const std::string& path, const ConvertQuestion& confirmOldFormat);
    // The next load of written.path takes written's bytes rather than reading the file again,
    // as long as the file is still the one written then; any other load forgets them.
    void ExpectLoad(WrittenFile written) { expected_ = std::move(written); }

    // Opens the protected file the last load found locked, reading it again: the records and
    // the key are in memory from here on. False, with nothing read, when the login is not the
    // file's or the file can no longer be read.
    bool Unlock(const Credentials& login);
    // The hint a protected file's header shows before the login; none when the header is
    // damaged (no login can then open the file).
    std::optional<std::string> ProtectedHint() const;
    // Reads the unlocked protected file again, as another program left it, with the key it was
    // opened with. False, with memory as it was, when it cannot be read or is another file.
    bool ReloadUnlocked();
    // The records of a copy of the unlocked protected file (a sync engine's conflict copy),
    // opened with its key. None when the copy is another file's or its header is damaged.
    std::optional<std::vector<DataRecord>> OpenOwnCopy(std::string_view content) const;
    // Wipes the decrypted records and forgets the key; Unlock opens the file again.
    void Lock();
    bool IsLocked() const { return kind_ == FileKind::Protected && !session_; }
    FileKind Kind() const { return kind_; }
    // Records of the unlocked protected file that failed their check: never shown or written.
    std::vector<int> UnreadableRecords() const;

    // Replaces the loaded plain file by its protected form under login, from the records as
    // memory holds them (values decoded with dataKey), then opens it. False, with the plain
    // file as it was, when it could not be replaced; true with the store locked should the
    // new file not open again.
    bool Protect(const Credentials& login, const std::string& hint, const KdfParams& params,
                 int dataKey);
    // Seals the unlocked protected file's key for a new login and hint; the records stay as
    // they are. False, with the file as it was, when current is not the file's login or the
    // file could not be written.
    bool ChangeProtectedLogin(const Credentials& current, const Credentials& next,
                              const std::string& hint, const KdfParams& params);

    // Plain: the field's text with NULs removed and spaces trimmed (also cleaned in memory); empty
    // for a record beyond the upper bound or a field outside 1..10. Never touches the disk.
    std::string ReadField(int field, int record);
    // Plain: ReadField's text seen in place, for a field that needs no cleaning (the common
    // case), so that a reader of every record copies nothing; nothing otherwise. The view
    // lasts until the record changes.
    std::optional<std::string_view> CleanPlainField(int field, int record) const;

    // Protected: the field's UTF-8 bytes without their NUL padding, spaces kept.
    //
    // Non-blank values overwrite their field, blank ones leave it as it was; clear blanks the
    // whole record whatever is given. The record is then written and flushed to the file
    // through the journal. A file that went away or was replaced since the load is first
    // written whole again from memory; the file is never made from the one record alone.
    // Returns whether it reached the disk; when it did not, memory and file are put back.
    bool WriteRecord(const FieldValues& fields, int record, const std::string& path, bool clear);

    // Many WriteRecord changes and new records as one: the file is replaced whole from memory
    // in one step, so that it holds all of them or none, whatever happens on the way. Returns
    // whether they reached the disk; when they did not, memory and file are as they were. A
    // batch grown for a store of another size is refused.
    bool WriteRecords(RecordBatch batch, const std::string& path);
    // What WriteRecord would change in the record, without the clear, for WriteRecords.
    StoredFields InStoredForm(int record, const FieldValues& fields) const;

    // Like WriteRecord, but every field takes its given value: a blank value empties the field.
    bool ReplaceRecord(const FieldValues& fields, int record, const std::string& path);

    // The lowest record from `from` on whose ten fields are all empty, else one past the
    // upper bound.
    int FindFreeRecord(int from = 1);

    // The highest record from `from` on that is not free; from - 1 when all are free.
    int HighestRecordInUse(int from = 1);

    int UpperBound() const { return static_cast<int>(DataRecords.size()) - 1; }

    // The file as last read or written, to tell whether another program changed it since.
    const FileIdentity& LoadedIdentity() const { return loadedIdentity_; }
    // The caller found that the file on disk holds what memory holds although it was touched
    // or copied back: it is taken as the loaded one, so the next write does not rewrite it.
    void KeepIdentity(const FileIdentity& identity) { loadedIdentity_ = identity; }

  private:
    LoadResult Load(const std::string& path, const ConvertQuestion& confirmOldFormat,
                    bool loginOnly);
    // The first count bytes ReadIntoRecords read.
    std::string BytesInRecords(long long count) const;
    template <typename Change>
    bool CommitRecord(int record, const std::string& path, Change change);
    // Makes path the loaded file again when it is missing or another file: the records the
    // file held are written whole, through a temporary file.
    bool EnsureFileIsTheLoadedOne(const std::string& path);
    // Writes one record through the journal; on failure the file is put back as it was.
    bool WriteThroughJournal(const std::string& path, int record, const DataRecord& before);
    LoadResult Convert(const std::string& path, std::string& content);
    // No record of a cut write waits in the journal to be written into the file.
    bool JournalHoldsNothing();
    bool IsFree(int record);
    void SetValue(DataRecord& target, int field, const std::string& value) const;
    // WriteRecord's change to one record in memory.
    void Overwrite(DataRecord& target, const FieldValues& fields, bool clear) const;
    // The record as its place in the file holds it, and where that place starts.
    std::string StoredForm(int record, const DataRecord& plain) const;
    long long StoredOffset(int record) const;
    // Records (plain) or slots (protected, a cut one counted) the file's length holds.
    long long StoredRecordCount() const;
    std::string WholeFileFromMemory(long long records) const;
    // A plain file's first records as memory holds them, which is as the file holds them.
    std::string_view PlainRecordsInMemory(long long records) const;

    FileIo* files_;
    std::string loadedPath_;
    FreeRecordIndex freeRecords_;
    FileIdentity loadedIdentity_;
    // Bytes the data file holds, a partial last record included.
    long long fileLength_ = 0;
    bool writable_ = true;
    // The journal holds no entry still to be written: it was looked at since the load or the
    // last failed write.
    bool journalSettled_ = false;
    FileKind kind_ = FileKind::Plain;
    // Shared by a copy of the store, which reads the same open file.
    std::shared_ptr<ProtectedSession> session_;
    std::optional<WrittenFile> expected_;
};

}  // namespace keyrack
