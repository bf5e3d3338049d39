#include "store/Csv.h"

namespace keyrack {

namespace {

bool NeedsQuotes(const std::string& field) {
    return field.find_first_of(",\"\r\n") != std::string::npos;
}

}  // namespace

std::string CsvLine(const CsvRow& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        const std::string& field = fields[i];
        if (!NeedsQuotes(field)) {
            line += field;
            continue;
        }
        line += '"';
        for (char c : field) {
            line += c;
            if (c == '"') {
                line += '"';
            }
        }
        line += '"';
    }
    return line + "\r\n";
}

std::vector<CsvRow> ReadCsv(const std::string& text) {
    std::vector<CsvRow> rows;
    CsvRow row;
    std::string field;
    bool quoted = false;  // inside a quoted field
    bool lineHasText = false;
    const auto endField = [&] {
        row.push_back(std::move(field));
        field.clear();
    };
    const auto endRow = [&] {
        endField();
        if (lineHasText) {
            rows.push_back(std::move(row));
        }
        row.clear();
        lineHasText = false;
    };
    std::size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (c == '"' && field.empty()) {
            quoted = true;
            lineHasText = true;
        } else if (c == ',') {
            endField();
            lineHasText = true;
        } else if (c == '\n') {
            endRow();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            // the LF ends the row
        } else {
            field += c;
            lineHasText = true;
        }
    }
    if (lineHasText || !field.empty()) {
        endRow();
    }
    return rows;
}

}  // namespace keyrack
