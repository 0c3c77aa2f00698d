#include "win32/FormWindow.h"

#include "forms/Form.h"
#include "forms/LabelText.h"
#include "forms/Twips.h"
#include "win32/Accessible.h"
#include "win32/ChildControls.h"
#include "win32/Dpi.h"
#include "win32/MessageLoop.h"
#include "win32/Resources.h"
#include "win32/Text.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <utility>

namespace linkvane {

namespace {

constexpr wchar_t kWindowClass[] = L"LinkvaneForm";
// Child windows and timers are numbered from here, by their place in the definition.
constexpr UINT_PTR kFirstId = 100;

RECT ToRect(const PixelRect& r) { return {r.left, r.top, r.right(), r.bottom()}; }

RECT StoredRect(const ControlDefinition& d, int dpi) { return ToRect(PixelRectOf(d, dpi)); }

// A picture's pixels are the layout's: at 150 % it is drawn half as large again, as the
// rectangle it lies in is.
PixelSize AtResolution(PixelSize picture, int dpi) {
    const double scale = double(dpi) / kStandardDpi;
    return {ScaledPixels(picture.width, scale), ScaledPixels(picture.height, scale)};
}

bool IsDrawn(const ControlDefinition& d) {
    return d.kind == ControlKind::Label || d.kind == ControlKind::Image;
}

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
        layoutLabel(control);
        break;
    case ControlKind::Image:
        placeImage(control);
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
    const ControlDefinition& d = *control.definition;
    if (d.toolTip.empty())
        return;
    if (!m_toolTips) {
        // The tooltip class, whatever the common-control classes the program asked for.
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_TAB_CLASSES};
        InitCommonControlsEx(&classes);
        m_toolTips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
        if (!m_toolTips)
            return;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_window;
    tool.hinst = GetModuleHandleW(nullptr);
    tool.lpszText = const_cast<wchar_t*>(Wide(d.toolTip));
    if (control.window) {
        tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
        tool.uId = reinterpret_cast<UINT_PTR>(control.window);
    } else {
        tool.uFlags = TTF_SUBCLASS;
        tool.uId = kFirstId + std::size_t(&control - m_controls.data());
        tool.rect = control.area;
    }
    if (SendMessageW(m_toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
        control.toolId = tool.uId;
}

void FormWindow::updateToolRect(const Control& control) {
    if (!m_toolTips || !control.toolId || control.window)
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_window;
    tool.uId = control.toolId;
    tool.rect = control.area;
    SendMessageW(m_toolTips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// A label lies where the layout's rules put it for its text as measured in its font
// (forms/LabelText.h); it takes the mouse and draws wherever its line or its ink is, so no letter
// is cut and no paint leaves a trace behind.
void FormWindow::layoutLabel(Control& control) {
    const TextMeasure text = MeasureText(WindowFont(control.bold, m_dpi), control.text, control.readingOrder);
    const LabelPlacement placed = PlaceLabel(*control.definition, text, m_dpi);
    control.area = ToRect(placed.rect);
    control.textOrigin = {placed.rect.left + placed.penX, placed.rect.top + placed.baseline - text.ascent};
}

// An image without a picture is a hot area of its stored size; with one it takes the picture's
// size, never beyond the stored rectangle, so that no picture covers another control.
void FormWindow::placeImage(Control& control) {
    const ControlDefinition& d = *control.definition;
    RECT box = StoredRect(d, m_dpi);
    if (control.picture) {
        const PixelSize size = ImageSizeFor(d, AtResolution(control.picture.size(), m_dpi), m_dpi);
        box.right = box.left + size.width;
        box.bottom = box.top + size.height;
    }
    control.area = box;
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
            layoutLabel(control);
        else if (control.definition->kind == ControlKind::Image)
            placeImage(control);
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
    m_toolTips = nullptr;
    m_controls.clear();
}

// --- Showing --------------------------------------------------------------------------------

// The whole window, frame included, in the middle of the screen's work area.
void FormWindow::centreOnScreen() {
    RECT frame;
    GetWindowRect(m_window, &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const PixelRect placed = CentredOn({work.left, work.top, work.right - work.left, work.bottom - work.top},
                                       {frame.right - frame.left, frame.bottom - frame.top});
    SetWindowPos(m_window, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A window shows with the focus in its first box or button; drawn controls wait for Tab.
void FormWindow::focusFirstControl() {
    for (const ControlDefinition* d : TabOrder(m_form.definition())) {
        if (IsWindowed(*d) && canTakeFocus(*d)) {
            SetFocus(find(d->name)->window);
            return;
        }
    }
    SetFocus(m_window);
}

void FormWindow::ShowCentred() {
    if (!m_window)
        return;
    centreOnScreen();
    ShowWindow(m_window, SW_SHOW);
    SetForegroundWindow(m_window);
    UpdateWindow(m_window);
    focusFirstControl();
}

void FormWindow::disableOtherWindows() {
    m_disabledForModal.clear();
    for (FormWindow* other : Registry()) {
        HWND window = other->m_window;
        if (other != this && window && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            m_disabledForModal.push_back(window);
        }
    }
}

void FormWindow::enableOtherWindows() {
    for (HWND window : m_disabledForModal) {
        if (IsWindow(window))
            EnableWindow(window, TRUE);
    }
    m_disabledForModal.clear();
}

void FormWindow::RunModal() {
    if (!m_window)
        return;
    m_modal = true;
    m_modalEnded = false;
    disableOtherWindows();
    ShowCentred();
    RunMessagesUntil(m_modalEnded);
    enableOtherWindows();
    m_modal = false;
}

void FormWindow::EndModal() { m_modalEnded = true; }

bool FormWindow::IsVisible() const { return m_window && IsWindowVisible(m_window); }

// Tab passes by what is hidden, disabled or out of sight, and by a drawn control nothing listens to.
bool FormWindow::canTakeFocus(const ControlDefinition& definition) const {
    const Control* control = find(definition.name);
    if (!control)
        return false;
    RECT client{}, box = ControlRect(definition.name);
    GetClientRect(m_window, &client);
    if (!InSight({box.left, box.top, box.right - box.left, box.bottom - box.top}, {client.right, client.bottom}))
        return false;
    if (!control->window)
        return definition.visible && m_form.HasClickHandler(definition.name);
    return IsWindowVisible(control->window) && IsWindowEnabled(control->window);
}

void FormWindow::MoveFocus(bool backwards) {
    HWND focus = GetFocus();
    std::string current = focus == m_window ? m_keyFocus : std::string();
    for (const Control& control : m_controls) {
        if (control.window && control.window == focus)
            current = control.definition->name;
    }
    const ControlDefinition* next = NextInTabOrder(m_form.definition(), current, backwards,
                                                   [this](const ControlDefinition& d) { return canTakeFocus(d); });
    if (next)
        FocusControl(*next);
}

// --- Controls' state ------------------------------------------------------------------------

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

RECT FormWindow::ControlRect(std::string_view name) const {
    const Control* control = find(name);
    if (!control)
        return {};
    if (!control->window)
        return control->area;
    RECT box;
    GetWindowRect(control->window, &box);
    MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&box), 2);
    return box;
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
    invalidate(control->area);
    control->text = text;
    layoutLabel(*control);
    invalidate(control->area);
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
    invalidate(control->area);
    control->bold = bold;
    layoutLabel(*control);
    invalidate(control->area);
}

void FormWindow::SetPicture(std::string_view name, const std::string& pictureBytes) {
    Control* control = find(name);
    if (!control || control->definition->kind != ControlKind::Image)
        return;
    invalidate(control->area);
    control->picture = Picture::Decode(pictureBytes);
    placeImage(*control);
    updateToolRect(*control);
    invalidate(control->area);
}

void FormWindow::SetReadingOrder(std::string_view name, ReadingOrder order) {
    Control* control = find(name);
    if (!control || control->definition->kind != ControlKind::Label || control->readingOrder == order)
        return;
    invalidate(control->area);
    control->readingOrder = order;
    layoutLabel(*control);
    invalidate(control->area);
}

void FormWindow::ShowWarning(const std::u16string& title, const std::u16string& text) {
    MessageBoxW(m_window, Wide(text), Wide(title), MB_OK | MB_ICONEXCLAMATION | MB_RTLREADING);
}

// --- Painting -------------------------------------------------------------------------------

void FormWindow::invalidate(const RECT& area) {
    if (m_window && !IsRectEmpty(&area))
        InvalidateRect(m_window, &area, FALSE);
}

void FormWindow::drawControl(HDC dc, const Control& control) const {
    const ControlDefinition& d = *control.definition;
    if (!d.visible)
        return;
    if (d.kind == ControlKind::Label) {
        DrawLabelText(dc, WindowFont(control.bold, m_dpi), control.text, control.textOrigin.x, control.textOrigin.y,
                      control.readingOrder);
    } else if (d.kind == ControlKind::Image && control.picture) {
        // Unscaled from the top-left corner, never beyond the control.
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, control.area.left, control.area.top, control.area.right, control.area.bottom);
        const int mode = SetStretchBltMode(dc, HALFTONE);
        control.picture.Draw(dc, control.area.left, control.area.top, AtResolution(control.picture.size(), m_dpi));
        SetStretchBltMode(dc, mode);
        RestoreDC(dc, saved);
    }
}

// Everything is drawn into a bitmap first and copied at once, so a label that changes (the clock)
// never flickers through the background.
void FormWindow::paint() {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(m_window, &ps);
    const RECT& dirty = ps.rcPaint;
    const int width = dirty.right - dirty.left, height = dirty.bottom - dirty.top;
    HDC memory = width > 0 && height > 0 ? CreateCompatibleDC(screen) : nullptr;
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(screen, width, height) : nullptr;
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        SetViewportOrgEx(memory, -dirty.left, -dirty.top, nullptr);
        // Beyond the picture the window keeps its plain colour.
        FillRect(memory, &dirty, GetSysColorBrush(COLOR_BTNFACE));
        m_background.Draw(memory);
        for (auto control = m_controls.rbegin(); control != m_controls.rend(); ++control) {
            RECT overlap;
            if (IntersectRect(&overlap, &control->area, &dirty))
                drawControl(memory, *control);
        }
        drawFocusCue(memory);
        SetViewportOrgEx(memory, 0, 0, nullptr);
        BitBlt(screen, dirty.left, dirty.top, width, height, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
    }
    if (bitmap)
        DeleteObject(bitmap);
    if (memory)
        DeleteDC(memory);
    EndPaint(m_window, &ps);
}

// --- Mouse, keyboard, timers ----------------------------------------------------------------

// The topmost drawn control under a point of the client area: the one stored first.
const FormWindow::Control* FormWindow::controlAt(POINT point) const {
    for (const Control& control : m_controls) {
        if (IsDrawn(*control.definition) && control.definition->visible && PtInRect(&control.area, point))
            return &control;
    }
    return nullptr;
}

void FormWindow::onMouseMove(POINT point) {
    if (const Control* control = controlAt(point)) {
        const std::string name = control->definition->name;
        m_form.ControlMouseMoved(name);
    } else {
        m_form.SurfaceMouseMoved();
    }
}

// A second press that waited in the queue while a click's download ran comes as a plain press
// under Wine, though it followed the first within the double-click time: its own time, not when it
// is taken from the queue, says whether it is the second press of a double-click.
PressKind FormWindow::primaryPressKind(POINT point) {
    const LONG time = GetMessageTime();
    const bool second = m_lastPrimaryPress.has_value() &&
                        DWORD(time - m_lastPrimaryPress->time) <= GetDoubleClickTime() &&
                        std::abs(point.x - m_lastPrimaryPress->point.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                        std::abs(point.y - m_lastPrimaryPress->point.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    m_lastPrimaryPress = second ? std::nullopt : std::optional<TimedPress>({time, point});
    return second ? PressKind::Double : PressKind::Single;
}

void FormWindow::onButtonDown(POINT point, MouseButton button, PressKind kind) {
    m_clicks.Pressed(button, kind);
    const Control* control = button == MouseButton::Primary ? controlAt(point) : nullptr;
    m_pressed = control && m_form.HasClickHandler(control->definition->name) ? control->definition->name : "";
    if (!m_pressed.empty())
        SetCapture(m_window);
}

void FormWindow::onButtonUp(POINT point, MouseButton button) {
    const std::string pressed = button == MouseButton::Primary ? std::exchange(m_pressed, std::string()) : "";
    if (GetCapture() == m_window && button == MouseButton::Primary)
        ReleaseCapture();
    const Control* control = pressed.empty() ? nullptr : find(pressed);
    const bool overTheControl = control && PtInRect(&control->area, point);
    if (m_clicks.Released(button, overTheControl) && control)
        m_form.ControlClicked(pressed);  // may unload this window, or wait for a download
}

bool FormWindow::onSetCursor() {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(m_window, &point);
    const Control* control = controlAt(point);
    const bool hand = control && control->definition->pointer == MousePointer::Hand;
    SetCursor(hand ? HandCursor() : ArrowCursor());
    return true;
}

void FormWindow::onTimer(UINT_PTR timer) {
    for (Control& control : m_controls) {
        if (control.timer != timer)
            continue;
        KillTimer(m_window, timer);
        armTimer(control);
        const std::string name = control.definition->name;
        m_form.TimerFired(name);
        return;
    }
}

// The focus comes back to the control that had it when the window is activated again.
void FormWindow::onActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        m_focusBeforeDeactivation = focus && IsChild(m_window, focus) ? focus : nullptr;
        return;
    }
    if (m_focusBeforeDeactivation && IsWindow(m_focusBeforeDeactivation))
        SetFocus(m_focusBeforeDeactivation);
    else if (!m_keyFocus.empty())
        SetFocus(m_window);
    else
        focusFirstControl();
}

LRESULT CALLBACK FormWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || self->m_window != window)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

LRESULT FormWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = m_window;
    const POINT point{short(LOWORD(lParam)), short(HIWORD(lParam))};
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // painted whole in WM_PAINT
    case WM_PAINT:
        paint();
        return 0;
    case WM_MOUSEMOVE:
        onMouseMove(point);
        return 0;
    case WM_LBUTTONDOWN:
        onButtonDown(point, MouseButton::Primary, primaryPressKind(point));
        return 0;
    case WM_LBUTTONDBLCLK:
        m_lastPrimaryPress.reset();
        onButtonDown(point, MouseButton::Primary, PressKind::Double);
        return 0;
    case WM_LBUTTONUP:
        onButtonUp(point, MouseButton::Primary);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        onButtonDown(point, MouseButton::Other, PressKind::Single);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window)
            m_pressed.clear();
        return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == window && LOWORD(lParam) == HTCLIENT)
            return onSetCursor();
        break;
    case WM_TIMER:
        onTimer(wParam);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam) {
            const std::size_t index = LOWORD(wParam) - kFirstId;
            if (index < m_controls.size()) {
                const std::string name = m_controls[index].definition->name;
                m_form.ControlClicked(name);
            }
            return 0;
        }
        break;
    case WM_ACTIVATE:
        onActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_KEYDOWN:
        if (onKeyDown(wParam, lParam))
            return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        // The focus cue shows while the window itself has the focus; a box that takes it ends it.
        if (const Control* focused = find(m_keyFocus))
            invalidate(focused->area);
        if (message == WM_KILLFOCUS && wParam && IsChild(window, reinterpret_cast<HWND>(wParam)))
            m_keyFocus.clear();
        return 0;
    case WM_GETOBJECT:
        if (const LRESULT object = AnswerGetObject(window, wParam, lParam))
            return object;
        break;
    case WM_DPICHANGED:
        // Both words carry the new resolution; the suggested rectangle keeps the window's place.
        takeResolution(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        // The close box, Alt+F4 or the task bar: the window unloads as by its own way out.
        m_form.CloseRequested();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace linkvane
