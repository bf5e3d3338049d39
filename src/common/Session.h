#pragma once

#include <string>

#include "common/CivilTime.h"

namespace keyrack {

// What the parts of the main window share while the program runs: the open data file, the
// node the user is looking at, the edit under way and the generator's settings. The window
// owns it; a part that reads or changes it gets it in its constructor.
struct Session {
    std::string DataFilePath;
    int DataKey = 0;
    int RecordCount = 0;
    // "NEW", "EDIT", "DELETE", or empty while browsing.
    std::string EditMode;
    std::string BackupPeriod;
    CivilDateTime LastBackupDate;

    // The shown node: SelectedTag is -1 for a group, the record for an entry, -2 for nothing.
    int SelectedIndex = -1;
    int SelectedTag = -2;
    int ParentTag = -2;
    std::string SelectedText;  // as stored (Windows-1252)
    std::string SelectedKey;
    std::string ParentKey;

    // The password generator's settings for the shown or edited entry.
    std::string pw_Type;
    std::string pw_Case;
    std::string pw_NumChar;

    bool Typing() const { return EditMode == "NEW" || EditMode == "EDIT"; }

    void ForgetSelection() {
        SelectedIndex = -1;
        SelectedTag = -2;
        ParentTag = -2;
        SelectedText.clear();
        SelectedKey.clear();
        ParentKey.clear();
    }
};

}  // namespace keyrack
