#pragma once
// The ANSI code page of the desktops Linkvane is written for: Windows-1256, fixed, because the
// files on the servers are written in it. Every step that the classic program took in ANSI text
// (the URL of a download, the body, the target of the shell) goes through these. Our own table,
// so that both desktops convert alike whatever their system code page or libraries.

#include <string>
#include <string_view>

namespace linkvane {

// The Windows-1256 bytes of a UTF-16 text; a character the code page lacks (a lone surrogate and a
// surrogate pair included) becomes one "?", as the Windows conversion writes it.
std::string ToAnsi(std::u16string_view text);

// The UTF-16 text of Windows-1256 bytes: one character per byte, every byte value included.
std::u16string FromAnsi(std::string_view bytes);

// A text as it comes back from a trip through the code page: what the code page lacks is "?".
std::u16string ThroughAnsi(std::u16string_view text);

// UTF-8 of a UTF-16 text, for the desktop calls that take it; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// UTF-16 of UTF-8 (build-time values, file names); an invalid sequence becomes U+FFFD.
std::u16string FromUtf8(std::string_view text);

}  // namespace linkvane
