#pragma once
// What the Qt window suites share: the program without a network, showing a window, and real
// mouse events that go through a window, which hands them to the control on top at that point.

#include "app/Main.h"
#include "net/codepage.h"
#include "qt/FormWindow.h"
#include "tests/support/testserver.h"

#include <QBuffer>
#include <QImage>
#include <QTest>

namespace linkvane {

// Both servers at a loopback port where nothing listens.
inline ServerHosts Offline() {
    return {DeadBase(), DeadBase()};
}

// A picture of one colour, in a format Qt writes ("PNG", "JPG", "BMP"), as a server sends it.
inline std::string Encoded(const char* format, QSize size = {8, 6}, QColor fill = Qt::darkCyan) {
    QImage picture(size, QImage::Format_ARGB32);
    picture.fill(fill);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes.toStdString();
}

inline FormWindow& Shown(Form& form) {
    FormWindow& window = FormWindow::Of(form);
    window.Show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the window was never shown");
    return window;
}

inline QPoint CentreOf(const FormWindow& form, const char* control) {
    return form.control(control)->geometry().center();
}
inline void MoveTo(QWidget& window, QPoint where) { QTest::mouseMove(window.windowHandle(), where); }
inline void Click(QWidget& window, QPoint where) {
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, where);
}

}  // namespace linkvane
