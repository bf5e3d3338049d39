#include "store/ValueCodec.h"

#include "common/Utf8.h"
#include "store/ProtectedRecord.h"
#include "store/ValueCipher.h"

namespace keyrack {

std::string ReadValue(RecordStore& store, int field, int record, int dataKey) {
    if (const auto clean = store.CleanPlainField(field, record)) {
        return DecodeValue(*clean, dataKey);
    }
    return DecodeFor(store.Kind(), store.ReadField(field, record), dataKey);
}

std::string DecodeFor(FileKind kind, const std::string& stored, int dataKey) {
    return kind == FileKind::Protected ? stored : DecodeValue(stored, dataKey);
}

std::string EncodeFor(FileKind kind, const std::string& value, int dataKey, bool fill, int length,
                      platform::RandomSource& random) {
    return kind == FileKind::Protected ? value : EncodeValue(value, dataKey, fill, length, random);
}

bool FitsWidth(FileKind kind, std::string_view value, int dataKey, int fieldWidth) {
    if (kind == FileKind::Plain) {
        return StoresIntact(value, dataKey, fieldWidth);
    }
    return value.size() <= static_cast<std::size_t>(fieldWidth) &&
           value.find('\0') == std::string_view::npos && IsWellFormedUtf8(value);
}

FieldValues EntryRecordFields(FileKind kind, const EntryValues& values,
                              const std::string& field8Key, int record,
                              const std::string& parentKey, int dataKey,
                              platform::RandomSource& random) {
    return kind == FileKind::Protected
               ? ProtectedEntryFields(values, field8Key, record, parentKey)
               : EntryRecordFields(values, field8Key, record, parentKey, dataKey, random);
}

FieldValues GroupRecordFields(FileKind kind, const std::string& name, int record,
                              const std::string& parentKey, int dataKey,
                              platform::RandomSource& random) {
    return kind == FileKind::Protected
               ? ProtectedGroupFields(name, record, parentKey)
               : GroupRecordFields(name, record, parentKey, dataKey, random);
}

}  // namespace keyrack
