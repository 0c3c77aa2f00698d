#pragma once
// The Win32 runtime of a window: a top-level window built from its form's definition at every
// showing. Labels and images are drawn on the window's own surface and hit-tested here, in the
// layout's stacking order; text boxes and the button are the system's EDIT and BUTTON controls.

#include "forms/Click.h"
#include "forms/Desktop.h"
#include "forms/ScreenReader.h"
#include "win32/Backdrop.h"
#include "win32/Picture.h"

#include <windows.h>

#include <chrono>
#include <optional>
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

    // Where a control is in client pixels: the area that takes the mouse (a drawn control) or
    // the child window's rectangle; empty for an unknown control. For tests and tools.
    RECT ControlRect(std::string_view control) const;

    // The resolution the window is laid out at, in dots per inch, and its background picture.
    int dpi() const { return m_dpi; }
    const Backdrop& backdrop() const { return m_background; }

private:
    struct Control {
        const ControlDefinition* definition = nullptr;
        HWND window = nullptr;     // text boxes and the button
        POINT textOrigin{};        // a label: where its line of text starts
        RECT area{};               // a drawn control: where it takes the mouse and draws
        std::u16string text;       // a label's caption, or the text last handed to a text box
        bool bold = false;
        ReadingOrder readingOrder = ReadingOrder::LeftToRight;
        Picture picture;
        UINT_PTR timer = 0;
        UINT_PTR toolId = 0;
        std::chrono::steady_clock::time_point nameAnnounced{};  // a label's last name change told
    };

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void createWindow();
    void buildControl(const ControlDefinition& definition, std::size_t index);
    void buildChildWindow(Control& control, std::size_t index);
    void addToolTip(Control& control);
    void updateToolRect(const Control& control);
    void layoutLabel(Control& control);
    void placeImage(Control& control);
    void takeResolution(int dpi, const RECT* suggested);
    void armTimer(Control& control);
    void centreOnScreen();
    void focusFirstControl();
    bool canTakeFocus(const ControlDefinition& definition) const;

    void paint();
    void drawControl(HDC dc, const Control& control) const;
    void invalidate(const RECT& area);

    const Control* controlAt(POINT point) const;
    void onMouseMove(POINT point);
    PressKind primaryPressKind(POINT point);
    void onButtonDown(POINT point, MouseButton button, PressKind kind);
    void onButtonUp(POINT point, MouseButton button);
    bool onSetCursor();
    void onTimer(UINT_PTR timer);
    void onActivate(bool active);
    bool onKeyDown(WPARAM key, LPARAM flags);
    void drawFocusCue(HDC dc) const;
    void announceNameChange(Control& control);
    long childIdOf(const ControlDefinition& control) const;

    void disableOtherWindows();
    void enableOtherWindows();

    Control* find(std::string_view name);
    const Control* find(std::string_view name) const;

    Form& m_form;
    Backdrop m_background;
    int m_dpi = 96;
    HICON m_bigIcon = nullptr, m_smallIcon = nullptr;
    HWND m_window = nullptr;
    HWND m_toolTips = nullptr;
    std::vector<Control> m_controls;
    std::string m_pressed;  // the drawn control a press of the primary button went down on
    ClickCounter m_clicks;
    struct TimedPress {
        LONG time;  // GetMessageTime() of the press
        POINT point;
    };
    std::optional<TimedPress> m_lastPrimaryPress;  // a single press that may begin a double-click
    HWND m_focusBeforeDeactivation = nullptr;
    std::string m_keyFocus;  // the drawn control that has the keyboard focus, while the window has it
    bool m_modal = false, m_modalEnded = false;
    std::vector<HWND> m_disabledForModal;
};

}  // namespace linkvane
