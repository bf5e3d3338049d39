#pragma once

// Catalogue numbers of the main window's texts about reading and editing an entry.
namespace keyrack {

// The eye button's name for screen readers and its tooltip.
constexpr int kMessageShowPassword = 100;
// A box whose value cannot be saved: %1 characters fit, %2 are typed.
constexpr int kMessageValueTooLong = 101;
// Closing the window while an entry is being edited.
constexpr int kMessageSaveBeforeClosing = 102;
// Cancelling the unlock while an entry is being edited.
constexpr int kMessageEditKeepsLock = 103;

}  // namespace keyrack
