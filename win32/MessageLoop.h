#pragma once
// The program's message loops (the main one, a modal showing's) and the one way they hand a
// message on.

#include <windows.h>

#include <optional>

namespace linkvane {

// Hands a queued message to its window. Tab and Shift+Tab move the focus along the tab order of
// the window they were pressed in; no control ever receives them, so no text box types a tab.
void DispatchQueued(const MSG& message);

// The time (the system's tick count) at which the user made the keyboard or mouse message being
// dispatched now by DispatchQueued; none while no such message is. Swaps in `time` and gives back
// the one before, so that a wait can put it aside while it lasts.
std::optional<DWORD> DispatchedInputTime();
std::optional<DWORD> ExchangeDispatchedInputTime(std::optional<DWORD> time);

// Runs the program's messages until WM_QUIT and returns its exit code.
int RunMessageLoop();

// Runs messages until `done` is set by a handler, or until WM_QUIT, which is posted again for
// the loop outside, so that the program still ends.
void RunMessagesUntil(const bool& done);

}  // namespace linkvane
