#include "store/RecordStore.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "common/Strings.h"

#ifdef _WIN32
#include <io.h>
#define open _open
#define close _close
#define read _read
#define fsync _commit
#else
#include <unistd.h>
#endif

namespace keyrack {

namespace {

constexpr int kOwnerOnly = 0600;

#ifdef _WIN32
constexpr int kBinary = O_BINARY;
#else
constexpr int kBinary = 0;
#endif

bool WriteAt(int fd, const char* data, std::size_t size, long long offset) {
#ifdef _WIN32
    if (_lseeki64(fd, offset, SEEK_SET) != offset) {
        return false;
    }
    return _write(fd, data, static_cast<unsigned>(size)) == static_cast<int>(size);
#else
    while (size > 0) {
        const ssize_t written = pwrite(fd, data, size, static_cast<off_t>(offset));
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        offset += written;
    }
    return true;
#endif
}

std::string ReadWholeFile(int fd) {
    std::string content;
    struct stat info {};
    if (fstat(fd, &info) == 0 && info.st_size > 0) {
        content.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[1 << 16];
    for (;;) {
        const auto got = read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    return content;
}

bool IsValidField(int field) {
    return field >= 1 && field <= FieldCount;
}

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

long RecordsInLength(long long length, long recordLength) {
    const long long whole = length / recordLength;
    const long long rest = length % recordLength;
    const bool roundUp = 2 * rest > recordLength || (2 * rest == recordLength && whole % 2 == 1);
    return static_cast<long>(whole + (roundUp ? 1 : 0));
}

void RecordStore::LoadDataFile(const std::string& path) {
    DataRecords.assign(2, DataRecord{});
    int fd = open(path.c_str(), O_RDWR | O_CREAT | kBinary, kOwnerOnly);
    if (fd < 0) {
        // A read-only file or folder still shows what the file holds.
        fd = open(path.c_str(), O_RDONLY | kBinary);
    }
    if (fd < 0) {
        FileRecordCount = 0;
        return;
    }
    std::string content = ReadWholeFile(fd);
    close(fd);

    FileRecordCount = RecordsInLength(static_cast<long long>(content.size()), RecordLength);
    if (FileRecordCount > 0 && content.size() % RecordLength != 0) {
        ConvertOldFormatFile(path);
    }
    const long records = std::max(FileRecordCount, 1L);
    DataRecords.resize(static_cast<std::size_t>(records) + 2);
    for (long n = 1; n <= records; ++n) {
        const std::size_t from = static_cast<std::size_t>(n - 1) * RecordLength;
        if (from < content.size()) {
            const std::size_t size = std::min<std::size_t>(RecordLength, content.size() - from);
            std::memcpy(DataRecords[n].bytes.data(), content.data() + from, size);
        }
    }
}

void RecordStore::ConvertOldFormatFile(const std::string& /*path*/) {}

std::string RecordStore::ReadField(int field, int record) {
    if (!IsValidField(field) || record < 0 || record > UpperBound()) {
        return {};
    }
    DataRecord& target = DataRecords[record];
    const char* start = target.bytes.data() + FieldOffset(field);
    const std::size_t width = static_cast<std::size_t>(FieldWidth(field));
    if (std::memchr(start, '\0', width) == nullptr && (width == 0 || start[0] != ' ')) {
        // Already clean: nothing to remove and nothing to move, so memory stays as it is.
        std::size_t length = width;
        while (length > 0 && start[length - 1] == ' ') {
            --length;
        }
        return std::string(start, length);
    }
    std::string text(start, width);
    text = ReplaceChar(text, '\0', "");
    target.SetField(field, text);
    return text;
}

template <typename Change>
bool RecordStore::CommitRecord(int record, const std::string& path, Change change) {
    if (record < 1 || record > MaxRecordNumber) {
        return false;
    }
    const std::size_t oldSize = DataRecords.size();
    const bool grows = record > UpperBound();
    const DataRecord before = grows ? DataRecord{} : DataRecords[record];
    if (grows) {
        DataRecords.resize(static_cast<std::size_t>(record) + 1);
    }
    change(DataRecords[record]);

    bool written = false;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | kBinary, kOwnerOnly);
    if (fd >= 0) {
        written = WriteAt(fd, DataRecords[record].bytes.data(), RecordLength,
                          static_cast<long long>(record - 1) * RecordLength) &&
                  fsync(fd) == 0;
        written = close(fd) == 0 && written;
    }
    if (!written) {
        if (grows) {
            DataRecords.resize(oldSize);
        } else {
            DataRecords[record] = before;
        }
    }
    return written;
}

bool RecordStore::WriteRecord(const FieldValues& fields, int record, const std::string& path,
                              bool clear) {
    return CommitRecord(record, path, [&](DataRecord& target) {
        for (int k = 1; k <= FieldCount; ++k) {
            if (!IsBlank(fields[k - 1])) {
                target.SetField(k, fields[k - 1]);
            }
        }
        if (clear) {
            target.Blank();
        }
    });
}

bool RecordStore::ReplaceRecord(const FieldValues& fields, int record, const std::string& path) {
    return CommitRecord(record, path, [&](DataRecord& target) {
        for (int k = 1; k <= FieldCount; ++k) {
            target.SetField(k, IsBlank(fields[k - 1]) ? std::string() : fields[k - 1]);
        }
    });
}

int RecordStore::FindFreeRecord(int from) {
    for (int record = std::max(from, 1); record <= UpperBound(); ++record) {
        bool free = true;
        for (int field = 1; field <= FieldCount && free; ++field) {
            free = ReadField(field, record).empty();
        }
        if (free) {
            return record;
        }
    }
    return std::max(UpperBound() + 1, from);
}

}  // namespace keyrack
