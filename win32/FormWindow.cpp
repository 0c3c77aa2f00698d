#include "win32/FormWindow.h"

#include "forms/Form.h"
#include "forms/Twips.h"
#include "win32/MessageLoop.h"
#include "win32/Resources.h"
#include "win32/Text.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <utility>

namespace linkvane {

namespace {

constexpr wchar_t kWindowClass[] = L"LinkvaneForm";
// Child windows and timers are numbered from here, by their place in the definition.
constexpr UINT_PTR kFirstId = 100;

RECT RectOfControl(const ControlDefinition& d) {
    const int left = TwipsToPixels(d.left), top = TwipsToPixels(d.top);
    return {left, top, left + TwipsToPixels(d.width), top + TwipsToPixels(d.height)};
}

RECT Union(const RECT& a, const RECT& b) {
    if (IsRectEmpty(&a))
        return b;
    if (IsRectEmpty(&b))
        return a;
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}

bool IsDrawn(const ControlDefinition& d) {
    return d.kind == ControlKind::Label || d.kind == ControlKind::Image;
}

// Text boxes show line breaks of any kind as line breaks, and a NUL (which would end the text
// the system takes) as a blank; what they give back is what they were handed, until the user
// edits it.
std::u16string TextForDisplay(const std::u16string& text, bool multiLine) {
    std::u16string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\0') {
            shown += u' ';
        } else if (multiLine && (c == u'\r' || c == u'\n')) {
            shown += u"\r\n";
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            shown += c;
        }
    }
    return shown;
}

std::u16string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::u16string text(std::size_t(std::max(length, 0)) + 1, u'\0');
    const int copied = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), int(text.size()));
    text.resize(std::size_t(std::max(copied, 0)));
    return text;
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

HCURSOR HandCursor() {
    static const HCURSOR hand = [] {
        HCURSOR own = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(LINKVANE_HAND_CURSOR));
        return own ? own : LoadCursorW(nullptr, MAKEINTRESOURCEW(32649) /* IDC_HAND */);
    }();
    return hand;
}

HCURSOR ArrowCursor() { return LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */); }

HICON LoadIconResource(const std::string& fileName, int metricX, int metricY) {
    if (fileName.empty())
        return nullptr;
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), ResourceName(fileName).c_str(), IMAGE_ICON,
                                         GetSystemMetrics(metricX), GetSystemMetrics(metricY), 0));
}

std::vector<FormWindow*>& Registry() {
    static std::vector<FormWindow*> windows;
    return windows;
}

}  // namespace

FormWindow::FormWindow(Form& form) : m_form(form) {
    RegisterWindowClass(&WindowProcedure);
    const FormDefinition& definition = m_form.definition();
    if (!definition.background.empty())
        m_background = Picture::FromResource(definition.background);
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
    RECT frame{0, 0, TwipsToPixels(definition.clientWidth), TwipsToPixels(definition.clientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, extended);
    const std::u16string& caption = definition.caption;
    m_window = CreateWindowExW(extended, kWindowClass, Wide(caption), style, CW_USEDEFAULT, CW_USEDEFAULT,
                               frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!m_window)
        return;
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
    const RECT box = RectOfControl(d);
    DWORD style = WS_CHILD | WS_TABSTOP | (d.visible ? WS_VISIBLE : 0);
    DWORD extended = d.readingOrder == ReadingOrder::RightToLeft ? WS_EX_RTLREADING : 0;
    const wchar_t* windowClass = L"BUTTON";
    std::u16string shown = d.text;
    if (d.kind == ControlKind::TextBox) {
        windowClass = L"EDIT";
        extended |= WS_EX_CLIENTEDGE;
        style |= d.multiLine ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL : ES_AUTOHSCROLL;
        style |= d.alignment == TextAlign::Right ? ES_RIGHT : d.alignment == TextAlign::Center ? ES_CENTER : ES_LEFT;
        shown = TextForDisplay(d.text, d.multiLine);
    } else {
        style |= BS_PUSHBUTTON;
    }
    control.window = CreateWindowExW(extended, windowClass, Wide(shown), style, box.left, box.top,
                                     box.right - box.left, box.bottom - box.top, m_window,
                                     reinterpret_cast<HMENU>(kFirstId + index), GetModuleHandleW(nullptr),
                                     nullptr);
    if (!control.window)
        return;
    SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont(false)), FALSE);
    if (d.kind == ControlKind::TextBox)
        SendMessageW(control.window, EM_SETLIMITTEXT, 0, 0);  // no limit on typing, as stored
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

// A label is laid out at its stored place, or, sized to its caption, from the stored left edge
// (or right edge, for a value standing left of its caption). It takes the mouse and draws
// wherever its text or its ink is, so no letter is cut and no paint leaves a trace behind.
void FormWindow::layoutLabel(Control& control) {
    const ControlDefinition& d = *control.definition;
    const TextLayout text = MeasureText(WindowFont(control.bold), control.text, control.readingOrder);
    RECT box = RectOfControl(d);
    if (d.autoSize) {
        const int left = d.growsLeft ? box.right - text.width : box.left;
        box = {left, box.top, left + text.width, box.top + text.height};
    }
    int x = box.left;
    if (d.alignment == TextAlign::Right)
        x = box.right - text.width;
    else if (d.alignment == TextAlign::Center)
        x = box.left + (box.right - box.left - text.width) / 2;
    control.textOrigin = {x, box.top};
    RECT ink = text.ink;
    OffsetRect(&ink, x, box.top);
    control.area = Union(box, ink);
}

// An image without a picture is a hot area of its stored size; with one it takes the picture's
// size, never beyond the stored rectangle, so that no picture covers another control.
void FormWindow::placeImage(Control& control) {
    const ControlDefinition& d = *control.definition;
    RECT box = RectOfControl(d);
    if (control.picture) {
        const PixelSize size = ImageSizeFor(d, control.picture.size());
        box.right = box.left + size.width;
        box.bottom = box.top + size.height;
    }
    control.area = box;
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
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    SetWindowPos(m_window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::focusFirstControl() {
    for (const ControlDefinition* d : TabOrder(m_form.definition())) {
        const Control* control = find(d->name);
        if (control && control->window && IsWindowVisible(control->window) && IsWindowEnabled(control->window)) {
            SetFocus(control->window);
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

void FormWindow::MoveFocus(bool backwards) {
    std::vector<HWND> order;
    for (const ControlDefinition* d : TabOrder(m_form.definition())) {
        const Control* control = find(d->name);
        if (control && control->window && IsWindowVisible(control->window) && IsWindowEnabled(control->window))
            order.push_back(control->window);
    }
    if (order.empty())
        return;
    const auto at = std::find(order.begin(), order.end(), GetFocus());
    const std::ptrdiff_t count = std::ssize(order);
    std::ptrdiff_t next;
    if (at == order.end())
        next = backwards ? count - 1 : 0;
    else
        next = ((at - order.begin()) + (backwards ? count - 1 : 1)) % count;
    SetFocus(order[std::size_t(next)]);
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
        const bool multiLine = control->definition->kind == ControlKind::TextBox && control->definition->multiLine;
        SetWindowTextW(control->window, Wide(TextForDisplay(text, multiLine)));  // also clears "modified"
        return;
    }
    if (text == control->text)
        return;  // the same caption again (the clock between seconds): nothing to repaint
    invalidate(control->area);
    control->text = text;
    layoutLabel(*control);
    invalidate(control->area);
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
        DrawLabelText(dc, WindowFont(control.bold), control.text, control.textOrigin.x, control.textOrigin.y,
                      control.readingOrder);
    } else if (d.kind == ControlKind::Image && control.picture) {
        // Unscaled from the top-left corner, never beyond the control.
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, control.area.left, control.area.top, control.area.right, control.area.bottom);
        control.picture.Draw(dc, control.area.left, control.area.top);
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
        m_background.Draw(memory, 0, 0);
        for (auto control = m_controls.rbegin(); control != m_controls.rend(); ++control) {
            RECT overlap;
            if (IntersectRect(&overlap, &control->area, &dirty))
                drawControl(memory, *control);
        }
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

void FormWindow::onButtonDown(POINT point) {
    const Control* control = controlAt(point);
    m_pressed = control && m_form.HasClickHandler(control->definition->name) ? control->definition->name : "";
    if (!m_pressed.empty())
        SetCapture(m_window);
}

// A click is a press and a release of the left button on the same control.
void FormWindow::onButtonUp(POINT point) {
    const std::string pressed = std::exchange(m_pressed, std::string());
    if (GetCapture() == m_window)
        ReleaseCapture();
    const Control* control = pressed.empty() ? nullptr : find(pressed);
    if (control && PtInRect(&control->area, point))
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
        onButtonDown(point);
        return 0;
    case WM_LBUTTONDBLCLK:
        m_pressed.clear();  // the second press of a double-click is no click
        return 0;
    case WM_LBUTTONUP:
        onButtonUp(point);
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
