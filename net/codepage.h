#pragma once
// The ANSI code page of the desktops Linkvane is written for: Windows-1256, fixed, because the
// files on the servers are written in it. Every step that the classic program took in ANSI text
// (the URL of a download, the body, the target of the shell) goes through these.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace linkvane {

// The Windows-1256 bytes of a text; a character the code page lacks becomes one "?", as the
// Windows conversion writes it.
QByteArray ToAnsi(QStringView text);

// The text of Windows-1256 bytes: one character per byte, every byte value included.
QString FromAnsi(QByteArrayView bytes);

// A text as it comes back from a trip through the code page: what the code page lacks is "?".
QString ThroughAnsi(QStringView text);

}  // namespace linkvane
