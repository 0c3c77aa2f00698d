#pragma once

#include <QByteArray>
#include <QCursor>

namespace linkvane {

// Decodes a two-colour Windows cursor file (the format of the hand pointer: a 32 x 32 picture,
// a colour mask, a transparency mask and the hot spot). Returns false for anything else.
bool DecodeCursorFile(const QByteArray& file, QCursor& cursor);

// The pointing hand shared by every clickable control. Falls back to the platform's hand.
const QCursor& HandCursor();

}  // namespace linkvane
