#include "store/RecordJournal.h"

#include <cstdint>
#include <cstdio>

#include "store/OldFormat.h"
#include "store/ProtectedFile.h"
#include "store/RecordStore.h"

namespace keyrack {

namespace {

// Entries of earlier versions carry no identity of their data file.
constexpr char kMagicWithoutIdentity[] = "KRJ1";
constexpr char kMagic[] = "KRJ2";
constexpr std::size_t kMagicLength = 4;
constexpr std::size_t kNumberLength = 5;
constexpr std::size_t kHexLength = 16;
constexpr std::size_t kIdentityLength = 2 * kHexLength;
constexpr std::size_t kChecksumLength = kHexLength;

std::string Hex(unsigned long long value) {
    char hex[kHexLength + 1];
    std::snprintf(hex, sizeof hex, "%016llx", value);
    return hex;
}

std::optional<unsigned long long> FromHex(const std::string& text, std::size_t from) {
    unsigned long long value = 0;
    for (std::size_t i = from; i < from + kHexLength; ++i) {
        const char digit = text[i];
        if (digit >= '0' && digit <= '9') {
            value = value * 16 + static_cast<unsigned>(digit - '0');
        } else if (digit >= 'a' && digit <= 'f') {
            value = value * 16 + static_cast<unsigned>(digit - 'a' + 10);
        } else {
            return std::nullopt;
        }
    }
    return value;
}

// FNV-1a: any torn or stray byte changes it.
std::string Checksum(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char byte : text) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    return Hex(hash);
}

}  // namespace

std::string JournalPath(const std::string& dataPath) {
    return dataPath + ".journal";
}

std::string EncodeJournalEntry(const JournalEntry& entry) {
    char number[kNumberLength + 1];
    std::snprintf(number, sizeof number, "%05d", entry.record);
    const std::string body =
        kMagic + std::string(number) + Hex(entry.device) + Hex(entry.inode) + entry.bytes;
    return body + Checksum(body);
}

std::optional<JournalEntry> DecodeJournalEntry(const std::string& content) {
    const bool withIdentity = content.compare(0, kMagicLength, kMagic) == 0;
    if (!withIdentity && content.compare(0, kMagicLength, kMagicWithoutIdentity) != 0) {
        return std::nullopt;
    }
    const std::size_t framing =
        kMagicLength + kNumberLength + (withIdentity ? kIdentityLength : 0) + kChecksumLength;
    // A plain record or a protected file's slot.
    if (content.size() != framing + RecordLength && content.size() != framing + SlotLength) {
        return std::nullopt;
    }
    const std::size_t bodyLength = content.size() - kChecksumLength;
    if (Checksum(content.substr(0, bodyLength)) != content.substr(bodyLength)) {
        return std::nullopt;
    }
    JournalEntry entry;
    for (std::size_t i = kMagicLength; i < kMagicLength + kNumberLength; ++i) {
        if (content[i] < '0' || content[i] > '9') {
            return std::nullopt;
        }
        entry.record = entry.record * 10 + (content[i] - '0');
    }
    if (entry.record < 1 || entry.record > MaxRecordNumber) {
        return std::nullopt;
    }
    std::size_t next = kMagicLength + kNumberLength;
    if (withIdentity) {
        const auto device = FromHex(content, next);
        const auto inode = FromHex(content, next + kHexLength);
        if (!device || !inode) {
            return std::nullopt;
        }
        entry.device = *device;
        entry.inode = *inode;
        next += kIdentityLength;
    }
    entry.bytes = content.substr(next, bodyLength - next);
    return entry;
}

IoResult ReplayJournal(FileIo& io, const std::string& dataPath) {
    const std::string journal = JournalPath(dataPath);
    const FileIdentity found = io.Identity(journal);
    if (!found.unknownBecause.empty()) {
        return IoResult::Failure(found.unknownBecause);
    }
    if (!found.exists) {
        return IoResult::Success();
    }
    std::string content;
    const IoResult read = io.ReadAll(journal, content);
    if (!read) {
        return read;
    }
    const auto entry = DecodeJournalEntry(content);
    const FileIdentity data = io.Identity(dataPath);
    // A slot belongs only in a protected file and a record only in a plain one.
    std::string dataStart;
    long long dataLength = 0;
    const bool isProtected = data.exists && entry && entry->bytes.size() == SlotLength &&
                             io.ReadStart(dataPath, ProtectedHeaderLength, dataStart, dataLength) &&
                             IsProtectedFile(dataStart);
    const long long recordLength = isProtected ? SlotLength : RecordLength;
    const long long start = isProtected ? ProtectedHeaderLength : 0;
    // Without its data file a lone record would only make a file that lacks the login; a
    // record far beyond the file's end would only grow it with blank records.
    const bool sameFile = entry && (entry->inode == 0 ||
                                    (entry->device == data.device && entry->inode == data.inode));
    const bool fits = data.exists && sameFile && !IsOldFormatLength(data.length) && entry &&
                      static_cast<long long>(entry->bytes.size()) == recordLength &&
                      entry->record <= (data.length - start) / recordLength + 1;
    if (fits) {
        const IoResult written =
            io.WriteAt(dataPath, start + static_cast<long long>(entry->record - 1) * recordLength,
                       entry->bytes);
        if (!written) {
            return written;
        }
    }
    return DropJournal(io, dataPath);
}

IoResult FillJournal(FileIo& io, const std::string& dataPath, const std::string& entry) {
    const std::string journal = JournalPath(dataPath);
    const FileIdentity found = io.Identity(journal);
    if (found.exists && found.length == static_cast<long long>(entry.size())) {
        // A torn overwrite fails its checksum like a torn new file.
        return io.WriteAt(journal, 0, entry);
    }
    if (!found.exists && found.unknownBecause.empty()) {
        return io.CreateWith(journal, entry);
    }
    return ReplaceWhole(io, journal, entry);
}

IoResult RetireJournalEntry(FileIo& io, const std::string& dataPath) {
    return io.WriteAtUnflushed(JournalPath(dataPath), 0, std::string(kMagicLength, '\0'));
}

IoResult DropJournal(FileIo& io, const std::string& dataPath) {
    return io.Remove(JournalPath(dataPath));
}

}  // namespace keyrack
