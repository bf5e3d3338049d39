#pragma once

#include <array>

namespace keyrack {

// Catalogue numbers of what the window says it did, of the Entry menu and of the menus'
// captions.

// Shown in the status bar for a few seconds after a command.
constexpr int kMessageCopiedUserName = 104;  // %1: seconds until the clipboard is cleared
constexpr int kMessageCopiedPassword = 105;  // %1: seconds until the clipboard is cleared
constexpr int kMessageEntrySaved = 106;
constexpr int kMessageNodeMoved = 107;      // %1: the node's text
constexpr int kMessageBackupWritten = 108;  // %1: the backup's path
constexpr int kMessageBackupRestored = 109;
constexpr int kMessageEntriesExported = 110;  // %1: how many
constexpr int kMessageLocked = 111;
constexpr int kMessageNodeDeleted = 112;  // %1: the node's text

constexpr int kMessageDeleteGroupQuestion = 113;  // %1: the group's name

// Menu captions, each with its "&" mnemonic.
constexpr int kMessageMenuFile = 35;
constexpr int kMessageMenuEntry = 114;
constexpr int kMessageMenuAbout = 115;
// The menu bar's captions in their order: no two may share a mnemonic in any language.
constexpr std::array<int, 3> kTopLevelMenus = {kMessageMenuFile, kMessageMenuEntry,
                                               kMessageMenuAbout};

// Menu texts of commands whose toolbar caption is shorter.
constexpr int kMessageCopyUserNameCommand = 116;
constexpr int kMessageCopyPasswordCommand = 117;
constexpr int kMessageOpenAddressCommand = 118;
constexpr int kMessageNewGroupCommand = 119;
constexpr int kMessageRenameCommand = 120;

// How long the status bar shows what a command did.
constexpr int kStatusShownMs = 6000;

}  // namespace keyrack
