#include "store/DataFileCheck.h"

#include <algorithm>
#include <string>

#include "common/Strings.h"
#include "store/OldFormat.h"
#include "store/RecordStore.h"
#include "store/ValueCipher.h"

namespace keyrack {

namespace {

constexpr int kHeaderRecord = 1;
constexpr int kSettingsRecord = 2;
constexpr int kKeyField = 5;
constexpr int kCountField = 6;
constexpr int kUserNameField = 3;
constexpr int kPasswordField = 4;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The letters the cipher pads a value with.
bool IsFillLetter(char c) {
    return (c >= 'A' && c <= ']') || (c >= 'a' && c <= 'y');
}

// Three-digit groups, then fill letters, then spaces: the only shape the cipher writes.
bool IsEncodedShape(const std::string& field) {
    const std::string text = Trim(field);
    const auto digitsEnd = std::find_if_not(text.begin(), text.end(), IsDigit);
    const auto digits = digitsEnd - text.begin();
    return digits >= 3 && digits % 3 == 0 && std::all_of(digitsEnd, text.end(), IsFillLetter);
}

}  // namespace

bool HoldsKeyAndLogin(std::string_view content, int recordLength) {
    if (content.size() < static_cast<std::size_t>(2 * recordLength)) {
        return false;
    }
    const auto field = [&](int record, int number) {
        return std::string(content.substr(
            static_cast<std::size_t>((record - 1) * recordLength) + FieldOffset(number),
            FieldWidth(number)));
    };
    const std::string key = field(kHeaderRecord, kKeyField);
    const std::string count = Trim(field(kHeaderRecord, kCountField));
    const double keyValue = Val(DecodeValue(key, LoginKey));
    return IsEncodedShape(key) && keyValue >= 1 && keyValue <= MaxRecordNumber &&
           std::all_of(count.begin(), count.end(), IsDigit) &&
           IsEncodedShape(field(kSettingsRecord, kUserNameField)) &&
           IsEncodedShape(field(kSettingsRecord, kPasswordField));
}

bool IsOldFormat(std::string_view firstBytes, long long length) {
    if (length == 0 || length % OldRecordLength != 0) {
        return false;
    }
    if (length % RecordLength != 0) {
        return true;
    }
    return HoldsKeyAndLogin(firstBytes, OldRecordLength) &&
           !HoldsKeyAndLogin(firstBytes, RecordLength);
}

DataFileKind ClassifyDataFile(std::string_view content) {
    if (IsOldFormat(content, static_cast<long long>(content.size())) &&
        HoldsKeyAndLogin(content, OldRecordLength)) {
        return DataFileKind::OldFormat;
    }
    if (content.size() % RecordLength == 0 && HoldsKeyAndLogin(content, RecordLength)) {
        return DataFileKind::Current;
    }
    return DataFileKind::NotDataFile;
}

}  // namespace keyrack
