#pragma once

#include <string>
#include <vector>

// The comma-separated text other password keepers read and write: commas between fields, double
// quotes around a field that holds a comma, a quote or a line break, quotes inside doubled.
namespace keyrack {

using CsvRow = std::vector<std::string>;

// One row with its CRLF line end; a field is quoted only when it has to be.
std::string CsvLine(const CsvRow& fields);

struct CsvRows {
    std::vector<CsvRow> rows;
    // Per row: a quote opened in it never closes, or closes with text right after it. Such a row
    // holds the fields before that quote, and reading goes on at the line after the quote, so one
    // stray quote costs one row.
    std::vector<bool> broken;
};

// The rows of text, which may start with a UTF-8 byte order mark and may end its lines with
// CRLF or LF. Empty lines are left out. A quote inside an unquoted field is taken as it stands.
CsvRows ReadCsv(const std::string& text);

}  // namespace keyrack
