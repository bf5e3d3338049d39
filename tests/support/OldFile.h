#pragma once

#include <string>

#include "store/RecordStore.h"
#include "store/ValueCipher.h"

namespace keyrack::testing {

// A data file as earlier versions wrote it (520-byte records): the header with the file's key,
// the settings with the login "olduser" / "oldpass", and the entry "Bank" at record 3.
inline std::string OldDataFile(int key) {
    std::string file;
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
            std::string value = record[field - 1];
            value.resize(FieldWidth(field), ' ');
            file += value;
        }
    }
    return file;
}

}  // namespace keyrack::testing
