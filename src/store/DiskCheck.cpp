#include "store/DiskCheck.h"

#include <algorithm>
#include <cstring>

namespace keyrack {

namespace {

// A record never assigned holds NULs in the file and spaces in memory once it was read.
bool SameRecord(const char* a, const char* b) {
    for (int i = 0; i < RecordLength; ++i) {
        const char x = a[i] == '\0' ? ' ' : a[i];
        const char y = b[i] == '\0' ? ' ' : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

bool IsFree(const DataRecord& record) {
    return std::all_of(record.bytes.begin(), record.bytes.end(),
                       [](char c) { return c == ' ' || c == '\0'; });
}

// Enough of the file's start for what a load looks at first, protected header included.
constexpr std::size_t kStartBytes = 4096;
// Records read at a time: the piece stays in the processor's cache while it is compared.
constexpr std::size_t kPieceRecords = 256;

}  // namespace

DiskCheck CheckDataFile(FileIo& io, const std::string& path, const FileIdentity& known,
                        const RecordList& records) {
    DiskCheck check;
    check.identity = io.Identity(path);
    if (!check.identity.exists) {
        check.state = DiskCheck::State::Missing;
        return check;
    }
    if (check.identity.Unchanged(known)) {
        return check;
    }
    ChangedOnDisk& changed = check.changed;
    changed.identity = check.identity;
    const DataRecord none;
    std::size_t record = 1;
    const IoResult read =
        io.ReadPieces(path, kPieceRecords * RecordLength, [&](std::string_view piece) {
            if (changed.start.size() < kStartBytes) {
                changed.start.append(piece.substr(0, kStartBytes - changed.start.size()));
            }
            changed.length += static_cast<long long>(piece.size());
            for (std::size_t at = 0; at + RecordLength <= piece.size();
                 at += RecordLength, ++record) {
                const char* onDisk = piece.data() + at;
                const DataRecord& held = record < records.size() ? records[record] : none;
                if (std::memcmp(onDisk, held.bytes.data(), RecordLength) != 0 &&
                    !SameRecord(onDisk, held.bytes.data())) {
                    DataRecord& taken = changed.records.emplace_back(record, DataRecord{}).second;
                    std::memcpy(taken.bytes.data(), onDisk, RecordLength);
                }
            }
        });
    if (!read) {
        check.state = DiskCheck::State::Unreadable;
        check.reason = read.reason;
        check.changed = {};
        return check;
    }
    // Records memory holds beyond the file's end must be free, and the file must fit the room
    // memory keeps for it.
    const bool heldBeyondEnd =
        std::any_of(records.begin() + static_cast<long>(std::min(record, records.size())),
                    records.end(), [](const DataRecord& held) { return !IsFree(held); });
    const bool same = changed.records.empty() && !heldBeyondEnd && record <= records.size() &&
                      changed.length % RecordLength == 0;
    if (same) {
        check.changed = {};
    } else {
        check.state = DiskCheck::State::Changed;
    }
    return check;
}

RecordList RecordsOf(const std::string& content) {
    const std::size_t count = content.size() / RecordLength;
    RecordList records(count + 1);
    for (std::size_t n = 1; n <= count; ++n) {
        std::memcpy(records[n].bytes.data(), content.data() + (n - 1) * RecordLength, RecordLength);
    }
    return records;
}

}  // namespace keyrack
