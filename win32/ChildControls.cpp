#include "win32/ChildControls.h"

#include "forms/LongLines.h"
#include "forms/Twips.h"
#include "win32/Text.h"

#include <algorithm>

namespace linkvane {

namespace {

// What a text box shows of its text: line breaks of any kind as line breaks, a NUL (which would
// end the text the system takes) as a blank, and long lines in pieces (forms/LongLines.h). The
// system's multi-line box under Wine lays a line out in time that grows with the square of its
// length (one line of 16 Ki characters took 13 s, of 64 Ki more than 200 s; 32 lines of 2 Ki
// still 3 s) and a whole text in time that grows with its length (1 Mi characters in lines of
// 1000 took 9 s): so its pieces are at most 1000 long, and it shows at most 64 Ki characters,
// far more than it can show at once. What a box gives back is still the whole text.
constexpr std::size_t kLongestLineShown = 1000;
constexpr std::size_t kMostCharactersShown = 64 * 1024;

std::u16string TextForDisplay(const std::u16string& text, bool multiLine) {
    const std::u16string_view kept =
        multiLine ? LongestShownPiece(text, kMostCharactersShown) : LongestShownPiece(text);
    std::u16string shown;
    shown.reserve(kept.size() + 64);
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const char16_t c = kept[i];
        if (multiLine && (c == u'\r' || c == u'\n')) {
            shown += u"\r\n";
            if (c == u'\r' && i + 1 < kept.size() && kept[i + 1] == u'\n')
                ++i;
        } else {
            shown += c == u'\0' ? u' ' : c;
        }
    }
    return multiLine ? BreakLongLines(shown, u"\r\n", kLongestLineShown) : shown;
}

}  // namespace

std::u16string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::u16string text(std::size_t(std::max(length, 0)) + 1, u'\0');
    const int copied = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), int(text.size()));
    text.resize(std::size_t(std::max(copied, 0)));
    return text;
}

HWND CreateChildControl(HWND parent, const ControlDefinition& d, UINT_PTR id, int dpi) {
    const PixelRect box = PixelRectOf(d, dpi);
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
    HWND child = CreateWindowExW(extended, windowClass, Wide(shown), style, box.left, box.top, box.width,
                                 box.height, parent, reinterpret_cast<HMENU>(id), GetModuleHandleW(nullptr), nullptr);
    if (!child)
        return nullptr;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont(false, dpi)), FALSE);
    if (d.kind == ControlKind::TextBox)
        SendMessageW(child, EM_SETLIMITTEXT, 0, 0);  // no limit on typing, as stored
    return child;
}

void PlaceChildControl(HWND child, const ControlDefinition& d, int dpi) {
    const PixelRect box = PixelRectOf(d, dpi);
    SetWindowPos(child, nullptr, box.left, box.top, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(WindowFont(false, dpi)), TRUE);
}

void ShowText(HWND child, const ControlDefinition& d, const std::u16string& text) {
    const bool multiLine = d.kind == ControlKind::TextBox && d.multiLine;
    SetWindowTextW(child, Wide(TextForDisplay(text, multiLine)));
}

}  // namespace linkvane
