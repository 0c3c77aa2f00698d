#pragma once
// Start-up errors in the user's words. Without a display Qt would print its platform plugin's
// diagnostics and abort; the program says instead, in one plain line, that it needs a graphical
// desktop, and exits with status 1.

namespace linkvane {

// Lives from just before the QApplication is made until it has been made. Meanwhile Qt's messages
// are held back: a fatal one (no display, no platform) ends the program with the plain line and
// status 1; the others are passed on once the application has started.
class StartupGuard {
public:
    StartupGuard();
    ~StartupGuard();
    StartupGuard(const StartupGuard&) = delete;
    StartupGuard& operator=(const StartupGuard&) = delete;

    // The application has started: the held messages go out and Qt's own handling is back.
    void Started();
};

// What the program says when it cannot open a window.
extern const char kNeedsGraphicalDesktop[];

}  // namespace linkvane
