#include "store/ProtectedSession.h"

#include <algorithm>
#include <cstring>

namespace keyrack {

std::optional<ProtectedSession> ProtectedSession::Open(std::string_view file,
                                                       const Credentials& login,
                                                       std::vector<DataRecord>& records) {
    std::optional<ProtectedKey> key = OpenProtected(file, login);
    if (!key) {
        return std::nullopt;
    }
    return Opened(file, std::move(*key), records);
}

std::optional<ProtectedSession> ProtectedSession::Reopen(std::string_view file,
                                                         std::vector<DataRecord>& records) const {
    const std::optional<ProtectedHeader> header = ProtectedHeader::Parse(file);
    if (!header || header->fileId != key_.fileId) {
        return std::nullopt;
    }
    return Opened(file, CopyOfKey(), records);
}

std::optional<ProtectedSession> ProtectedSession::ReadAgain(
    FileIo& files, const std::string& path, long long& fileLength,
    std::vector<DataRecord>& records) const {
    ReadBytes content;
    OpenedRecords opened;
    if (!ReadAndOpenSlots(files, path, key_, content, opened)) {
        return std::nullopt;
    }
    const std::optional<ProtectedHeader> header = ProtectedHeader::Parse(content.View());
    if (!header || header->fileId != key_.fileId) {
        WipeRecords(opened.records);
        return std::nullopt;
    }
    fileLength = static_cast<long long>(content.length);
    return Opened(content.View(), CopyOfKey(), std::move(opened), records);
}

ProtectedKey ProtectedSession::CopyOfKey() const {
    ProtectedKey key;
    key.fileId = key_.fileId;
    std::memcpy(key.master.Data(), key_.master.Data(), KeyLength);
    return key;
}

ProtectedSession ProtectedSession::Opened(std::string_view file, ProtectedKey key,
                                          std::vector<DataRecord>& records) {
    OpenedRecords opened = OpenSlots(key, file);
    return Opened(file, std::move(key), std::move(opened), records);
}

ProtectedSession ProtectedSession::Opened(std::string_view file, ProtectedKey key,
                                          OpenedRecords opened, std::vector<DataRecord>& records) {
    ProtectedSession session(std::string(file.substr(0, ProtectedHeaderLength)), std::move(key));
    for (int record : opened.unreadable) {
        // A cut slot is kept at its full length, so the slots after it stay in their places.
        std::string slot(file.substr(static_cast<std::size_t>(SlotOffset(record)), SlotLength));
        slot.resize(SlotLength, '\0');
        session.unreadableSlots_[record] = std::move(slot);
    }
    WipeRecords(records);
    records = std::move(opened.records);
    records.resize(std::max<std::size_t>(records.size(), 2) + 1);
    return session;
}

std::vector<int> ProtectedSession::Unreadable() const {
    std::vector<int> records;
    for (const auto& slot : unreadableSlots_) {
        records.push_back(slot.first);
    }
    return records;
}

std::string ProtectedSession::Seal(int record, const DataRecord& plain) const {
    return SealRecord(key_, record, plain);
}

std::string ProtectedSession::WholeFile(const std::vector<DataRecord>& records, int count) const {
    std::string file = header_;
    for (int n = 1; n <= count && n < static_cast<int>(records.size()); ++n) {
        const auto unreadable = unreadableSlots_.find(n);
        file += unreadable != unreadableSlots_.end() ? unreadable->second : Seal(n, records[n]);
    }
    return file;
}

}  // namespace keyrack
