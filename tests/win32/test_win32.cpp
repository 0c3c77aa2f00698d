// The Win32 window runtime driven through its windows' messages (Tab, the focus and double-clicks
// are the end-to-end test's, with real keys and buttons).

#include "app/AdminSupport.h"
#include "app/Main.h"
#include "app/MainDefinition.h"
#include "app/Softwaremanufacturer.h"
#include "forms/Background.h"
#include "forms/Form.h"
#include "forms/ShapeableText.h"
#include "forms/Twips.h"
#include "win32/Desktop.h"
#include "win32/Dpi.h"
#include "win32/FormWindow.h"
#include "win32/MessageLoop.h"
#include "net/codepage.h"
#include "tests/support/screenreader.h"
#include "tests/support/testserver.h"

#include <doctest/doctest.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdint>
#include <thread>

namespace linkvane {

// What the suite reads of a built window: where a control takes the mouse and draws, in
// client pixels, the resolution the window is laid out at and its background picture.
struct FormWindowInspector {
    const FormWindow& window;
    RECT ControlRect(std::string_view name) const {
        const WindowControl* control = window.find(name);
        REQUIRE(control);
        return window.placeOf(*control);
    }
    int dpi() const { return window.m_dpi; }
    const Backdrop& backdrop() const { return window.m_background; }
};

}  // namespace linkvane

using namespace linkvane;
using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

using K = ControlKind;

FormDefinition TestDefinition() {
    FormDefinition form{.name = "TestForm", .caption = u"Test form", .clientWidth = 6000, .clientHeight = 4500,
                        .frame = FrameStyle::FixedToolWindow};
    form.controls = {
        // A hot area over the caption below it, as the image buttons lie over their captions.
        {.name = "Hot", .kind = K::Image, .left = 300, .top = 300, .width = 1500, .height = 600,
         .pointer = MousePointer::Hand, .autoSize = true},
        {.name = "HotCaption", .kind = K::Label, .left = 450, .top = 450, .width = 600, .height = 195,
         .text = u"\u062C\u0633\u062A\u062C\u0648", .autoSize = true, .alignment = TextAlign::Right},
        {.name = "Banner", .kind = K::Image, .left = 300, .top = 1500, .width = 3000, .height = 750, .autoSize = true},
        // A value that keeps its right edge, left of its heading.
        {.name = "Value", .kind = K::Label, .left = 3000, .top = 3000, .width = 600, .height = 195, .autoSize = true,
         .growsLeft = true},
        {.name = "Clock", .kind = K::Label, .left = 3000, .top = 3300, .width = 1500, .height = 195,
         .alignment = TextAlign::Right},
        {.name = "Line", .kind = K::TextBox, .left = 300, .top = 3600, .width = 3000, .height = 315, .tabIndex = 1},
        {.name = "Memo", .kind = K::TextBox, .left = 300, .top = 2400, .width = 3000, .height = 600, .multiLine = true,
         .tabIndex = 0},
        {.name = "Hidden", .kind = K::TextBox, .left = 3600, .top = 3600, .width = 1000, .height = 315,
         .visible = false, .tabIndex = 2},
        {.name = "Ticks", .kind = K::Timer, .interval = 1},
        // The size of the main window's message box, the one box that wraps text from the network.
        {.name = "Message", .kind = K::TextBox, .width = 6855, .height = 975, .alignment = TextAlign::Right,
         .readingOrder = ReadingOrder::RightToLeft, .multiLine = true},
    };
    return form;
}

class TestForm : public Form {
public:
    TestForm() : Form(TestDefinition()) {
        onClick("Hot", [this] { ++hotClicks; });
        onMouseMove("Hot", [this] { ++hotMoves; });
        onClick("HotCaption", [this] { ++captionClicks; });
        onClick("Banner", [this] { ++bannerClicks; });
        onTimer("Ticks", [this] {
            ++ticks;
            if (onTick)
                onTick();
        });
    }
    FormWindow& window() const { return static_cast<FormWindow&>(view()); }
    HWND handle() const { return window().handle(); }

    std::function<void()> onTick;
    int hotClicks = 0, hotMoves = 0, captionClicks = 0, bannerClicks = 0, surfaceMoves = 0, ticks = 0;

private:
    void Form_MouseMove() override { ++surfaceMoves; }
};

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchQueued(message);
}

struct InstalledDesktop {
    InstalledDesktop() { InstallWin32Desktop(); }
};

// A test form, loaded (or shown) for the test and unloaded after it.
struct Loaded : InstalledDesktop {
    TestForm form;
    Loaded() { form.Load(); }
    ~Loaded() { form.Unload(); }
};
struct Shown : Loaded {
    Shown() {
        form.Show();
        PumpMessages();
    }
};

void Send(HWND window, UINT message, int x, int y) {
    SendMessageW(window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
}

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

void Press(HWND window, int x, int y) {
    Send(window, WM_LBUTTONDOWN, x, y);
    Send(window, WM_LBUTTONUP, x, y);
}

// A bitmap file of the given size, one bit per pixel: the smallest picture of any size.
std::string BitmapFile(int width, int height) {
    const DWORD pixels = DWORD((width + 31) / 32 * 4 * height);
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD);
    const BITMAPFILEHEADER file{0x4D42, offset + pixels, 0, 0, offset};
    const BITMAPINFOHEADER info{sizeof(info), width, height, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
    const RGBQUAD palette[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    bytes.append(reinterpret_cast<const char*>(palette), sizeof(palette));
    return bytes.append(pixels, '\x55');
}

}  // namespace

// Every kind of line break, a NUL, and a megabyte on one line with and without blanks to wrap at.
TEST_CASE_FIXTURE(Loaded, "text boxes give back exactly the text they were handed, at once, until the user types") {
    std::u16string words, letters(std::size_t(1) << 20, u'\u0628');
    while (words.size() < (std::size_t(1) << 20))
        words += u"\u0633\u0644\u0627\u0645 ";
    for (const std::u16string& text :
         {u"http://example.test/\r\n"s, u"one\ntwo\rthree\r\n\r\n"s, u"a\0b"s, u""s, words, letters}) {
        for (const char* box : {"Line", "Memo", "Hidden"}) {
            CAPTURE(box);
            // Well under a second on an idle machine; minutes when the box lays out the whole line.
            CHECK(Within(MillisecondsFor([&] { form.setText(box, text); }), 30000));
            CHECK(form.text(box) == text);
        }
    }
    // The multi-line box shows each kind of line break as a line break.
    form.setText("Memo", u"one\ntwo\rthree");
    const HWND memo = GetDlgItem(form.handle(), 100 + 6);
    CHECK(SendMessageW(memo, EM_GETLINECOUNT, 0, 0) == 3);
    // Typed text is what the box shows, with the box's own line breaks.
    SendMessageW(memo, WM_CHAR, L'x', 0);
    CHECK(form.text("Memo").find(u'x') != std::u16string::npos);
    CHECK(form.text("Memo").find(u"\r\n") != std::u16string::npos);
}

// Messages that crashed the system's text shaping under Wine: marks on letters of another script
// (a read fault), lines of far more marks than letters (a heap overrun), words heavy with marks
// wrapped by the box.
TEST_CASE_FIXTURE(Loaded, "hostile messages: every box and label draws them and the program goes on") {
    const std::string fathas30(30, '\xF3');
    const std::string heavyWord = "\xC8" + fathas30 + "\xC8" + fathas30 + "\xC8" + fathas30;
    for (const std::string& ansi :
         {"\xF9\xFA\xFB\xFC\xFD"s, "\xC8" + std::string(99, '\xF3'), "\xC8" + fathas30 + " \xC8" + fathas30,
          std::string(30, '\xC7') + " " + heavyWord, "\xF0 \xF1"s, "7\xF8\xF6-\xFA\xFE\xF5"s,
          "\xC8\xF3\xF3\xF3\xDC\xF3\xF3\xF3\xF3\xC7"s}) {
        const std::u16string text = FromAnsi(ansi);
        for (const char* control : {"Message", "Line", "Value"}) {
            CAPTURE(control);
            form.setText(control, text);
            RedrawWindow(form.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            PumpMessages();
            CHECK(form.text(control) == ShapeableText(text));
        }
    }
}

// Where a label lies is the layout's rule (checked in the core's suite); here the measuring that
// feeds it: in bold, and right to left.
TEST_CASE_FIXTURE(Loaded, "labels keep their edges; pictures and the topmost control take the mouse where drawn") {
    const FormWindowInspector window{form.window()};
    // A caption sized to its text grows to the right when it turns bold; its left edge stays.
    const RECT normal = window.ControlRect("HotCaption");
    form.setBold("HotCaption", true);
    const RECT bold = window.ControlRect("HotCaption");
    CHECK(bold.right > normal.right);
    CHECK(std::abs(bold.left - normal.left) <= 1);
    // Fixed size, aligned right: the text ends at the label's right edge whatever its width.
    form.setText("Clock", u"09:05:30");
    form.setReadingOrder("Clock", ReadingOrder::RightToLeft);
    CHECK(window.ControlRect("Clock").right == TwipsToPixels(3000 + 1500));

    const RECT stored{20, 100, 220, 150};  // 300, 1500, 3000 x 750 twips
    const auto banner = [&] { return window.ControlRect("Banner"); };
    form.setPicture("Banner", "GIF89a but not really a picture");
    CHECK(Same(banner(), stored));

    // The picture's size at each resolution is the resolution case's.
    form.setPicture("Banner", BitmapFile(40, 20));
    // A click beside the small picture, still inside the stored rectangle, is not the banner's.
    Press(form.handle(), 100, 110);
    CHECK(form.bannerClicks == 0);
    Press(form.handle(), 30, 110);
    CHECK(form.bannerClicks == 1);

    form.setPicture("Banner", BitmapFile(4096, 4096));
    Press(form.handle(), 30, 160);  // below the banner's rectangle: the picture does not reach it
    CHECK(form.bannerClicks == 1);
    form.setPicture("Banner", "");
    CHECK(Same(banner(), stored));

    // The caption lies under the hot area: a press on its text is the hot area's.
    Press(form.handle(), 35, 35);
    CHECK(form.hotClicks == 1);
    CHECK(form.captionClicks == 0);
    // Pressed on the hot area and released outside it: no click.
    Send(form.handle(), WM_LBUTTONDOWN, 30, 30);
    Send(form.handle(), WM_LBUTTONUP, 390, 290);
    CHECK(form.hotClicks == 1);
    // Pointer movements: over the hot area, then over the bare surface.
    Send(form.handle(), WM_MOUSEMOVE, 30, 30);
    CHECK(form.hotMoves == 1);
    CHECK(form.surfaceMoves == 0);
    Send(form.handle(), WM_MOUSEMOVE, 390, 10);
    CHECK(form.surfaceMoves == 1);
}

TEST_CASE_FIXTURE(Shown, "a wait holds clicks and keys, timers tick, close requests pass, the pointer is busy") {
    const HWND window = form.handle();
    const int ticksBefore = form.ticks;
    POINT overMessage{30, 30};  // the message box, a child window, lies over the hot area there
    ClientToScreen(window, &overMessage);
    SetCursorPos(overMessage.x, overMessage.y);
    HCURSOR pointerMeanwhile = nullptr;
    form.onTick = [&] { pointerMeanwhile = GetCursor(); };
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 30));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(30, 30));
    const int result = WithoutFreezing<int>([] {
        std::this_thread::sleep_for(1300ms);  // past a second boundary: the clock ticks
        return 7;
    });
    CHECK(result == 7);
    CHECK(form.hotClicks == 0);
    CHECK(form.ticks > ticksBefore);
    CHECK(pointerMeanwhile == LoadCursorW(nullptr, MAKEINTRESOURCEW(32650) /* IDC_APPSTARTING */));
    CHECK(GetCursor() == LoadCursorW(nullptr, MAKEINTRESOURCEW(32513) /* IDC_IBEAM */));  // at once
    PumpMessages();
    CHECK(form.hotClicks == 1);

    // A close request is no input: it is handled during the wait.
    PostMessageW(window, WM_CLOSE, 0, 0);
    WithoutFreezing<int>([] {
        std::this_thread::sleep_for(200ms);
        return 0;
    });
    CHECK_FALSE(form.isLoaded());
    CHECK(WaitForWorkers(2s));
}

TEST_CASE_FIXTURE(Shown, "a modal showing disables the other windows, and ends at a close request or a quit") {
    TestForm modal;
    const HWND ownerWindow = form.handle();

    // A close request ends the showing; the owner takes input again.
    modal.Load();
    PostMessageW(modal.handle(), WM_CLOSE, 0, 0);
    modal.ShowModal();
    CHECK_FALSE(modal.isLoaded());
    CHECK(IsWindowEnabled(ownerWindow));

    // A quit ends the showing too, and is passed on to the loop outside.
    bool ownerEnabledMeanwhile = true;
    modal.onTick = [&] {
        ownerEnabledMeanwhile = IsWindowEnabled(ownerWindow);
        PostQuitMessage(3);
    };
    modal.ShowModal();
    CHECK_FALSE(ownerEnabledMeanwhile);
    CHECK(IsWindowEnabled(ownerWindow));
    MSG message;
    REQUIRE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    CHECK(message.wParam == 3);
    modal.Unload();
}

namespace {

// The client area as painted, 32-bit pixels, top row first.
std::vector<std::uint32_t> CapturedClient(HWND window, int width, int height) {
    const BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC screen = GetDC(window), memory = CreateCompatibleDC(screen);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + std::size_t(width) * std::size_t(height));
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    DeleteObject(bitmap);
    return pixels;
}

// The labels' text is white; nothing else in the window is.
bool IsInk(std::uint32_t pixel) {
    return (pixel & 0xFF) >= 250 && ((pixel >> 8) & 0xFF) >= 250 && ((pixel >> 16) & 0xFF) >= 250;
}

}  // namespace

// Run once for each of 96, 120, 144 and 192 dots per inch (the prefix's LogPixels; see
// CMakeLists.txt): the layout, the text and the background follow the screen's resolution.
TEST_CASE("resolution: the main window at the screen's dots per inch, every label whole") {
    InstalledDesktop desktop;
    Form form(MainDefinition());
    form.Load();
    form.Show();
    const FormWindowInspector window{static_cast<FormWindow&>(form.view())};
    HWND handle = window.window.handle();
    PumpMessages();
    UpdateWindow(handle);
    const int dpi = SystemDpi();
    const double scale = dpi / 96.0;
    CAPTURE(dpi);
    CHECK(window.dpi() == dpi);

    RECT client;
    GetClientRect(handle, &client);
    CHECK(std::abs(client.right - 699 * scale) <= 1);
    CHECK(std::abs(client.bottom - 399 * scale) <= 1);
    // The nearest artwork at or above the scale, brought to 700 x 400 at the scale.
    CHECK(window.backdrop().artworkScale() == (scale <= 1 ? 1 : scale <= 1.5 ? 1.5 : 2));
    CHECK(std::abs(window.backdrop().size().width - 700 * scale) <= 0.5);
    CHECK(std::abs(window.backdrop().size().height - 400 * scale) <= 0.5);

    // Every label's ink lies within its rectangle: none is found around it, outside every label.
    const auto pixels = CapturedClient(handle, client.right, client.bottom);
    std::vector<RECT> labels;
    for (const ControlDefinition& d : MainDefinition().controls) {
        if (d.kind == ControlKind::Label && d.visible && !d.text.empty())
            labels.push_back(window.ControlRect(d.name));
    }
    const auto inLabel = [](const RECT& label, POINT p) { return PtInRect(&label, p) != FALSE; };
    int tallest = 0;
    for (const RECT& label : labels) {
        INFO("the label at ", label.left, ",", label.top);
        RECT around = label;
        InflateRect(&around, int(6 * scale), int(6 * scale));
        IntersectRect(&around, &around, &client);
        int inside = 0, outside = 0, top = label.bottom, bottom = label.top;
        for (POINT p{around.left, around.top}; p.y < around.bottom; ++p.y) {
            for (p.x = around.left; p.x < around.right; ++p.x) {
                if (!IsInk(pixels[std::size_t(p.y) * std::size_t(client.right) + std::size_t(p.x)]))
                    continue;
                if (inLabel(label, p)) {
                    ++inside;
                    top = std::min(top, int(p.y));
                    bottom = std::max(bottom, int(p.y));
                } else {
                    outside += std::none_of(labels.begin(), labels.end(), [&](const RECT& r) { return inLabel(r, p); });
                }
            }
        }
        CHECK(inside > 0);
        CHECK(outside == 0);
        tallest = std::max(tallest, bottom - top + 1);
    }
    // Drawn at the resolution: the tallest label's ink (dots above and below the line) is 10 px
    // high at 96 dots per inch, and grows with the resolution.
    CHECK(tallest >= int(10 * scale));

    // A picture's pixels are the layout's: a small banner grows with the resolution, a huge one
    // still ends at the banner's rectangle, which scales with the layout.
    form.setPicture("baner", BitmapFile(40, 20));
    RECT banner = window.ControlRect("baner");
    CHECK(banner.right - banner.left == ScaledPixels(40, scale));
    form.setPicture("baner", BitmapFile(5600, 5600));
    banner = window.ControlRect("baner");
    CHECK(banner.right - banner.left == TwipsToPixels(6900, dpi));
    CHECK(banner.bottom - banner.top == TwipsToPixels(1020, dpi));

    // Moved to a monitor of 100 % (from 100 %, to one of 125 %): the size the system suggests,
    // and the layout at the new resolution. (Wine keeps the frame of the resolution it started
    // with, so the suggestion keeps it too.)
    const int moved = dpi == 96 ? 120 : 96;
    RECT frame;
    GetWindowRect(handle, &frame);
    const PixelSize size = ClientSizeOf(MainDefinition(), moved);
    RECT suggested{frame.left, frame.top, frame.right + size.width - client.right,
                   frame.bottom + size.height - client.bottom};
    SendMessageW(handle, WM_DPICHANGED, MAKEWPARAM(moved, moved), reinterpret_cast<LPARAM>(&suggested));
    GetClientRect(handle, &client);
    CHECK(window.dpi() == moved);
    CHECK(std::abs(client.right - 699 * moved / 96.0) <= 1);
    CHECK(std::abs(client.bottom - 399 * moved / 96.0) <= 1);
    CHECK(window.backdrop().size().width == ScaledPixels(700, moved / 96.0));
    CHECK(window.ControlRect("Label3").top == TwipsToPixels(4340, moved));
    form.Unload();
}

// Through Active Accessibility as a client takes it: each control of the common table with its name,
// role and place, no hidden box; the search pressed brings the address; a back button closes its window.
TEST_CASE("screen readers find, name, focus and press the controls of the three windows") {
    InstalledDesktop installed;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    GoodMirror links;
    Main mainForm({DeadBase(), links.good.hostPort16()});
    AdminSupport support;  Softwaremanufacturer maker;
    mainForm.Show(), maker.Show(), support.Show();  // the support window owned by the maker window, which outlives it
    const auto state = [](IAccessible* object, VARIANT child) { VARIANT v{}; object->get_accState(child, &v); return v.lVal; };
    for (Form* form : {static_cast<Form*>(&mainForm), static_cast<Form*>(&support), static_cast<Form*>(&maker)}) {
        const HWND window = static_cast<FormWindow&>(form->view()).handle();
        IAccessible* client = nullptr;
        REQUIRE(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), __uuidof(IAccessible), (void**)&client) == S_OK);
        const auto order = ScreenReaderOrder(form->definition());
        VARIANT children[32];
        long count = long(order.size());  // the main window: 22 controls less the timer and the two hidden boxes
        REQUIRE(AccessibleChildren(client, 0, count, children, &count) == S_OK);
        REQUIRE((client->get_accChildCount(&count) == S_OK && count == long(order.size())));
        for (const Announced& row : kAnnounced) {
            if (form->definition().name != row.window)
                continue;
            INFO(std::string(row.window), ".", std::string(row.control));
            const auto place = std::find(order.begin(), order.end(), form->definition().find(row.control)) - order.begin();
            VARIANT id{}, self{}, role{}, hit{};
            id.vt = self.vt = VT_I4, id.lVal = long(place) + 1, self.lVal = CHILDID_SELF;
            IAccessible* child = client;
            if (children[place].vt == VT_DISPATCH)
                children[place].pdispVal->QueryInterface(__uuidof(IAccessible), (void**)&child), id = self;
            BSTR name = nullptr;
            child->get_accName(id, &name);
            CHECK(std::u16string(reinterpret_cast<char16_t*>(name)) == (row.name.empty() ? form->text(row.control) : row.name));
            const long roles[] = {ROLE_SYSTEM_PUSHBUTTON, ROLE_SYSTEM_LINK, ROLE_SYSTEM_STATICTEXT, ROLE_SYSTEM_GRAPHIC, ROLE_SYSTEM_TEXT};
            CHECK((child->get_accRole(id, &role) == S_OK && role.lVal == roles[int(row.role)]));
            CHECK((state(child, id) & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) == 0);
            RECT box = FormWindowInspector{static_cast<FormWindow&>(form->view())}.ControlRect(row.control), at{};
            MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&box), 2);
            child->accLocation(&at.left, &at.top, &at.right, &at.bottom, id);
            const RECT located{at.left, at.top, at.left + at.right, at.top + at.bottom};  // a box: its client area
            CHECK((Same(box, located) || (id.lVal == CHILDID_SELF && IntersectRect(&at, &box, &located) && Same(at, located))));
            client->accHitTest((box.left + box.right) / 2, (box.top + box.bottom) / 2, &hit);
            CHECK((row.role != AccessibleRole::PushButton || (hit.vt == VT_I4 && hit.lVal == long(place) + 1)));
            if (row.role == AccessibleRole::PushButton)
                CHECK((client->accSelect(SELFLAG_TAKEFOCUS, id) == S_OK && (state(client, id) & STATE_SYSTEM_FOCUSED)));
            if (row.control == "Image1"s)
                CHECK(client->accDoDefaultAction(id) == S_OK);
        }
        std::for_each(children, children + count, [](VARIANT& child) { VariantClear(&child); });
        client->Release();
    }
    for (int i = 0; i < 100 && (mainForm.text("NAS").empty() || support.isLoaded() || maker.isLoaded()); ++i) {
        PumpMessages();
        std::this_thread::sleep_for(50ms);
    }
    CHECK(mainForm.text("NAS") == u"http://127.0.0.1/site");
    CHECK_FALSE(support.isLoaded());
    CHECK_FALSE(maker.isLoaded());
}
