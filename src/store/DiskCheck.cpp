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

bool Holds(const std::string& content, const RecordList& records) {
    if (content.size() % RecordLength != 0) {
        return false;
    }
    const std::size_t inFile = content.size() / RecordLength;
    for (std::size_t n = 1; n < records.size(); ++n) {
        if (n > inFile) {
            if (!IsFree(records[n])) {
                return false;
            }
        } else if (!SameRecord(content.data() + (n - 1) * RecordLength, records[n].bytes.data())) {
            return false;
        }
    }
    return inFile < records.size();
}

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
    const IoResult read = io.ReadAll(path, check.content);
    if (!read) {
        check.state = DiskCheck::State::Unreadable;
        check.reason = read.reason;
        return check;
    }
    if (Holds(check.content, records)) {
        check.content.clear();
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
