#include "store/RecordJournal.h"

#include <cstdint>
#include <cstdio>

#include "store/OldFormat.h"
#include "store/ProtectedFile.h"
#include "store/RecordStore.h"

namespace keyrack {

namespace {

constexpr char kMagic[] = "KRJ1";
constexpr std::size_t kMagicLength = 4;
constexpr std::size_t kNumberLength = 5;
constexpr std::size_t kChecksumLength = 16;
constexpr std::size_t kFramingLength = kMagicLength + kNumberLength + kChecksumLength;

// FNV-1a: any torn or stray byte changes it.
std::string Checksum(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char byte : text) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    char hex[kChecksumLength + 1];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

}  // namespace

std::string JournalPath(const std::string& dataPath) {
    return dataPath + ".journal";
}

std::string EncodeJournalEntry(const JournalEntry& entry) {
    char number[kNumberLength + 1];
    std::snprintf(number, sizeof number, "%05d", entry.record);
    const std::string body = kMagic + std::string(number) + entry.bytes;
    return body + Checksum(body);
}

std::optional<JournalEntry> DecodeJournalEntry(const std::string& content) {
    // A plain record or a protected file's slot.
    const bool wholeEntry = content.size() == kFramingLength + RecordLength ||
                            content.size() == kFramingLength + SlotLength;
    if (!wholeEntry || content.compare(0, kMagicLength, kMagic) != 0) {
        return std::nullopt;
    }
    const std::size_t bodyLength = content.size() - kChecksumLength;
    if (Checksum(content.substr(0, bodyLength)) != content.substr(bodyLength)) {
        return std::nullopt;
    }
    int record = 0;
    for (std::size_t i = kMagicLength; i < kMagicLength + kNumberLength; ++i) {
        if (content[i] < '0' || content[i] > '9') {
            return std::nullopt;
        }
        record = record * 10 + (content[i] - '0');
    }
    if (record < 1 || record > MaxRecordNumber) {
        return std::nullopt;
    }
    return JournalEntry{
        record, content.substr(kMagicLength + kNumberLength, content.size() - kFramingLength)};
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
    const bool fits = data.exists && !IsOldFormatLength(data.length) && entry &&
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
