#include "store/ProtectedFile.h"

#include <sodium.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
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

// The slots of a file of this length; a cut last slot counts.
int SlotCount(std::size_t fileLength) {
    if (fileLength <= ProtectedHeaderLength) {
        return 0;
    }
    return static_cast<int>(std::min<std::size_t>(
        (fileLength - ProtectedHeaderLength + SlotLength - 1) / SlotLength, MaxRecordNumber));
}

// What the threads opening a file's slots wait for while it is read: the records to open them
// into, and the bytes of their slots.
class ReadProgress {
  public:
    void RecordsReady() {
        Change([this] { recordsReady_ = true; });
    }
    void Arrived(std::size_t bytes) {
        Change([this, bytes] { arrived_ = bytes; });
    }
    void Failed() {
        Change([this] { failed_ = true; });
    }
    // Whether the records are ready and the bytes before end have arrived, once one or the
    // other is known; false when the read failed.
    bool WaitFor(std::size_t end) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return failed_ || (recordsReady_ && arrived_ >= end); });
        return !failed_;
    }

  private:
    template <typename Step>
    void Change(Step step) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            step();
        }
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    bool recordsReady_ = false;
    bool failed_ = false;
    std::size_t arrived_ = 0;
};

// Opening a file's slots, nearly all decryption, shared among the processor's cores: each thread
// opens runs of records straight into place. The runs are taken in turn rather than shared out
// beforehand, so a core busy with another program holds up one run at most.
class SlotOpening {
  public:
    SlotOpening(const ProtectedKey& key, std::string_view file, OpenedRecords& opened,
                ReadProgress* progress)
        : key_(key),
          file_(file),
          opened_(opened),
          progress_(progress),
          slots_(SlotCount(file.size())),
          runs_((slots_ + kSlotsPerRun - 1) / kSlotsPerRun),
          unreadable_(static_cast<std::size_t>(
              std::clamp(std::min(static_cast<int>(std::thread::hardware_concurrency()),
                                  slots_ / kSlotsPerThread),
                         1, kMostThreads))) {}

    SlotOpening(const SlotOpening&) = delete;
    SlotOpening& operator=(const SlotOpening&) = delete;
    ~SlotOpening() {
        for (std::thread& helper : helpers_) {
            helper.join();
        }
    }

    // Starts the other cores' threads; the first makes the records ready when asked to, the
    // caller's thread before them otherwise. A file that cannot have its threads is opened by
    // the caller's alone.
    void StartHelpers(bool firstMakesRecords) {
        if (!firstMakesRecords) {
            MakeRecords();
            recordsMade_ = true;
        }
        try {
            for (std::size_t part = 1; part < unreadable_.size(); ++part) {
                const bool makes = firstMakesRecords && part == 1;
                helpers_.emplace_back([this, part, makes] {
                    if (makes) {
                        MakeRecords();
                    }
                    OpenRuns(unreadable_[part]);
                });
                recordsMade_ = recordsMade_ || makes;
            }
        } catch (const std::system_error&) {
            // No thread to be had: the runs left are opened by the caller's thread.
        }
    }

    // Opens what runs are left on the caller's thread, waits for the others and gathers the
    // unreadable records.
    void Finish() {
        if (!recordsMade_) {
            MakeRecords();
        }
        OpenRuns(unreadable_[0]);
        for (std::thread& helper : helpers_) {
            helper.join();
        }
        helpers_.clear();
        for (const std::vector<int>& found : unreadable_) {
            opened_.unreadable.insert(opened_.unreadable.end(), found.begin(), found.end());
        }
        std::sort(opened_.unreadable.begin(), opened_.unreadable.end());
    }

  private:
    void MakeRecords() {
        if (slots_ > 0) {
            // Room for the blank record the store keeps after the last: growing by it must not
            // move the decrypted records, which would copy them all and leave the old buffer
            // freed unwiped.
            opened_.records.reserve(static_cast<std::size_t>(slots_) + 2);
            opened_.records.resize(static_cast<std::size_t>(slots_) + 1);
        }
        if (progress_ != nullptr) {
            progress_->RecordsReady();
        }
    }

    void OpenRuns(std::vector<int>& found) {
        for (int run = nextRun_++; run < runs_; run = nextRun_++) {
            const int last = std::min(slots_, (run + 1) * kSlotsPerRun);
            const auto end = std::min(file_.size(), static_cast<std::size_t>(SlotOffset(last + 1)));
            if (progress_ != nullptr && !progress_->WaitFor(end)) {
                return;
            }
            for (int n = run * kSlotsPerRun + 1; n <= last; ++n) {
                if (!OpenSlotInto(key_, n,
                                  file_.substr(static_cast<std::size_t>(SlotOffset(n)), SlotLength),
                                  opened_.records[n])) {
                    found.push_back(n);
                }
            }
        }
    }

    const ProtectedKey& key_;
    const std::string_view file_;
    OpenedRecords& opened_;
    ReadProgress* const progress_;
    const int slots_;
    const int runs_;
    std::atomic<int> nextRun_{0};
    std::vector<std::vector<int>> unreadable_;
    std::vector<std::thread> helpers_;
    bool recordsMade_ = false;
};

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
    SlotOpening opening(key, file, opened, nullptr);
    opening.StartHelpers(false);
    opening.Finish();
    return opened;
}

IoResult ReadAndOpenSlots(FileIo& files, const std::string& path, const ProtectedKey& key,
                          ReadBytes& content, OpenedRecords& opened) {
    opened = {};
    ReadProgress progress;
    std::optional<SlotOpening> opening;
    const IoResult read = files.ReadIntoInPieces(
        path,
        [&](std::size_t length) {
            content.bytes.reset(new char[length]);
            content.length = length;
            opening.emplace(key, content.View(), opened, &progress);
            // While this thread reads, another makes the records and opens the slots read.
            opening->StartHelpers(true);
            return content.bytes.get();
        },
        [&](std::size_t bytes) { progress.Arrived(bytes); });
    if (!read) {
        progress.Failed();
        opening.reset();
        content = {};
        WipeRecords(opened.records);
        opened = {};
        return read;
    }
    if (opening) {
        opening->Finish();
    }
    return read;
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
