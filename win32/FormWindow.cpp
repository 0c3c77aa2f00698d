// A form window's life (its window class, building and destroying its window and controls, a
// change of resolution, its timers) and the controls' state the form reads and sets.

#include "win32/FormWindow.h"

#include "forms/Form.h"
#include "win32/Accessible.h"
#include "win32/ChildControls.h"
#include "win32/Dpi.h"
#include "win32/Resources.h"
#include "win32/Text.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace linkvane {

namespace {

constexpr wchar_t kWindowClass[] = L"LinkvaneForm";

void RegisterWindowClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        // A second press of a double-click arrives as a double-click, which no control handles.
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

std::vector<FormWindow*>& Registry() {
    static std::vector<FormWindow*> windows;
    return windows;
}

}  // namespace

FormWindow::FormWindow(Form& form) : m_form(form) {
    RegisterWindowClass(&WindowProcedure);
    const FormDefinition& definition = m_form.definition();
    m_bigIcon = LoadIconResource(definition.icon, SM_CXICON, SM_CYICON);
    m_smallIcon = LoadIconResource(definition.icon, SM_CXSMICON, SM_CYSMICON);
    Registry().push_back(this);
}

FormWindow::~FormWindow() {
    if (m_window) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
    if (m_bigIcon)
        DestroyIcon(m_bigIcon);
    if (m_smallIcon)
        DestroyIcon(m_smallIcon);
    std::erase(Registry(), this);
}

FormWindow* FormWindow::FromHandle(HWND window) {
    for (FormWindow* form : Registry()) {
        if (form->m_window && form->m_window == window)
            return form;
    }
    return nullptr;
}

const std::vector<FormWindow*>& FormWindow::All() { return Registry(); }

// --- Building -------------------------------------------------------------------------------

void FormWindow::createWindow() {
    const FormDefinition& definition = m_form.definition();
    DWORD style = WS_CAPTION | WS_CLIPCHILDREN;
    DWORD extended = WS_EX_TOOLWINDOW;
    HWND owner = nullptr;
    if (definition.frame == FrameStyle::SizableToolWindow) {
        // A close box only, a sizing border, and a task-bar button although it is a tool window.
        style |= WS_SYSMENU | WS_THICKFRAME;
        extended |= WS_EX_APPWINDOW;
    } else {
        // The title only. Owned by the window that opens it, so that it stays above that one
        // and has no task-bar button of its own.
        HWND active = GetActiveWindow();
        owner = FromHandle(active) ? active : nullptr;
    }
    // Made at the system's resolution; the monitor it lands on may have another.
    m_dpi = SystemDpi();
    const PixelSize frame = FrameSizeFor(ClientSizeOf(definition, m_dpi), style, extended, m_dpi);
    const std::u16string& caption = definition.caption;
    m_window = CreateWindowExW(extended, kWindowClass, Wide(caption), style, CW_USEDEFAULT, CW_USEDEFAULT,
                               frame.width, frame.height, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_window)
        return;
    if (const int own = WindowDpi(m_window); own != m_dpi) {
        m_dpi = own;
        const PixelSize resized = FrameSizeFor(ClientSizeOf(definition, m_dpi), style, extended, m_dpi);
        SetWindowPos(m_window, nullptr, 0, 0, resized.width, resized.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!definition.background.empty()) {
        HDC screen = GetDC(m_window);
        m_background.Prepare(definition.background, m_dpi, screen);
        ReleaseDC(m_window, screen);
    }
    // Messages of the creation itself go to the default procedure.
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (m_bigIcon)
        SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    if (m_smallIcon)
        SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
}

void FormWindow::BuildControls() {
    if (m_window)
        DestroyControls();
    createWindow();
    if (!m_window)
        return;
    const auto& definitions = m_form.definition().controls;
    m_controls.clear();
    m_controls.reserve(definitions.size());
    for (std::size_t i = 0; i < definitions.size(); ++i)
        buildControl(definitions[i], i);
    // Tool tips take the topmost control under the pointer: added in stacking order.
    for (Control& control : m_controls)
        addToolTip(control);
    for (Control& control : m_controls)
        armTimer(control);
}

void FormWindow::buildControl(const ControlDefinition& definition, std::size_t index) {
    Control& control = m_controls.emplace_back();
    control.definition = &definition;
    control.text = definition.text;
    control.bold = definition.bold;
    control.readingOrder = definition.readingOrder;
    switch (definition.kind) {
    case ControlKind::Label:
        LayOutLabel(control, m_dpi);
        break;
    case ControlKind::Image:
        PlaceImage(control, m_dpi);
        break;
    case ControlKind::TextBox:
    case ControlKind::CommandButton:
        buildChildWindow(control, index);
        break;
    case ControlKind::Timer:
        control.timer = kFirstId + index;
        break;
    }
}

void FormWindow::buildChildWindow(Control& control, std::size_t index) {
    const ControlDefinition& d = *control.definition;
    control.window = CreateChildControl(m_window, d, kFirstId + index, m_dpi);
    if (d.kind == ControlKind::TextBox)
        NameForScreenReaders(control.window, AccessibleName(m_form.definition(), d, {}));
}

void FormWindow::addToolTip(Control& control) {
    const std::u16string& tip = control.definition->toolTip;
    const UINT_PTR id = kFirstId + std::size_t(&control - m_controls.data());
    if (!tip.empty())
        control.toolId = m_toolTips.Add(m_window, tip, control.window, id, control.area);
}

void FormWindow::updateToolRect(const Control& control) {
    if (!control.window)
        m_toolTips.MoveArea(m_window, control.toolId, control.area);
}

// A window moved to a monitor of another resolution takes the size the system suggests and lays
// itself out again at the new resolution: every control, the fonts and the background picture.
void FormWindow::takeResolution(int dpi, const RECT* suggested) {
    if (dpi <= 0 || !m_window)
        return;
    m_dpi = dpi;
    if (suggested) {
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HDC screen = GetDC(m_window);
    m_background.Prepare(m_form.definition().background, m_dpi, screen);
    ReleaseDC(m_window, screen);
    for (Control& control : m_controls) {
        if (control.window)
            PlaceChildControl(control.window, *control.definition, m_dpi);
        else if (control.definition->kind == ControlKind::Label)
            LayOutLabel(control, m_dpi);
        else if (control.definition->kind == ControlKind::Image)
            PlaceImage(control, m_dpi);
        updateToolRect(control);
    }
    InvalidateRect(m_window, nullptr, FALSE);
}

// Each firing arms the next, so that a seconds clock keeps to the second boundaries.
void FormWindow::armTimer(Control& control) {
    if (!control.timer || !m_window)
        return;
    if (const auto delay = TimerDelay(*control.definition, std::chrono::system_clock::now()))
        SetTimer(m_window, control.timer, UINT(std::max<long long>(delay->count(), USER_TIMER_MINIMUM)), nullptr);
}

void FormWindow::DestroyControls() {
    // The windows a modal showing disabled take input again before this one goes, so that the
    // system hands the activation back to them.
    if (m_modal)
        enableOtherWindows();
    m_pressed.clear();
    m_focusBeforeDeactivation = nullptr;
    m_keyFocus.clear();
    if (m_window) {
        HWND window = std::exchange(m_window, nullptr);
        ShowWindow(window, SW_HIDE);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);  // its child windows, timers and tool tips with it
    }
    m_toolTips.Forget();
    m_controls.clear();
}

// --- Controls' state ------------------------------------------------------------------------

void FormWindow::invalidate(const RECT& area) {
    if (m_window && !IsRectEmpty(&area))
        InvalidateRect(m_window, &area, FALSE);
}

// A drawn control takes its new place, and both the old and the new one are painted again.
template <typename Change>
void FormWindow::redraw(Control& control, Change change) {
    invalidate(control.area);
    change();
    if (control.definition->kind == ControlKind::Label)
        LayOutLabel(control, m_dpi);
    else
        PlaceImage(control, m_dpi);
    invalidate(control.area);
}

FormWindow::Control* FormWindow::find(std::string_view name) {
    for (Control& control : m_controls) {
        if (control.definition->name == name)
            return &control;
    }
    return nullptr;
}

const FormWindow::Control* FormWindow::find(std::string_view name) const {
    return const_cast<FormWindow*>(this)->find(name);
}

std::u16string FormWindow::Text(std::string_view name) const {
    const Control* control = find(name);
    if (!control)
        return {};
    // Typed text is what the box shows; otherwise what it was handed, line breaks as they came.
    if (control->window && control->definition->kind == ControlKind::TextBox &&
        SendMessageW(control->window, EM_GETMODIFY, 0, 0))
        return WindowText(control->window);
    if (control->window && control->definition->kind == ControlKind::CommandButton)
        return WindowText(control->window);
    return control->text;
}

void FormWindow::SetText(std::string_view name, const std::u16string& text) {
    Control* control = find(name);
    if (!control || control->definition->kind == ControlKind::Timer || control->definition->kind == ControlKind::Image)
        return;
    if (control->window) {
        control->text = text;
        ShowText(control->window, *control->definition, text);  // also clears "modified"
        return;
    }
    if (text == control->text)
        return;  // the same caption again (the clock between seconds): nothing to repaint
    redraw(*control, [&] { control->text = text; });
    announceNameChange(*control);
}

bool FormWindow::IsBold(std::string_view name) const {
    const Control* control = find(name);
    return control && control->definition->kind == ControlKind::Label && control->bold;
}

void FormWindow::SetBold(std::string_view name, bool bold) {
    Control* control = find(name);
    if (!control || control->definition->kind != ControlKind::Label || control->bold == bold)
        return;
    redraw(*control, [&] { control->bold = bold; });
}

void FormWindow::SetPicture(std::string_view name, const std::string& pictureBytes) {
    Control* control = find(name);
    if (!control || control->definition->kind != ControlKind::Image)
        return;
    redraw(*control, [&] { control->picture = Picture::Decode(pictureBytes); });
    updateToolRect(*control);
}

void FormWindow::SetReadingOrder(std::string_view name, ReadingOrder order) {
    Control* control = find(name);
    if (!control || control->definition->kind != ControlKind::Label || control->readingOrder == order)
        return;
    redraw(*control, [&] { control->readingOrder = order; });
}

void FormWindow::ShowWarning(const std::u16string& title, const std::u16string& text) {
    MessageBoxW(m_window, Wide(text), Wide(title), MB_OK | MB_ICONEXCLAMATION | MB_RTLREADING);
}

}  // namespace linkvane
