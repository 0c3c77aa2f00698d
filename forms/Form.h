#pragma once
// A window of the program: its definition, its handlers bound to named controls (Image1_Click,
// LTime_Timer, ...) and the showing, loading and unloading of the classic desktop. What is on
// the screen is the desktop's WindowView; this class holds the behaviour alone.

#include "forms/Click.h"
#include "forms/Desktop.h"
#include "forms/FormDefinition.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace linkvane {

// What happens when a handler names a control its window does not have, a slip that would
// otherwise do nothing: by default an assertion stops a debug build at once (a release build goes
// on as if the call had not been made); a test suite installs a report that fails the test.
// Gives the report it replaces; null puts the default back.
using UnknownControlReport = void (*)(std::string_view form, std::string_view control);
UnknownControlReport SetUnknownControlReport(UnknownControlReport report);

class Form {
public:
    explicit Form(FormDefinition definition);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const FormDefinition& definition() const { return m_definition; }
    WindowView& view() const { return *m_view; }

    // Builds the controls from the definition and runs Form_Load; nothing is on screen yet.
    void Load();
    bool isLoaded() const { return m_loaded; }
    // Loads when needed, then shows the window centred on the screen.
    void Show();
    // Shows the window modal to the program and returns only after it has been unloaded.
    void ShowModal();
    // Runs Form_Unload, hides the window, destroys its controls and ends a modal showing.
    void Unload();

    std::u16string text(std::string_view control) const;
    // Shows the text as every shaping engine can lay it out (forms/ShapeableText.h); the control
    // gives back what it shows.
    void setText(std::string_view control, const std::u16string& text);
    bool isBold(std::string_view control) const;
    void setBold(std::string_view control, bool bold);
    // Shows the picture of the bytes; bytes of an unknown format or of more than
    // kLargestPictureSide pixels on a side (forms/PictureHeader.h) show none.
    void setPicture(std::string_view control, const std::string& pictureBytes);
    void setReadingOrder(std::string_view control, ReadingOrder order);
    void ShowWarning(const std::u16string& title, const std::u16string& text);

    // Events, as the desktop reports them.
    bool HasClickHandler(std::string_view control) const;
    // Runs the control's click handler unless the press adds nothing (forms/Click.h).
    void ControlClicked(std::string_view control);
    void ControlMouseMoved(std::string_view control);
    // A pointer movement over the bare client area, where no control lies.
    void SurfaceMouseMoved();
    void TimerFired(std::string_view control);
    // The system asks the window to close (its close box, Alt+F4): it unloads, as its own way
    // out does.
    void CloseRequested();

protected:
    virtual void Form_Load() {}
    virtual void Form_MouseMove() {}
    virtual void Form_Unload() {}

    // Binds a handler to an event of a named control, for every future showing.
    void onClick(std::string control, std::function<void()> handler);
    void onMouseMove(std::string control, std::function<void()> handler);
    void onTimer(std::string control, std::function<void()> handler);

private:
    struct Handlers {
        std::function<void()> click, mouseMove, timer;
    };
    static void Run(const std::function<void()>& handler);
    const Handlers* handlersOf(std::string_view control) const;
    // The name of one of the definition's controls; otherwise reports it and gives false.
    bool isControl(std::string_view control) const;

    FormDefinition m_definition;
    std::map<std::string, Handlers, std::less<>> m_handlers;
    std::unique_ptr<WindowView> m_view;
    ControlActions m_clickActions;
    bool m_loaded = false;
};

}  // namespace linkvane
