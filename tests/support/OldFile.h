#pragma once

#include <string>

#include "store/RecordStore.h"
#include "store/ValueCipher.h"

namespace keyrack::testing {

// A data file as earlier versions wrote it (520-byte records): the header with the file's key,
// the settings with the login "olduser" / "oldpass", and the entry "Bank" at record 3.
inline std::string OldDataFile(int key) {
    std::string file;
    const auto add = [&file](int field, const std::string& value) {
        file +=
            value.substr(0, FieldWidth(field)) +
            std::string(FieldWidth(field) - std::min<int>(value.size(), FieldWidth(field)), ' ');
    };
    const auto login = [](const std::string& text) {
        return EncodeValue(text, LoginKey, true, 100);
    };
    const auto data = [key](const std::string& text) { return EncodeValue(text, key, true, 100); };
    const std::string records[3][7] = {
        {"", "", "", "", login(std::to_string(key)), "1", ""},
        {login("hint"), "", login("olduser"), login("oldpass"), "", "", ""},
        {data("Bank"), data("https://bank.example/"), data("me"), data("pin"), data("ALPHA"),
         data("Y"), data("8")},
    };
    for (const auto& record : records) {
        for (int field = 1; field <= 7; ++field) {
            add(field, record[field - 1]);
        }
    }
    return file;
}

}  // namespace keyrack::testing
