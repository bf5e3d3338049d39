#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The comma-separated text other password keepers read and write: commas between fields, double
// quotes around a field that holds a comma, a quote or a line break, quotes inside doubled.
namespace keyrack {

using CsvRow = std::vector<std::string>;

constexpr char kCsvLineEnd[] = "\r\n";

// One row with its CRLF line end; a field is quoted only when it has to be.
std::string CsvLine(const CsvRow& fields);
// One field of a row, quoted only when it has to be, added to what line holds.
void AppendCsvField(std::string& line, std::string_view field);

// Reads rows one at a time from a source of bytes, holding no more of the text than the row being
// read and what one read of the source gave, so that a file of any size takes little memory.
// The text may start with a UTF-8 byte order mark and may end its lines with CRLF or LF. Empty
// lines are left out. A quote inside an unquoted field is taken as it stands.
class CsvReader {
  public:
    // Puts up to room bytes at into and says how many; 0 at the end of the text.
    using Source = std::function<std::size_t(char* into, std::size_t room)>;

    explicit CsvReader(Source source, std::size_t readSize = 1 << 16);

    // The next row; false after the last one. A row is broken when a quote opened in it never
    // closes, or closes with text right after it: it then holds the fields before that quote,
    // and reading goes on at the line after the quote, so one stray quote costs one row.
    bool Next(CsvRow& row, bool& broken);

  private:
    // Appends at least one more read to the text held; false at the end of the source.
    bool ReadMore();

    Source source_;
    std::size_t readSize_;
    std::string text_;
    std::size_t at_ = 0;
    bool ended_ = false;
    bool started_ = false;
};

}  // namespace keyrack
