#include "store/ProtectedFile.h"

#include <sodium.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <system_error>
#include <thread>

#include "common/Utf8.h"

namespace keyrack {

namespace {

static_assert(SaltLength == crypto_pwhash_SALTBYTES);
static_assert(NonceLength == crypto_aead_xchacha20poly1305_ietf_NPUBBYTES);
static_assert(KeyLength == crypto_aead_xchacha20poly1305_ietf_KEYBYTES);
static_assert(TagLength == crypto_aead_xchacha20poly1305_ietf_ABYTES);

constexpr char kMagic[MagicLength + 1] = "\x89KRK\r\n\x1a\n";
// Everything before the key's nonce is checked along with the master key.
constexpr std::size_t kCheckedLength = ProtectedHeaderLength - NonceLength - KeyLength - TagLength;
// The costs any version writes: a header beyond them is damaged, not demanding.
constexpr std::uint64_t kMostPasses = 16;
constexpr std::uint64_t kMostMemory = std::uint64_t{1} << 30;

void PutNumber(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::uint64_t TakeNumber(std::string_view& in, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        value |= std::uint64_t{static_cast<unsigned char>(in[i])} << (8 * i);
    }
    in.remove_prefix(bytes);
    return value;
}

template <std::size_t N>
void PutBytes(std::string& out, const std::array<unsigned char, N>& bytes) {
    out.append(reinterpret_cast<const char*>(bytes.data()), N);
}

template <std::size_t N>
void TakeBytes(std::string_view& in, std::array<unsigned char, N>& bytes) {
    std::memcpy(bytes.data(), in.data(), N);
    in.remove_prefix(N);
}

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

// The key the password opens, derived with the header's salt and costs.
std::optional<SecretBytes> DeriveKey(const ProtectedHeader& header, const std::string& password) {
    SecretBytes derived(KeyLength);
    if (crypto_pwhash(derived.Data(), derived.Size(), password.data(), password.size(),
                      header.salt.data(), header.params.opsLimit,
                      static_cast<std::size_t>(header.params.memLimit),
                      crypto_pwhash_ALG_ARGON2ID13) != 0) {
        return std::nullopt;
    }
    return derived;
}

// The header's own bytes, not a fresh serialization, so that its unused bytes are checked too.
std::string KeyCheckData(std::string_view header, const std::string& userName) {
    return std::string(header.substr(0, kCheckedLength)) + userName;
}

// Seals master into header under login, with a fresh salt and nonce.
bool SealMasterKey(ProtectedHeader& header, const SecretBytes& master, const Credentials& login) {
    randombytes_buf(header.salt.data(), header.salt.size());
    randombytes_buf(header.keyNonce.data(), header.keyNonce.size());
    const std::optional<SecretBytes> derived = DeriveKey(header, login.password);
    if (!derived) {
        return false;
    }
    const std::string checked = KeyCheckData(header.Serialize(), login.userName);
    crypto_aead_xchacha20poly1305_ietf_encrypt(header.sealedKey.data(), nullptr, master.Data(),
                                               master.Size(), Bytes(checked), checked.size(),
                                               nullptr, header.keyNonce.data(), derived->Data());
    return true;
}

std::array<unsigned char, FileIdLength + 4> SlotCheckData(const FileId& fileId, int record) {
    std::array<unsigned char, FileIdLength + 4> data{};
    std::copy(fileId.begin(), fileId.end(), data.begin());
    for (int i = 0; i < 4; ++i) {
        data[FileIdLength + i] =
            static_cast<unsigned char>(static_cast<std::uint32_t>(record) >> (8 * i));
    }
    return data;
}

}  // namespace

KdfParams KdfParams::Default() {
    return {3, std::uint64_t{64} << 20};
}

KdfParams KdfParams::Smallest() {
    return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

std::string ProtectedHeader::Serialize() const {
    std::string out(kMagic, MagicLength);
    out.reserve(ProtectedHeaderLength);
    PutNumber(out, ProtectedFormatVersion, 2);
    PutNumber(out, params.opsLimit, 8);
    PutNumber(out, params.memLimit, 8);
    PutBytes(out, salt);
    PutBytes(out, fileId);
    const std::string kept = Utf8Prefix(hint, HintCapacity);
    PutNumber(out, kept.size(), 1);
    out += kept;
    out.append(HintCapacity - kept.size(), '\0');
    PutBytes(out, keyNonce);
    PutBytes(out, sealedKey);
    return out;
}

std::optional<ProtectedHeader> ProtectedHeader::Parse(std::string_view bytes) {
    if (bytes.size() < ProtectedHeaderLength || !IsProtectedFile(bytes)) {
        return std::nullopt;
    }
    std::string_view in = bytes.substr(MagicLength);
    ProtectedHeader header;
    if (TakeNumber(in, 2) != ProtectedFormatVersion) {
        return std::nullopt;
    }
    header.params.opsLimit = TakeNumber(in, 8);
    header.params.memLimit = TakeNumber(in, 8);
    const KdfParams least = KdfParams::Smallest();
    if (header.params.opsLimit < least.opsLimit || header.params.opsLimit > kMostPasses ||
        header.params.memLimit < least.memLimit || header.params.memLimit > kMostMemory) {
        return std::nullopt;
    }
    TakeBytes(in, header.salt);
    TakeBytes(in, header.fileId);
    const std::size_t hintLength = TakeNumber(in, 1);
    if (hintLength > HintCapacity) {
        return std::nullopt;
    }
    header.hint = std::string(in.substr(0, hintLength));
    in.remove_prefix(HintCapacity);
    TakeBytes(in, header.keyNonce);
    TakeBytes(in, header.sealedKey);
    return header;
}

bool IsProtectedFile(std::string_view firstBytes) {
    return firstBytes.substr(0, MagicLength) == std::string_view(kMagic, MagicLength);
}

std::optional<ProtectedKey> OpenProtected(std::string_view header, const Credentials& login) {
    EnsureSodium();
    const std::optional<ProtectedHeader> parsed = ProtectedHeader::Parse(header);
    if (!parsed) {
        return std::nullopt;
    }
    const std::optional<SecretBytes> derived = DeriveKey(*parsed, login.password);
    if (!derived) {
        return std::nullopt;
    }
    ProtectedKey key;
    key.fileId = parsed->fileId;
    const std::string checked = KeyCheckData(header, login.userName);
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            key.master.Data(), nullptr, nullptr, parsed->sealedKey.data(), parsed->sealedKey.size(),
            Bytes(checked), checked.size(), parsed->keyNonce.data(), derived->Data()) != 0) {
        return std::nullopt;
    }
    return key;
}

long long SlotOffset(int record) {
    return static_cast<long long>(ProtectedHeaderLength) +
           static_cast<long long>(record - 1) * static_cast<long long>(SlotLength);
}

std::string SealRecord(const ProtectedKey& key, int record, const DataRecord& plain) {
    EnsureSodium();
    std::string slot(SlotLength, '\0');
    auto* out = reinterpret_cast<unsigned char*>(slot.data());
    randombytes_buf(out, NonceLength);
    const auto checked = SlotCheckData(key.fileId, record);
    crypto_aead_xchacha20poly1305_ietf_encrypt(
        out + NonceLength, nullptr, reinterpret_cast<const unsigned char*>(plain.bytes.data()),
        RecordLength, checked.data(), checked.size(), nullptr, out, key.master.Data());
    return slot;
}

namespace {

// Below this many slots for each, another thread costs more than it saves.
constexpr int kSlotsPerThread = 2048;
constexpr int kMostThreads = 8;
// The slots a thread opens before it takes the next run.
constexpr int kSlotsPerRun = 512;

// Opens a slot straight into its record, with no copy of the plain bytes on the way; a slot that
// fails its check leaves the record all NUL.
bool OpenSlotInto(const ProtectedKey& key, int record, std::string_view slot, DataRecord& plain) {
    const auto checked = SlotCheckData(key.fileId, record);
    if (slot.size() == SlotLength &&
        crypto_aead_xchacha20poly1305_ietf_decrypt(
            reinterpret_cast<unsigned char*>(plain.bytes.data()), nullptr, nullptr,
            Bytes(slot) + NonceLength, RecordLength + TagLength, checked.data(), checked.size(),
            Bytes(slot), key.master.Data()) == 0) {
        return true;
    }
    plain.bytes.fill('\0');
    return false;
}

}  // namespace

std::optional<DataRecord> OpenSlot(const ProtectedKey& key, int record, std::string_view slot) {
    DataRecord plain;
    if (!OpenSlotInto(key, record, slot, plain)) {
        return std::nullopt;
    }
    return plain;
}

OpenedRecords OpenSlots(const ProtectedKey& key, std::string_view file) {
    OpenedRecords opened;
    if (file.size() <= ProtectedHeaderLength) {
        return opened;
    }
    const std::size_t slotBytes = file.size() - ProtectedHeaderLength;
    const int slots = static_cast<int>(
        std::min<std::size_t>((slotBytes + SlotLength - 1) / SlotLength, MaxRecordNumber));
    // Room for the blank record the store keeps after the last: growing by it must not move the
    // decrypted records, which would copy them all and leave the old buffer freed unwiped.
    opened.records.reserve(static_cast<std::size_t>(slots) + 2);
    opened.records.resize(static_cast<std::size_t>(slots) + 1);
    // Opening is nearly all decryption, so the slots are shared among the processor's cores,
    // each opening runs of records straight into place. The runs are taken in turn rather than
    // shared out beforehand, so a core busy with another program holds up one run at most.
    const int parts = std::clamp(
        std::min(static_cast<int>(std::thread::hardware_concurrency()), slots / kSlotsPerThread), 1,
        kMostThreads);
    const int runs = (slots + kSlotsPerRun - 1) / kSlotsPerRun;
    std::atomic<int> nextRun{0};
    std::vector<std::vector<int>> unreadable(static_cast<std::size_t>(parts));
    const auto openRuns = [&](std::vector<int>& found) {
        for (int run = nextRun++; run < runs; run = nextRun++) {
            const int last = std::min(slots, (run + 1) * kSlotsPerRun);
            for (int n = run * kSlotsPerRun + 1; n <= last; ++n) {
                if (!OpenSlotInto(key, n,
                                  file.substr(static_cast<std::size_t>(SlotOffset(n)), SlotLength),
                                  opened.records[n])) {
                    found.push_back(n);
                }
            }
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (int part = 1; part < parts; ++part) {
            helpers.emplace_back(openRuns, std::ref(unreadable[static_cast<std::size_t>(part)]));
        }
    } catch (const std::system_error&) {
        // No thread to be had: the runs left are opened here.
    }
    openRuns(unreadable[0]);
    for (std::thread& helper : helpers) {
        helper.join();
    }
    for (const std::vector<int>& found : unreadable) {
        opened.unreadable.insert(opened.unreadable.end(), found.begin(), found.end());
    }
    std::sort(opened.unreadable.begin(), opened.unreadable.end());
    return opened;
}

std::optional<std::string> MakeProtectedFile(const std::vector<DataRecord>& records,
                                             const Credentials& login, const std::string& hint,
                                             const KdfParams& params) {
    EnsureSodium();
    ProtectedHeader header;
    header.params = params;
    header.hint = hint;
    randombytes_buf(header.fileId.data(), header.fileId.size());
    ProtectedKey key;
    key.fileId = header.fileId;
    randombytes_buf(key.master.Data(), key.master.Size());
    if (!SealMasterKey(header, key.master, login)) {
        return std::nullopt;
    }
    std::string file = header.Serialize();
    file.reserve(static_cast<std::size_t>(SlotOffset(static_cast<int>(records.size()))));
    for (std::size_t n = 1; n < records.size(); ++n) {
        file += SealRecord(key, static_cast<int>(n), records[n]);
    }
    return file;
}

std::optional<std::string> ChangeLogin(std::string_view header, const Credentials& current,
                                       const Credentials& next, const std::string& hint,
                                       const KdfParams& params) {
    const std::optional<ProtectedKey> key = OpenProtected(header, current);
    if (!key) {
        return std::nullopt;
    }
    ProtectedHeader changed = *ProtectedHeader::Parse(header);
    changed.params = params;
    changed.hint = hint;
    if (!SealMasterKey(changed, key->master, next)) {
        return std::nullopt;
    }
    return changed.Serialize();
}

void WipeRecords(std::vector<DataRecord>& records) {
    for (DataRecord& record : records) {
        sodium_memzero(record.bytes.data(), record.bytes.size());
    }
    records.clear();
}

}  // namespace keyrack
