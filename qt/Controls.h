#pragma once
// The control kinds that carry their own drawing or mouse behaviour. Text boxes and the command
// button are Qt's own widgets, configured by Form.

#include "forms/Click.h"
#include "forms/FocusCue.h"
#include "forms/FormDefinition.h"

#include <QPixmap>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

#include <chrono>

namespace linkvane {

// A control that owns the mouse over its rectangle: moves and clicks there are its own and never
// reach the window's bare surface. A click is a left press and release inside the control; the
// second press of a double-click is no click. One that the keyboard reaches is pressed by Return,
// Enter or space as by a click, and shows that it has the focus.
class MouseControl : public QWidget {
    Q_OBJECT
public:
    explicit MouseControl(QWidget* parent = nullptr);

    // Clickable when something listens to its clicks: the window has a handler for it.
    bool isClickable() const;
    // Where the focus mark lies, in the window's coordinates.
    FocusCue focusCue() const;
    // Draws a focus mark, moved by `offset` from the window's coordinates.
    static void DrawFocusCue(QPainter& painter, const FocusCue& cue, QPoint offset = {});

signals:
    void clicked();
    void mouseMoved();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    ClickCounter m_clicks;
};

// White text on a transparent background, in its own reading order whatever the letters say,
// never markup. A mouse move over a label is the label's, so it never reaches the window surface.
// The label keeps its text at the anchor of its definition and takes whatever size shows all of
// the text's ink, in whatever font it has.
class LabelControl : public MouseControl {
    Q_OBJECT
public:
    LabelControl(const ControlDefinition& definition, QWidget* parent);

    QString text() const { return m_text; }
    void setText(const QString& text);
    bool isBold() const { return font().bold(); }
    void setBold(bool bold);
    void setReadingOrder(Qt::LayoutDirection order);
    Qt::LayoutDirection readingOrder() const { return m_readingOrder; }
    // Where the text starts on its baseline, in the window's coordinates.
    QPoint textOrigin() const { return pos() + m_pen; }
    // The text's line in the window: from its start, as wide as its advance, one line of the
    // font high. The layout's anchors are this line's edges.
    QRect textLine() const;
    // When a change of its text was last told to screen readers (forms/ScreenReader.h).
    std::chrono::steady_clock::time_point& nameAnnounced() { return m_nameAnnounced; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitToText();

    ControlDefinition m_definition;
    QString m_text;
    QPoint m_pen;  // the text's start on its baseline, inside the label
    Qt::LayoutDirection m_readingOrder = Qt::LeftToRight;
    std::chrono::steady_clock::time_point m_nameAnnounced{};
};

// A transparent hot area, or a picture drawn at its own size from the top-left corner.
class ImageControl : public MouseControl {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr);

    const QPixmap& picture() const { return m_picture; }
    // Drawn from the top-left corner, clipped to the control; the window sizes the control.
    void setPicture(const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

// A one-line text box that gives back exactly the text it was handed until the user edits it.
// It shows only as much of a very long text as a line can show: laying out a line of a megabyte
// would hold the window for seconds.
class SingleLineTextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit SingleLineTextBox(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);

private:
    QString m_text;
    bool m_edited = false;
};

// A multi-line text box that gives back exactly the text it was handed, line breaks as they came
// (CR LF or LF), until the user edits it; edited text has CR LF line breaks, as typed lines do in
// the classic text box. Never markup.
class MultiLineTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MultiLineTextBox(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);

private:
    QString m_text;
};

}  // namespace linkvane
