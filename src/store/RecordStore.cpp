#include "store/RecordStore.h"

#include <algorithm>
#include <cstring>

#include "common/Strings.h"
#include "store/DataFileCheck.h"
#include "store/OldFormat.h"
#include "store/ProtectedRecord.h"
#include "store/ProtectedSession.h"
#include "store/RecordJournal.h"

namespace keyrack {

namespace {

std::string RecordBytes(const DataRecord& record) {
    return std::string(record.bytes.data(), RecordLength);
}

long long RecordOffset(int record) {
    return static_cast<long long>(record - 1) * RecordLength;
}

bool IsValidField(int field) {
    return field >= 1 && field <= FieldCount;
}

// What a login looks at: the header and the settings records, or a protected file's header.
constexpr std::size_t kLoginBytes = std::max<std::size_t>(2 * RecordLength, ProtectedHeaderLength);

}  // namespace

int FieldOffset(int field) {
    static constexpr int kOffsets[FieldCount] = {0, 100, 200, 300, 400, 440, 480, 520, 620, 630};
    return kOffsets[field - 1];
}

int FieldWidth(int field) {
    return FieldWidths[field - 1];
}

std::string DataRecord::Field(int field) const {
    return std::string(bytes.data() + FieldOffset(field), FieldWidth(field));
}

void DataRecord::SetField(int field, const std::string& value) {
    const int width = FieldWidth(field);
    char* start = bytes.data() + FieldOffset(field);
    const std::size_t kept = std::min<std::size_t>(value.size(), width);
    std::memcpy(start, value.data(), kept);
    std::memset(start + kept, ' ', width - kept);
}

void DataRecord::Blank() {
    bytes.fill(' ');
}

RecordStore::RecordStore(FileIo& files) : files_(&files) {}

RecordStore::~RecordStore() {
    WipeRecords(DataRecords);
}

LoadResult RecordStore::LoadDataFile(const std::string& path,
                                     const ConvertQuestion& confirmOldFormat) {
    return Load(path, confirmOldFormat, false);
}

LoadResult RecordStore::LoadLoginRecords(const std::string& path,
                                         const ConvertQuestion& confirmOldFormat) {
    return Load(path, confirmOldFormat, true);
}

LoadResult RecordStore::Load(const std::string& path, const ConvertQuestion& confirmOldFormat,
                             bool loginOnly) {
    Lock();
    kind_ = FileKind::Plain;
    FileRecordCount = 0;
    loadedPath_ = path;
    loadedIdentity_ = {};
    fileLength_ = 0;
    journalSettled_ = false;
    // Until the load succeeds memory is not the file, and writing it back would destroy it.
    writable_ = false;

    const FileIdentity found = files_->Identity(path);
    if (!found.unknownBecause.empty()) {
        return {LoadResult::Status::Unreadable, path, found.unknownBecause};
    }
    std::optional<WrittenFile> written = std::exchange(expected_, std::nullopt);
    // Bytes just written there are the file's as long as nothing has replaced or changed it.
    const bool writtenIsTheFile = written && !loginOnly && written->path == path && found.exists &&
                                  written->identity == found &&
                                  written->identity.length == found.length &&
                                  written->identity.modified == found.modified;
    std::string content;
    long long length = 0;
    // A whole file is read straight into the records, so that it is never in memory twice.
    bool inRecords = false;
    const auto readFile = [&] {
        if (loginOnly) {
            return files_->ReadStart(path, kLoginBytes, content, length);
        }
        std::string().swap(content);
        inRecords = true;
        // Taken once: a second reading follows a journal written into the file since.
        if (writtenIsTheFile && written) {
            DataRecords.swap(written->records);
            length = written->length;
            written.reset();
            return IoResult::Success();
        }
        return ReadIntoRecordLayout(*files_, path, DataRecords, length);
    };
    if (!found.exists) {
        // A journal without its file holds no login and is of no use.
        DropJournal(*files_, path);
        if (const IoResult created = files_->CreateWith(path, ""); !created) {
            // Only a folder that cannot take the file goes on, with a store every write of
            // which fails; a file that turned up meanwhile, or one the system cannot tell
            // about, is never taken for missing.
            const FileIdentity now = files_->Identity(path);
            if (now.exists || !now.unknownBecause.empty()) {
                return {LoadResult::Status::Unreadable, path, created.reason};
            }
        }
    } else if (const IoResult readNow = readFile(); !readNow) {
        return {LoadResult::Status::Unreadable, path, readNow.reason};
    }
    const std::string start = inRecords ? BytesInRecords(std::min<long long>(length, kLoginBytes))
                                        : content.substr(0, kLoginBytes);
    if (IsProtectedFile(start)) {
        DataRecords.assign(2, DataRecord{});
        // A write a crash cut short is completed before the file is next read, at Unlock.
        if (const IoResult replayed = ReplayJournal(*files_, path); !replayed) {
            return {LoadResult::Status::Unreadable, JournalPath(path), replayed.reason};
        }
        files_->RestrictToOwner(path);
        kind_ = FileKind::Protected;
        return {LoadResult::Status::Locked, path, {}};
    }
    if (IsOldFormat(start, length)) {
        // A journal beside an old file cannot be one of its records in today's layout.
        if (const IoResult dropped = DropJournal(*files_, path); !dropped) {
            return {LoadResult::Status::Unreadable, JournalPath(path), dropped.reason};
        }
        if (!confirmOldFormat || !confirmOldFormat()) {
            return {LoadResult::Status::ConversionDeclined, path, {}};
        }
        // The conversion takes every record.
        if (inRecords) {
            content = BytesInRecords(length);
            inRecords = false;
        } else if (const IoResult whole = loginOnly ? files_->ReadAll(path, content) : IoResult{};
                   !whole) {
            return {LoadResult::Status::Unreadable, path, whole.reason};
        }
        if (LoadResult converted = Convert(path, content); !converted) {
            return converted;
        }
    } else if (const FileIdentity journal = files_->Identity(JournalPath(path));
               found.exists && (journal.exists || !journal.unknownBecause.empty())) {
        if (const IoResult replayed = ReplayJournal(*files_, path); !replayed) {
            return {LoadResult::Status::Unreadable, JournalPath(path), replayed.reason};
        }
        if (const IoResult readAgain = readFile(); !readAgain) {
            return {LoadResult::Status::Unreadable, path, readAgain.reason};
        }
    }
    // A file others may read keeps no secret; the program's own files are its owner's alone.
    files_->RestrictToOwner(path);
    loadedIdentity_ = files_->Identity(path);
    fileLength_ = length;

    if (inRecords) {
        FileRecordCount = static_cast<long>(length / RecordLength);
        // A partial last record is left out, like any record beyond the file's end.
        DataRecords[static_cast<std::size_t>(FileRecordCount) + 1].bytes.fill('\0');
    } else {
        FileRecordCount = static_cast<long>(content.size() / RecordLength);
        const long records = std::max(FileRecordCount, 1L);
        DataRecords.resize(static_cast<std::size_t>(records) + 2);
        for (long n = 1; n <= FileRecordCount; ++n) {
            std::memcpy(DataRecords[n].bytes.data(),
                        content.data() + static_cast<std::size_t>(n - 1) * RecordLength,
                        RecordLength);
        }
    }
    // The rest of the file is read before anything may be written.
    writable_ = !loginOnly;
    return {};
}

LoadResult RecordStore::TakeChangedRecords(const std::string& path, ChangedOnDisk changed) {
    const bool inPlace = kind_ == FileKind::Plain && writable_ && path == loadedPath_ &&
                         changed.length % RecordLength == 0 && !IsProtectedFile(changed.start) &&
                         !IsOldFormat(changed.start, changed.length) && JournalHoldsNothing();
    if (!inPlace) {
        return LoadDataFile(path);
    }
    files_->RestrictToOwner(path);
    const long records = static_cast<long>(changed.length / RecordLength);
    // The shape a load gives: the file's records and all-NUL ones after them.
    const std::size_t size = static_cast<std::size_t>(std::max(records, 1L)) + 2;
    const bool sameSize = size == DataRecords.size();
    DataRecords.resize(size);
    for (std::size_t n = static_cast<std::size_t>(records) + 1; n < size; ++n) {
        DataRecords[n].bytes.fill('\0');
    }
    for (auto& [record, bytes] : changed.records) {
        DataRecords[static_cast<std::size_t>(record)] = bytes;
    }
    if (sameSize) {
        for (const auto& taken : changed.records) {
            freeRecords_.Update(taken.first, IsFree(taken.first));
        }
    } else {
        freeRecords_.Forget();
    }
    FileRecordCount = records;
    fileLength_ = changed.length;
    loadedIdentity_ = changed.identity;
    return {};
}

bool RecordStore::JournalHoldsNothing() {
    if (journalSettled_) {
        return true;
    }
    const FileIdentity journal = files_->Identity(JournalPath(loadedPath_));
    return !journal.exists && journal.unknownBecause.empty();
}

IoResult ReadIntoRecordLayout(FileIo& files, const std::string& path,
                              std::vector<DataRecord>& records, long long& length) {
    static_assert(sizeof(DataRecord) == RecordLength, "records lie end to end in memory");
    const IoResult read = files.ReadInto(path, [&](std::size_t size) {
        length = static_cast<long long>(size);
        // Room for a partial last record, and the all-NUL record beyond the file's end.
        records.assign(std::max<std::size_t>(size / RecordLength, 1) + 2, DataRecord{});
        return reinterpret_cast<char*>(records.data() + 1);
    });
    if (!read) {
        records.assign(2, DataRecord{});
    }
    return read;
}

std::string RecordStore::BytesInRecords(long long count) const {
    return std::string(reinterpret_cast<const char*>(DataRecords.data() + 1),
                       static_cast<std::size_t>(count));
}

// The old file is kept first, so that at every moment either the data file or its copy holds
// the old records; each is written to a temporary file and renamed into place.
LoadResult RecordStore::Convert(const std::string& path, std::string& content) {
    const std::string copy = OldFormatCopyPath(path);
    if (const IoResult kept = ReplaceWhole(*files_, copy, content); !kept) {
        return {LoadResult::Status::ConversionFailed, copy, kept.reason};
    }
    std::string converted = ConvertOldFormat(content);
    if (const IoResult written = ReplaceWhole(*files_, path, converted); !written) {
        return {LoadResult::Status::ConversionFailed, path, written.reason};
    }
    content = std::move(converted);
    return {};
}

bool RecordStore::Unlock(const Credentials& login) {
    if (kind_ != FileKind::Protected) {
        return false;
    }
    std::string content;
    if (!files_->ReadAll(loadedPath_, content)) {
        return false;
    }
    std::optional<ProtectedSession> opened = ProtectedSession::Open(content, login, DataRecords);
    if (!opened) {
        return false;
    }
    session_ = std::make_shared<ProtectedSession>(std::move(*opened));
    freeRecords_.Forget();
    loadedIdentity_ = files_->Identity(loadedPath_);
    fileLength_ = static_cast<long long>(content.size());
    FileRecordCount = static_cast<long>(StoredRecordCount());
    writable_ = true;
    return true;
}

std::optional<std::string> RecordStore::ProtectedHint() const {
    std::string content;
    long long length = 0;
    if (session_) {
        content = session_->Header();
    } else if (kind_ != FileKind::Protected ||
               !files_->ReadStart(loadedPath_, ProtectedHeaderLength, content, length)) {
        return std::nullopt;
    }
    const std::optional<ProtectedHeader> header = ProtectedHeader::Parse(content);
    return header ? std::optional(header->hint) : std::nullopt;
}

bool RecordStore::ReloadUnlocked() {
    if (!session_) {
        return false;
    }
    long long length = 0;
    std::optional<ProtectedSession> opened =
        session_->ReadAgain(*files_, loadedPath_, length, DataRecords);
    if (!opened) {
        return false;
    }
    session_ = std::make_shared<ProtectedSession>(std::move(*opened));
    loadedIdentity_ = files_->Identity(loadedPath_);
    fileLength_ = length;
    FileRecordCount = static_cast<long>(StoredRecordCount());
    return true;
}

std::optional<std::vector<DataRecord>> RecordStore::OpenOwnCopy(std::string_view content) const {
    std::vector<DataRecord> records;
    const std::optional<ProtectedSession> opened =
        session_ ? session_->Reopen(content, records) : std::nullopt;
    // Slots that all fail their check under the file's own id were sealed with another key.
    const long long slots =
        (static_cast<long long>(content.size()) - static_cast<long long>(ProtectedHeaderLength) +
         static_cast<long long>(SlotLength) - 1) /
        static_cast<long long>(SlotLength);
    if (!opened || (slots > 0 && static_cast<long long>(opened->Unreadable().size()) >= slots)) {
        WipeRecords(records);
        return std::nullopt;
    }
    return records;
}

void RecordStore::Lock() {
    freeRecords_.Forget();
    WipeRecords(DataRecords);
    DataRecords.assign(2, DataRecord{});
    FileRecordCount = 0;
    session_.reset();
    writable_ = false;
}

std::vector<int> RecordStore::UnreadableRecords() const {
    return session_ ? session_->Unreadable() : std::vector<int>{};
}

bool RecordStore::Protect(const Credentials& login, const std::string& hint,
                          const KdfParams& params, int dataKey) {
    // The plain file is made whole first, so that a failure below leaves a consistent one.
    if (!writable_ || kind_ != FileKind::Plain || !EnsureFileIsTheLoadedOne(loadedPath_) ||
        !ReplayJournal(*files_, loadedPath_)) {
        return false;
    }
    const auto end =
        DataRecords.begin() + std::min<long long>(StoredRecordCount(), UpperBound()) + 1;
    std::vector<DataRecord> converted =
        ProtectedFormOfPlainRecords(std::vector<DataRecord>(DataRecords.begin(), end), dataKey);
    const std::optional<std::string> file = MakeProtectedFile(converted, login, hint, params);
    WipeRecords(converted);
    if (!file || !ReplaceWhole(*files_, loadedPath_, *file)) {
        return false;
    }
    const std::string path = loadedPath_;
    LoadDataFile(path);
    Unlock(login);
    return true;
}

bool RecordStore::ChangeProtectedLogin(const Credentials& current, const Credentials& next,
                                       const std::string& hint, const KdfParams& params) {
    if (!session_ || !writable_ || !EnsureFileIsTheLoadedOne(loadedPath_)) {
        return false;
    }
    std::optional<std::string> header =
        ChangeLogin(session_->Header(), current, next, hint, params);
    std::string content;
    if (!header || !files_->ReadAll(loadedPath_, content) ||
        content.size() < ProtectedHeaderLength ||
        !ReplaceWhole(*files_, loadedPath_, *header + content.substr(ProtectedHeaderLength))) {
        return false;
    }
    session_->ReplaceHeader(std::move(*header));
    loadedIdentity_ = files_->Identity(loadedPath_);
    return true;
}

std::string RecordStore::ReadField(int field, int record) {
    if (!IsValidField(field) || record < 0 || record > UpperBound()) {
        return {};
    }
    if (kind_ == FileKind::Protected) {
        return ProtectedField(DataRecords[record], field);
    }
    if (const auto clean = CleanPlainField(field, record)) {
        return std::string(*clean);
    }
    DataRecord& target = DataRecords[record];
    std::string text(target.bytes.data() + FieldOffset(field),
                     static_cast<std::size_t>(FieldWidth(field)));
    text = ReplaceChar(text, '\0', "");
    target.SetField(field, text);
    return text;
}

std::optional<std::string_view> RecordStore::CleanPlainField(int field, int record) const {
    if (kind_ == FileKind::Protected || !IsValidField(field) || record < 0 ||
        record > UpperBound()) {
        return std::nullopt;
    }
    const char* start = DataRecords[record].bytes.data() + FieldOffset(field);
    const std::size_t width = static_cast<std::size_t>(FieldWidth(field));
    if (std::memchr(start, '\0', width) != nullptr || (width > 0 && start[0] == ' ')) {
        return std::nullopt;
    }
    std::size_t length = width;
    while (length > 0 && start[length - 1] == ' ') {
        --length;
    }
    return std::string_view(start, length);
}

template <typename Change>
bool RecordStore::CommitRecord(int record, const std::string& path, Change change) {
    if (!writable_ || record < 1 || record > MaxRecordNumber ||
        (session_ && session_->IsUnreadable(record)) || !EnsureFileIsTheLoadedOne(path)) {
        return false;
    }
    const std::size_t oldSize = DataRecords.size();
    const bool grows = record > UpperBound();
    const DataRecord before = grows ? DataRecord{} : DataRecords[record];
    if (grows) {
        DataRecords.resize(static_cast<std::size_t>(record) + 1);
    }
    change(DataRecords[record]);
    if (WriteThroughJournal(path, record, before)) {
        freeRecords_.Update(record, IsFree(record));
        return true;
    }
    if (grows) {
        DataRecords.resize(oldSize);
    } else {
        DataRecords[record] = before;
    }
    return false;
}

bool RecordStore::EnsureFileIsTheLoadedOne(const std::string& path) {
    const FileIdentity current = files_->Identity(path);
    if (current.exists && path == loadedPath_ && current.Unchanged(loadedIdentity_)) {
        return true;
    }
    const std::string content = WholeFileFromMemory(StoredRecordCount());
    if (!ReplaceWhole(*files_, path, content)) {
        return false;
    }
    loadedPath_ = path;
    loadedIdentity_ = files_->Identity(path);
    fileLength_ = static_cast<long long>(content.size());
    return true;
}

long long RecordStore::StoredRecordCount() const {
    if (kind_ == FileKind::Plain) {
        return fileLength_ / RecordLength;
    }
    const long long slotBytes =
        std::max(0LL, fileLength_ - static_cast<long long>(ProtectedHeaderLength));
    return (slotBytes + static_cast<long long>(SlotLength) - 1) /
           static_cast<long long>(SlotLength);
}

std::string RecordStore::WholeFileFromMemory(long long records) const {
    const long long count = std::min<long long>(records, UpperBound());
    if (session_) {
        return session_->WholeFile(DataRecords, static_cast<int>(count));
    }
    return std::string(PlainRecordsInMemory(count));
}

std::string_view RecordStore::PlainRecordsInMemory(long long records) const {
    static_assert(sizeof(DataRecord) == RecordLength, "records lie side by side in memory");
    const long long count = std::min<long long>(records, UpperBound());
    return {DataRecords[1].bytes.data(), static_cast<std::size_t>(count * RecordLength)};
}

std::string RecordStore::StoredForm(int record, const DataRecord& plain) const {
    return session_ ? session_->Seal(record, plain) : RecordBytes(plain);
}

long long RecordStore::StoredOffset(int record) const {
    return session_ ? SlotOffset(record) : RecordOffset(record);
}

bool RecordStore::WriteThroughJournal(const std::string& path, int record,
                                      const DataRecord& before) {
    // A record an earlier failure left in the journal goes to the file before the next one.
    if (!journalSettled_) {
        if (!ReplayJournal(*files_, path)) {
            return false;
        }
        journalSettled_ = true;
    }
    const long long offset = StoredOffset(record);
    if (session_ && offset > fileLength_) {
        // A slot of zeros would fail its check: the slots before it are written too, whole.
        const std::string content = WholeFileFromMemory(record);
        if (!ReplaceWhole(*files_, path, content)) {
            return false;
        }
        loadedIdentity_ = files_->Identity(path);
        fileLength_ = static_cast<long long>(content.size());
        return true;
    }
    const std::string journal = JournalPath(path);
    const std::string bytes = StoredForm(record, DataRecords[record]);
    const long long length = static_cast<long long>(bytes.size());
    // The file the record is about to go into, as a sync engine may have replaced it since.
    const FileIdentity target = files_->Identity(path);
    if (!FillJournal(
            *files_, path,
            EncodeJournalEntry({record, bytes, target.device, target.exists ? target.inode : 0}))) {
        // What a failed fill left is looked at again before the next write.
        journalSettled_ = false;
        return false;
    }
    if (files_->WriteAt(path, offset, bytes)) {
        RetireJournalEntry(*files_, path);
        fileLength_ = std::max(fileLength_, offset + length);
        loadedIdentity_ = files_->Identity(path);
        return true;
    }
    journalSettled_ = false;
    // Part of the record may have reached the file: the file gets back its earlier length or
    // record. Should that fail too, the journal is given the earlier record, which the next
    // write or start puts in place; failing that, the journal, which still holds the refused
    // record, is dropped. Either way the next write first writes the whole file again from
    // memory, so a torn record or the change the user was told had failed never stays.
    const bool putBack =
        offset + length > fileLength_
            ? static_cast<bool>(files_->Resize(path, fileLength_))
            : static_cast<bool>(files_->WriteAt(path, offset, StoredForm(record, before)));
    if (putBack) {
        files_->Remove(journal);
        loadedIdentity_ = files_->Identity(path);
        return false;
    }
    loadedIdentity_ = {};
    if (!ReplaceWhole(*files_, journal, EncodeJournalEntry({record, StoredForm(record, before)})) &&
        !DropJournal(*files_, path) && !files_->Resize(journal, 0)) {
        // Nothing could be done about the journal; no later write may replay it.
        writable_ = false;
    }
    return false;
}

void RecordStore::Overwrite(DataRecord& target, const FieldValues& fields, bool clear) const {
    for (int k = 1; k <= FieldCount; ++k) {
        if (!IsBlank(fields[k - 1])) {
            SetValue(target, k, fields[k - 1]);
        }
    }
    if (clear && kind_ == FileKind::Protected) {
        target.bytes.fill('\0');
    } else if (clear) {
        target.Blank();
    }
}

bool RecordStore::WriteRecord(const FieldValues& fields, int record, const std::string& path,
                              bool clear) {
    return CommitRecord(record, path,
                        [&](DataRecord& target) { Overwrite(target, fields, clear); });
}

bool RecordStore::WriteRecords(RecordBatch batch, const std::string& path) {
    const bool grows = !batch.grown.empty();
    if (grows && (batch.grownFrom != DataRecords.size() || batch.grown.size() <= batch.grownFrom ||
                  batch.grown.size() > static_cast<std::size_t>(MaxRecordNumber) + 1)) {
        return false;
    }
    int highest = grows ? static_cast<int>(batch.grown.size()) - 1 : 0;
    for (const StoredFields& write : batch.changes) {
        if (write.record < 1 || write.record > MaxRecordNumber ||
            (session_ && session_->IsUnreadable(write.record))) {
            return false;
        }
        highest = std::max(highest, write.record);
    }
    // The file is replaced below: an entry left in the journal belongs to the file it replaces
    // and must never be written over the new one.
    if (!writable_ || !ReplayJournal(*files_, path)) {
        return false;
    }
    journalSettled_ = true;
    const std::size_t oldSize = DataRecords.size();
    // Grown records take the place of the store's, which stay aside as they were until the
    // file is written; otherwise the records changed in place are kept to be put back.
    std::vector<std::pair<int, DataRecord>> before;
    if (grows) {
        std::copy(DataRecords.begin(), DataRecords.end(), batch.grown.begin());
        DataRecords.swap(batch.grown);
    }
    if (highest > UpperBound()) {
        DataRecords.resize(static_cast<std::size_t>(highest) + 1);
    }
    for (const StoredFields& write : batch.changes) {
        // Records past the old end go with the resize above.
        if (!grows && static_cast<std::size_t>(write.record) < oldSize) {
            before.emplace_back(write.record, DataRecords[write.record]);
        }
        DataRecord& target = DataRecords[write.record];
        for (int k = 1; k <= FieldCount; ++k) {
            if (write.fields & (1u << (k - 1))) {
                std::memcpy(target.bytes.data() + FieldOffset(k),
                            write.stored.bytes.data() + FieldOffset(k),
                            static_cast<std::size_t>(FieldWidth(k)));
            }
        }
    }
    const long long records = std::max<long long>(StoredRecordCount(), highest);
    // A plain file is written from its records where they lie, not from a copy of them all.
    const std::string sealed = session_ ? WholeFileFromMemory(records) : std::string();
    const std::string_view content =
        session_ ? std::string_view(sealed) : PlainRecordsInMemory(records);
    if (ReplaceWhole(*files_, path, content)) {
        loadedPath_ = path;
        loadedIdentity_ = files_->Identity(path);
        fileLength_ = static_cast<long long>(content.size());
        // Free records the batch took are in use now.
        freeRecords_.Forget();
        return true;
    }
    if (grows) {
        DataRecords.swap(batch.grown);
        return false;
    }
    for (auto change = before.rbegin(); change != before.rend(); ++change) {
        DataRecords[change->first] = change->second;
    }
    DataRecords.resize(oldSize);
    return false;
}

StoredFields RecordStore::InStoredForm(int record, const FieldValues& fields) const {
    StoredFields stored;
    stored.record = record;
    for (int k = 1; k <= FieldCount; ++k) {
        if (!IsBlank(fields[k - 1])) {
            SetValue(stored.stored, k, fields[k - 1]);
            stored.fields |= 1u << (k - 1);
        }
    }
    return stored;
}

bool RecordStore::ReplaceRecord(const FieldValues& fields, int record, const std::string& path) {
    return CommitRecord(record, path, [&](DataRecord& target) {
        for (int k = 1; k <= FieldCount; ++k) {
            SetValue(target, k, IsBlank(fields[k - 1]) ? std::string() : fields[k - 1]);
        }
    });
}

void RecordStore::SetValue(DataRecord& target, int field, const std::string& value) const {
    if (kind_ == FileKind::Protected) {
        SetProtectedField(target, field, value);
    } else {
        target.SetField(field, value);
    }
}

bool RecordStore::IsFree(int record) {
    if (session_ && session_->IsUnreadable(record)) {
        return false;
    }
    for (int field = 1; field <= FieldCount; ++field) {
        // A protected field of spaces is no value; plain files keep their exact rule.
        const std::string value = ReadField(field, record);
        if (kind_ == FileKind::Protected ? !IsBlank(value) : !value.empty()) {
            return false;
        }
    }
    return true;
}

int RecordStore::FindFreeRecord(int from) {
    if (!freeRecords_.Knows(UpperBound())) {
        freeRecords_.Learn(UpperBound(), [this](int record) { return IsFree(record); });
    }
    const int found = freeRecords_.FirstFrom(std::max(from, 1));
    return found != 0 ? found : std::max(UpperBound() + 1, from);
}

int RecordStore::HighestRecordInUse(int from) {
    for (int record = UpperBound(); record >= std::max(from, 1); --record) {
        if (!IsFree(record)) {
            return record;
        }
    }
    return std::max(from, 1) - 1;
}

}  // namespace keyrack
