#include "store/OldFormat.h"

#include "store/RecordStore.h"

namespace keyrack {

bool IsOldFormatLength(long long length) {
    return length > 0 && length % OldRecordLength == 0 && length % RecordLength != 0;
}

std::string ConvertOldFormat(const std::string& oldBytes) {
    const std::size_t records = oldBytes.size() / OldRecordLength;
    const std::string blankTail(RecordLength - OldRecordLength, ' ');
    std::string converted;
    converted.reserve(records * RecordLength);
    for (std::size_t n = 0; n < records; ++n) {
        converted.append(oldBytes, n * OldRecordLength, OldRecordLength);
        converted += blankTail;
    }
    return converted;
}

std::string OldFormatCopyPath(const std::string& dataPath) {
    const auto slash = dataPath.find_last_of("/\\");
    const std::string folder =
        slash == std::string::npos ? std::string() : dataPath.substr(0, slash + 1);
    return folder + "OLD_cli.rkd";
}

}  // namespace keyrack
