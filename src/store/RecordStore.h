#pragma once

#include <array>
#include <string>
#include <vector>

// The data file: fixed-length records of ten space-padded single-byte (Windows-1252) fields.
// The whole file is held in memory; every change rewrites one record in memory and on disk.
namespace keyrack {

constexpr int RecordLength = 640;
constexpr int FieldCount = 10;
constexpr std::array<int, FieldCount> FieldWidths = {100, 100, 100, 100, 40, 40, 40, 100, 10, 10};
// Record numbers are signed 16-bit in the file's design.
constexpr int MaxRecordNumber = 32767;
// Records 1 (header) and 2 (settings) come before the groups and entries.
constexpr int FirstTreeRecord = 3;

// Byte offset of field (1..10) inside a record.
int FieldOffset(int field);
int FieldWidth(int field);

struct DataRecord {
    // A record made in memory and never assigned holds NUL bytes.
    std::array<char, RecordLength> bytes{};

    std::string Field(int field) const;
    // Left-aligned, cut to the field's width or padded with spaces.
    void SetField(int field, const std::string& value);
    void Blank();
};

// Values for the ten fields of a record, index 0 = field 1.
using FieldValues = std::array<std::string, FieldCount>;

class RecordStore {
  public:
    // Element n mirrors record n of the file; element 0 is never used. After a load the last
    // element is an all-NUL record beyond the file's end.
    std::vector<DataRecord> DataRecords = std::vector<DataRecord>(2);
    // Records found in the file at the last load.
    long FileRecordCount = 0;

    // Replaces DataRecords by the file's content, creating the file (owner-only) when missing.
    void LoadDataFile(const std::string& path);

    // The field's text with NULs removed and spaces trimmed (also cleaned in memory); empty
    // for a record beyond the upper bound or a field outside 1..10. Never touches the disk.
    std::string ReadField(int field, int record);

    // Non-blank values overwrite their field, blank ones leave it as it was; clear blanks the
    // whole record whatever is given. The record is then written and flushed to the file.
    // Returns whether it reached the disk; when it did not, memory is put back as it was.
    bool WriteRecord(const FieldValues& fields, int record, const std::string& path, bool clear);

    // Like WriteRecord, but every field takes its given value: a blank value empties the field.
    bool ReplaceRecord(const FieldValues& fields, int record, const std::string& path);

    // The lowest record from `from` on whose ten fields are all empty, else one past the
    // upper bound.
    int FindFreeRecord(int from = 1);

    int UpperBound() const { return static_cast<int>(DataRecords.size()) - 1; }

  private:
    template <typename Change>
    bool CommitRecord(int record, const std::string& path, Change change);

    // An earlier layout of the file had 520-byte records; converting it is not built yet, so
    // such a file is read as it stands.
    void ConvertOldFormatFile(const std::string& path);
};

// Number of whole records in a file of the given length, halves rounded to even.
long RecordsInLength(long long length, long recordLength);

}  // namespace keyrack
