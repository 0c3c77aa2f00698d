#pragma once
// The control kinds that carry their own drawing or mouse behaviour. Text boxes and the command
// button are Qt's own widgets, configured by Form.

#include <QPixmap>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>

namespace linkvane {

// A control that owns the mouse over its rectangle: moves and clicks there are its own and never
// reach the window's bare surface. A click is a left press and release inside the control.
class MouseControl : public QWidget {
    Q_OBJECT
public:
    explicit MouseControl(QWidget* parent = nullptr);

    // Clickable when something listens to its clicks: the window has a handler for it.
    bool isClickable() const;

signals:
    void clicked();
    void mouseMoved();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

// White text on a transparent background, in its own reading order whatever the letters say,
// never markup. A mouse move over a label is the label's, so it never reaches the window surface.
class LabelControl : public MouseControl {
    Q_OBJECT
public:
    explicit LabelControl(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    bool isBold() const { return font().bold(); }
    void setBold(bool bold);
    void setAutoSize(bool autoSize);
    // Auto-sized, the label keeps this right edge and grows or shrinks to the left.
    void setRightEdge(int rightEdge);
    void setTextAlignment(Qt::Alignment horizontal);
    Qt::Alignment textAlignment() const { return m_alignment; }
    void setReadingOrder(Qt::LayoutDirection order);
    Qt::LayoutDirection readingOrder() const { return m_readingOrder; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fitToText();

    QString m_text;
    bool m_autoSize = false;
    int m_rightEdge = -1;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    Qt::LayoutDirection m_readingOrder = Qt::LeftToRight;
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
