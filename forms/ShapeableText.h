#pragma once
// Text from the network in a form every text-shaping engine lays out. Wine's (which draws the
// Windows program's boxes and labels) crashes the program on combining marks that no letter of
// their script carries, when a line holds far more marks than letters (one letter under forty
// fathas), and when a box wraps a line inside a word that holds marks (its marks are measured
// as if they took room of their own): a Latin letter with an Arabic sukun on it was enough.
// Ordinary text, marks included, comes through unchanged.

#include <cstddef>
#include <string>
#include <string_view>

namespace linkvane {

// The most combining marks kept in a word (so also in a row, the limit of Unicode's stream-safe
// text format), and how many more marks than other characters a line may hold.
inline constexpr std::size_t kMostMarks = 30;

// The longest word, marks included, that keeps its marks: one that fits in the message box
// (Wine's box gives each mark room of its own when it measures) is never broken inside.
inline constexpr std::size_t kLongestMarkedWord = 32;

// `text` with
// - a tatweel (U+0640, in the code page) put before Arabic marks that follow no Arabic letter
//   (the start of a line, a blank, a Latin letter, a digit, a direction mark), so that they have
//   a letter of their own script to sit on;
// - marks past kMostMarks in a word (a run between blanks), every mark of a word longer than
//   kLongestMarkedWord, and in each line (ended by CR or LF) the marks past the count of its
//   other characters plus kMostMarks dropped.
std::u16string ShapeableText(std::u16string_view text);

}  // namespace linkvane
