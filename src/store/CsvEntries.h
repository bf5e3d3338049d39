#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "generator/PasswordType.h"
#include "platform/RandomSource.h"
#include "store/RecordStore.h"

// Entries leaving the data file as CSV rows, and CSV rows coming in as groups and entries.
namespace keyrack {

// One entry with the path of its group: the group names from the top down, joined by "/";
// empty for an entry of the default group.
struct CsvEntry {
    std::string group;
    std::string title;
    std::string userName;
    std::string password;
    std::string address;
};

// Converts text from one character set to the other; nothing when a character has no place in
// the target.
using TextConverter = std::function<std::optional<std::string>(const std::string&)>;

// Every entry of the tree, in the tree's order, as the data file holds its text.
std::vector<CsvEntry> EntriesForExport(RecordStore& store, int dataKey);

// The whole CSV file: a header the common keepers read, then one row per entry. toFile
// converts the data file's text to the file's; a value it cannot convert is left empty.
std::string ExportCsv(const std::vector<CsvEntry>& entries, const TextConverter& toFile);

struct CsvRead {
    std::vector<CsvEntry> entries;  // in the file's text
    int skipped = 0;                // rows without a header to name their columns
};

// The rows of a CSV file with a header row, its columns found by the names the common keepers
// use, in any case; other columns are ignored. Without a title column no row can be read.
CsvRead ReadCsvEntries(const std::string& text);

// The record writes an import makes, in an order where every group comes before what it
// holds, so that any first part of them leaves a consistent file.
struct ImportPlan {
    int recordCount = 0;  // the count for record 1 once these records are in use
    std::vector<std::pair<int, FieldValues>> writes;
    std::vector<bool> isEntry;  // per write
    int entries = 0;
    int skipped = 0;
    bool fileFull = false;  // rows were left out because no record number was left
};

// Plans entries into the tree of store: each into the group its path names, creating the groups
// that do not exist yet; toStored converts the file's text to the data file's. A row whose
// title is blank or whose values or group names cannot be stored intact is skipped.
ImportPlan PlanImport(RecordStore& store, int dataKey, const std::vector<CsvEntry>& entries,
                      const TextConverter& toStored, const PasswordTypeSettings& type,
                      platform::RandomSource& random);

struct ImportResult {
    int entries = 0;       // entries written
    bool complete = true;  // false when a write failed; what was written before it stays
};

// Writes one record of the data file; false when it did not reach the disk.
using RecordWriter = std::function<bool(int record, const FieldValues& fields)>;

// Writes the record count to record 1 first, then the records of the plan one by one, and stops
// at the first write that fails.
ImportResult RunImport(const ImportPlan& plan, const RecordWriter& write);

}  // namespace keyrack
