#pragma once
// The Win32 runtime of a window: a top-level window built from its form's definition at every
// showing, shown centred or modal, with the keyboard focus and the controls' state. Its drawn
// controls are laid out, painted and hit-tested in win32/DrawnControls.h, its tips are
// win32/ToolTips.h, and its window procedure (mouse, timers, activation) is FormWindowMessages.cpp.

#include "forms/Click.h"
#include "forms/Desktop.h"
#include "forms/ScreenReader.h"
#include "win32/Backdrop.h"
#include "win32/DrawnControls.h"
#include "win32/PressTiming.h"
#include "win32/ToolTips.h"

#include <windows.h>

#include <string>
#include <vector>

namespace linkvane {

class FormWindow : public WindowView {
public:
    explicit FormWindow(Form& form);
    ~FormWindow() override;
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    // The form window of a top-level window handle of this program, or none.
    static FormWindow* FromHandle(HWND window);
    // Every form window of the program, built or not.
    static const std::vector<FormWindow*>& All();

    HWND handle() const { return m_window; }
    Form& form() const { return m_form; }

    void BuildControls() override;
    void DestroyControls() override;
    void ShowCentred() override;
    void RunModal() override;
    void EndModal() override;
    bool IsVisible() const override;
    std::u16string Text(std::string_view control) const override;
    void SetText(std::string_view control, const std::u16string& text) override;
    bool IsBold(std::string_view control) const override;
    void SetBold(std::string_view control, bool bold) override;
    void SetPicture(std::string_view control, const std::string& pictureBytes) override;
    void SetReadingOrder(std::string_view control, ReadingOrder order) override;
    void ShowWarning(const std::u16string& title, const std::u16string& text) override;

    // Moves the keyboard focus to the next (or previous) control of the tab order that is shown.
    void MoveFocus(bool backwards);

    // --- Screen readers and the keyboard on drawn controls (win32/FormWindowAccess.cpp) ---
    struct ScreenReaderElement {
        const ControlDefinition* definition = nullptr;
        HWND window = nullptr;  // a text box or the button; null for a drawn control
        RECT screen{};          // where it lies on the screen
        std::u16string name;
        AccessibleRole role = AccessibleRole::StaticText;
        bool clickable = false, inSight = false, focusable = false, focused = false;
    };
    // Every control screen readers see, in reading order (forms/ScreenReader.h).
    std::vector<ScreenReaderElement> ScreenReaderElements() const;
    // The control a click at a point of the client area reaches: a child window, or the topmost
    // drawn control there; empty for the bare surface.
    std::string_view ControlAt(POINT point) const;
    // Presses a drawn control as a click on it does: queued as one, behind the input before it.
    void PostPress(const ControlDefinition& control);
    // Gives the keyboard focus to a control that takes it, drawn or not.
    void FocusControl(const ControlDefinition& control);

private:
    using Control = WindowControl;
    // Child windows and timers are numbered from here, by their place in the definition.
    static constexpr UINT_PTR kFirstId = 100;
    // The test suite reads the built controls' places, the resolution and the background.
    friend struct FormWindowInspector;

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void createWindow();
    void buildControl(const ControlDefinition& definition, std::size_t index);
    void buildChildWindow(Control& control, std::size_t index);
    void addToolTip(Control& control);
    void updateToolRect(const Control& control);
    void takeResolution(int dpi, const RECT* suggested);
    void armTimer(Control& control);
    void centreOnScreen();
    void focusFirstControl();
    bool canTakeFocus(const ControlDefinition& definition) const;

    void invalidate(const RECT& area);
    // Lays a drawn control out again for a new text, weight, reading order or picture.
    template <typename Change>
    void redraw(Control& control, Change change);

    void onMouseMove(POINT point);
    void onButtonDown(POINT point, MouseButton button, PressKind kind);
    void onButtonUp(POINT point, MouseButton button);
    bool onSetCursor();
    void onTimer(UINT_PTR timer);
    void onActivate(bool active);
    bool onKeyDown(WPARAM key, LPARAM flags);
    void onFocusChange(bool gained, HWND other);
    void invalidateFocusCue();
    void announceNameChange(Control& control);
    long childIdOf(const ControlDefinition& control) const;
    // A control's rectangle in client pixels: its drawn area, or its child window's.
    RECT placeOf(const Control& control) const;

    void disableOtherWindows();
    void enableOtherWindows();

    Control* find(std::string_view name);
    const Control* find(std::string_view name) const;

    Form& m_form;
    Backdrop m_background;
    int m_dpi = 96;
    HICON m_bigIcon = nullptr, m_smallIcon = nullptr;
    HWND m_window = nullptr;
    ToolTips m_toolTips;
    std::vector<Control> m_controls;
    std::string m_pressed;  // the drawn control a press of the primary button went down on
    ClickCounter m_clicks;
    PressTiming m_primaryPresses;
    HWND m_focusBeforeDeactivation = nullptr;
    std::string m_keyFocus;  // the drawn control that has the keyboard focus, while the window has it
    bool m_modal = false, m_modalEnded = false;
    std::vector<HWND> m_disabledForModal;
};

}  // namespace linkvane
