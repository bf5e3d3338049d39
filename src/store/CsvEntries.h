#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "generator/PasswordType.h"
#include "platform/RandomSource.h"
#include "store/Csv.h"
#include "store/RecordStore.h"

// Entries leaving the data file as CSV rows, and CSV rows coming in as groups and entries.
namespace keyrack {

// One entry with the names of its groups from the top down (none for an entry of the default
// group), and for an entry read from a file the number of its row there (the header is row 1).
struct CsvEntry {
    std::vector<std::string> groups;
    std::string title;
    std::string userName;
    std::string password;
    std::string address;
    int row = 0;
};

// Why a row of a file did not become an entry.
enum class SkipReason {
    Unreadable,   // a quote that never closes, or no first row naming the columns
    NoTitle,      // blank title and no address to take one from
    CannotStore,  // a value too long, characters the data file cannot keep, or a password of
                  // spaces alone (the data file keeps it as an empty one)
    TooDeep,      // more than MaxGroupDepth groups in its path
    FileFull,     // no record number left
};

struct SkippedRow {
    int row = 0;
    std::string title;  // in the file's text; may be empty
    SkipReason reason = SkipReason::Unreadable;
};

// Converts text from one character set to the other; nothing when a character has no place in
// the target.
using TextConverter = std::function<std::optional<std::string>(const std::string&)>;

// Every entry of the tree, in the tree's order, as the data file holds its text: the title,
// address and user name trimmed as the editor keeps them, the password exactly.
std::vector<CsvEntry> EntriesForExport(RecordStore& store, int dataKey);

struct CsvExport {
    std::string text;
    int entries = 0;
};

// The whole CSV file of the entries EntriesForExport lists: a header the common keepers read,
// then one row per entry, every value as it stands (a file for keepers, not spreadsheets).
// toFile converts the data file's text to the file's; a value it cannot convert is left empty.
// Group names are joined by "/".
CsvExport ExportCsv(RecordStore& store, int dataKey, const TextConverter& toFile);

// Skipped rows are named one by one up to this many; the rest are counted.
constexpr std::size_t kNamedSkippedRows = 5;

struct CsvRead {
    std::vector<SkippedRow> skippedRows;  // the first kNamedSkippedRows
    int skipped = 0;
    // Header names of columns with a value in some row that no field of an entry keeps.
    std::vector<std::string> droppedColumns;
};

// The rows of a CSV file with a header row become entries one at a time, in the file's text. Its
// columns are found by the names the common keepers use, in any case. Without a title or
// address column no row is read, and the first row counts as a row, not as a header. A group
// column holds a path with "/" between the names, a "grouping" column one with "\\".
class CsvEntryReader {
  public:
    // rootToDrop, when not empty, is left out of every path that starts with it: the root
    // ExporterRoot found in an earlier reading of the same file.
    explicit CsvEntryReader(CsvReader& rows, std::string rootToDrop = {});
    // The root to leave out is the exporter's root the first entry's path starts with, if any,
    // so that a file is most often read once: when ExporterRoot differs from DroppedRoot once
    // Next said false, the file must be read again with ExporterRoot's root.
    enum class FirstEntrysRoot { Dropped };
    CsvEntryReader(CsvReader& rows, FirstEntrysRoot);

    // The next row that is an entry; false after the last one.
    bool Next(CsvEntry& entry);
    // Once Next said false: the rows that were not entries and the columns left out.
    CsvRead Read() const;
    // Once Next said false: the first group that every entry has and that names an exporter's
    // root ("Root", "Passwords"), which an import leaves out; empty when there is none.
    std::string ExporterRoot() const;
    const std::string& DroppedRoot() const { return rootToDrop_; }

  private:
    void Skip(const std::string& title);

    CsvReader& rows_;
    std::string rootToDrop_;
    bool rootOfFirstEntry_ = false;
    CsvRow header_;
    CsvRow row_;
    std::vector<int> columnOf_;
    std::vector<bool> kept_;
    std::vector<bool> dropped_;
    bool named_ = false;
    int number_ = 0;  // the rows read, the header among them
    CsvRead read_;
    bool anyEntry_ = false;
    std::vector<bool> everyPathHasRoot_;
};

// The records an import writes: record 1's count, and each group before what it holds. Nothing
// to write when no row is imported.
struct ImportPlan {
    int recordCount = 0;  // the count for record 1 once these records are in use
    RecordBatch batch;
    int entries = 0;
    std::vector<SkippedRow> skippedRows;  // the first kNamedSkippedRows
    int skipped = 0;
    bool fileFull = false;  // rows were left out because no record number was left
};

// The next entry to import into entry; false when there are no more.
using EntrySource = std::function<bool(CsvEntry& entry)>;

// Plans the entries of next into the tree of store, taking one at a time: each into the group its
// path names, creating the groups that do not exist yet; toStored converts the file's text to the
// data file's. Names are trimmed and empty ones left out. The title follows the editor's rules
// (line breaks flattened, blank refused); a blank one is taken from the address's host name. A row
// whose values or group names cannot be stored intact, or whose path is deeper than MaxGroupDepth,
// is skipped.
ImportPlan PlanImport(RecordStore& store, int dataKey, const EntrySource& next,
                      const TextConverter& toStored, const PasswordTypeSettings& type,
                      platform::RandomSource& random);

struct ImportResult {
    int entries = 0;       // entries written
    bool complete = true;  // false when the write failed; nothing was written then
    int notWritten = 0;    // entries of the plan left out by the failed write
};

// Writes records of the data file as one change, using the batch up; false when they did not
// reach the disk, and then none of them did.
using BatchWriter = std::function<bool(RecordBatch& batch)>;

// Writes the records of the plan, the count in record 1 among them, in one batch.
ImportResult RunImport(ImportPlan& plan, const BatchWriter& write);

}  // namespace keyrack
