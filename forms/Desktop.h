#pragma once
// What a desktop provides to the windows of the core: the runtime interface their handlers are
// written against. Each front end (Qt, Win32) implements it once; the core never sees a toolkit.

#include "forms/Click.h"
#include "forms/FormDefinition.h"

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

namespace linkvane {

class Form;

// One window of a desktop, built from its form's definition. Every call comes from the
// user-interface thread. Calls naming a control that does not exist (or is not built) do nothing.
class WindowView {
public:
    virtual ~WindowView() = default;

    // Builds the controls afresh from the definition and starts the timers; nothing is on screen.
    virtual void BuildControls() = 0;
    // Hides the window and destroys its controls; safe from a handler of one of them.
    virtual void DestroyControls() = 0;
    // Shows the window centred on the screen, the first control of the tab order focused.
    virtual void ShowCentred() = 0;
    // Shows the window modal to the whole program and returns once EndModal is called; the other
    // windows repaint and run their timers meanwhile but take no input.
    virtual void RunModal() = 0;
    virtual void EndModal() = 0;
    virtual bool IsVisible() const = 0;

    // The text of a text box, label or button.
    virtual std::u16string Text(std::string_view control) const = 0;
    virtual void SetText(std::string_view control, const std::u16string& text) = 0;
    virtual bool IsBold(std::string_view control) const = 0;
    virtual void SetBold(std::string_view control, bool bold) = 0;
    // Decodes the bytes of a picture for an image control; bytes that are no picture, or none,
    // leave it without a picture.
    virtual void SetPicture(std::string_view control, const std::string& pictureBytes) = 0;
    virtual void SetReadingOrder(std::string_view control, ReadingOrder order) = 0;

    // The program's one message box: a warning with one OK button, read right to left, modal to
    // this window; returns once it is dismissed.
    virtual void ShowWarning(const std::u16string& title, const std::u16string& text) = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    virtual std::unique_ptr<WindowView> CreateView(Form& form) = 0;
    // Asks for the visual-style common controls before any control exists, where the desktop has
    // them; any failure is ignored.
    virtual void InitCommonControls() {}

    // Ends the whole program: every window goes, no handler of theirs runs, and the program's
    // event loop returns (its main then abandons the work still running, forms/Background.h).
    void EndProgram();
    bool IsEnding() const { return m_ending; }

    // Runs the desktop's events on the user-interface thread while work goes on in another
    // thread, until `finished` is true (returns true) or the program is ending (returns false).
    // Meanwhile every window repaints, timers fire and close requests are handled; user input
    // (keys, clicks, pointer movements) is held and handled after the wait, in the order it came,
    // as the classic desktop queues it during a busy handler.
    virtual bool RunEventsUntil(const std::atomic<bool>& finished) = 0;
    // Wakes RunEventsUntil to look at its flag again. Safe from any thread.
    virtual void WakeEventLoop() = 0;

    // The desktop's input clock (by default the steady clock), and when the user made the input
    // being handled now: input held during a wait and handed over after it was made when it came,
    // not when it is handled. Outside the handing over of input, now.
    virtual InputMoment InputClockNow() const;
    virtual InputMoment InputMadeAt() const { return InputClockNow(); }

protected:
    // Hides and closes every window and makes the program's event loop (and any wait in
    // RunEventsUntil) return.
    virtual void CloseEverything() = 0;

private:
    bool m_ending = false;
};

// The desktop in use; a front end installs its own before it creates any window.
void InstallDesktop(Desktop* desktop);
Desktop& CurrentDesktop();

}  // namespace linkvane
