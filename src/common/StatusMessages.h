#pragma once

#include <array>

namespace keyrack {

// Catalogue numbers of what the window says it did, of the Entry menu and of the menus'
// captions.

// Shown in the status bar for a few seconds after a command.
constexpr int kMessageCopiedUserName = 100;  // %1: seconds until the clipboard is cleared
constexpr int kMessageCopiedPassword = 101;  // %1: seconds until the clipboard is cleared
constexpr int kMessageEntrySaved = 102;
constexpr int kMessageNodeMoved = 103;      // %1: the node's text
constexpr int kMessageBackupWritten = 104;  // %1: the backup's path
constexpr int kMessageBackupRestored = 105;
constexpr int kMessageEntriesExported = 106;  // %1: how many
constexpr int kMessageLocked = 107;
constexpr int kMessageNodeDeleted = 108;  // %1: the node's text

constexpr int kMessageDeleteGroupQuestion = 109;  // %1: the group's name

// Menu captions, each with its "&" mnemonic.
constexpr int kMessageMenuFile = 35;
constexpr int kMessageMenuEntry = 110;
constexpr int kMessageMenuAbout = 111;
// The menu bar's captions in their order: no two may share a mnemonic in any language.
constexpr std::array<int, 3> kTopLevelMenus = {kMessageMenuFile, kMessageMenuEntry,
                                               kMessageMenuAbout};

// Menu texts of commands whose toolbar caption is shorter.
constexpr int kMessageCopyUserNameCommand = 112;
constexpr int kMessageCopyPasswordCommand = 113;
constexpr int kMessageOpenAddressCommand = 114;
constexpr int kMessageNewGroupCommand = 115;
constexpr int kMessageRenameCommand = 116;

// How long the status bar shows what a command did.
constexpr int kStatusShownMs = 6000;

}  // namespace keyrack
