// Any bytes as a protected data file, opened with the login the seeds were made with: the header
// is read, the master key tried, every slot opened; whatever opens must seal and open again, and
// a change of login must keep every record.
#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "store/ProtectedFile.h"

namespace {

using namespace keyrack;

const Credentials kLogin{"fuzz", "fuzz"};

// A damaged cost may be legal yet slow; the fuzzer keeps to costs near the least.
bool CheapEnough(const KdfParams& params) {
    const KdfParams least = KdfParams::Smallest();
    return params.opsLimit <= least.opsLimit + 2 && params.memLimit <= 8 * least.memLimit;
}

void CheckSlots(const ProtectedKey& key, const std::string& file) {
    const OpenedRecords opened = OpenSlots(key, file);
    const std::size_t slots =
        file.size() <= ProtectedHeaderLength
            ? 0
            : (file.size() - ProtectedHeaderLength + SlotLength - 1) / SlotLength;
    fuzz::Check(opened.records.size() == slots + 1, "one record per slot, a cut one included");
    fuzz::Check(std::is_sorted(opened.unreadable.begin(), opened.unreadable.end()),
                "unreadable records in order");
    for (std::size_t n = 1; n < opened.records.size(); ++n) {
        if (std::binary_search(opened.unreadable.begin(), opened.unreadable.end(),
                               static_cast<int>(n))) {
            continue;
        }
        const int record = static_cast<int>(n);
        const auto again = OpenSlot(key, record, SealRecord(key, record, opened.records[n]));
        fuzz::Check(again && again->bytes == opened.records[n].bytes, "a record seals again");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    // Slots under a key that opens none of them still have to be told apart and counted.
    CheckSlots(ProtectedKey{}, file);

    const std::optional<ProtectedHeader> header = ProtectedHeader::Parse(file);
    if (!header) {
        return 0;
    }
    fuzz::Check(IsProtectedFile(file), "a header starts with the magic");
    fuzz::Check(ProtectedHeader::Parse(header->Serialize()).has_value(), "a header reads back");
    if (!CheapEnough(header->params)) {
        return 0;
    }
    const std::optional<ProtectedKey> key = OpenProtected(file, kLogin);
    if (!key) {
        return 0;
    }
    CheckSlots(*key, file);
    const Credentials next{"other", "words"};
    const auto changed = ChangeLogin(file, kLogin, next, header->hint, KdfParams::Smallest());
    fuzz::Check(changed.has_value(), "an open file's login changes");
    const std::string moved = *changed + file.substr(ProtectedHeaderLength);
    const std::optional<ProtectedKey> reopened = OpenProtected(moved, next);
    fuzz::Check(reopened.has_value(), "the new login opens");
    const OpenedRecords before = OpenSlots(*key, file);
    const OpenedRecords after = OpenSlots(*reopened, moved);
    fuzz::Check(before.unreadable == after.unreadable, "the same records read");
    for (std::size_t n = 1; n < before.records.size(); ++n) {
        fuzz::Check(before.records[n].bytes == after.records[n].bytes, "records kept");
    }
    return 0;
}
