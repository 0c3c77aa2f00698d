#pragma once
// A text box lays out and shapes each line of its text as one piece, every time it paints: a
// message of a megabyte on one line (or one letter under a megabyte of combining marks) would
// hold the window for tens of seconds. The boxes therefore show such a line in pieces. Messages
// of normal length are shown exactly as they are; the text the box holds is never changed.

#include <cstddef>
#include <string>
#include <string_view>

namespace linkvane {

// The longest line a box is given to show, in UTF-16 code units.
inline constexpr std::size_t kLongestShownLine = 2048;

// `text` with `lineBreak` inserted so that no line is longer than `longest`: a long line is
// broken after the last blank that keeps its piece within `longest`, or at `longest` when its
// piece has no blank, never between the two halves of a surrogate pair. Existing CR and LF count
// as line ends.
std::u16string BreakLongLines(std::u16string_view text, std::u16string_view lineBreak,
                              std::size_t longest = kLongestShownLine);

// The start of `text` that a one-line box shows: at most `longest` units, never ending between
// the two halves of a surrogate pair.
std::u16string_view LongestShownPiece(std::u16string_view text, std::size_t longest = kLongestShownLine);

}  // namespace linkvane
