#include "qt/Controls.h"

#include "forms/LongLines.h"

#include <climits>

#include <QFontMetrics>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>

namespace linkvane {

MouseControl::MouseControl(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_NoMousePropagation);
}

bool MouseControl::isClickable() const {
    return isSignalConnected(QMetaMethod::fromSignal(&MouseControl::clicked));
}

void MouseControl::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    emit mouseMoved();
}

void MouseControl::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void MouseControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked();
}

LabelControl::LabelControl(QWidget* parent) : MouseControl(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void LabelControl::setText(const QString& text) {
    if (text == m_text)
        return;  // the same caption again: nothing to repaint
    m_text = text;
    setAccessibleName(text);
    fitToText();
    update();
}

void LabelControl::setBold(bool bold) {
    if (bold == isBold())
        return;
    QFont changed = font();
    changed.setBold(bold);
    setFont(changed);
    fitToText();
    update();
}

void LabelControl::setAutoSize(bool autoSize) {
    m_autoSize = autoSize;
    fitToText();
}

void LabelControl::setRightEdge(int rightEdge) {
    m_rightEdge = rightEdge;
    fitToText();
}

void LabelControl::setTextAlignment(Qt::Alignment horizontal) {
    m_alignment = horizontal & Qt::AlignHorizontal_Mask;
    update();
}

void LabelControl::setReadingOrder(Qt::LayoutDirection order) {
    m_readingOrder = order;
    update();
}

void LabelControl::fitToText() {
    if (!m_autoSize)
        return;
    // One edge stays where the layout puts it, the left one unless told otherwise.
    const QFontMetrics metrics(font());
    const int width = metrics.horizontalAdvance(m_text);
    const int left = m_rightEdge < 0 ? x() : m_rightEdge - width;
    setGeometry(left, y(), width, metrics.height());
}

void LabelControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(Qt::white);
    painter.setFont(font());
    const int direction = m_readingOrder == Qt::RightToLeft ? Qt::TextForceRightToLeft
                                                              : Qt::TextForceLeftToRight;
    // AlignAbsolute: "right" means the right edge in either reading order.
    painter.drawText(rect(), int(m_alignment) | Qt::AlignAbsolute | Qt::AlignTop | direction, m_text);
}

ImageControl::ImageControl(QWidget* parent) : MouseControl(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void ImageControl::setPicture(const QPixmap& picture) {
    m_picture = picture;
    update();
}

void ImageControl::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

SingleLineTextBox::SingleLineTextBox(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(INT_MAX);
    connect(this, &QLineEdit::textEdited, this, [this] { m_edited = true; });
}

QString SingleLineTextBox::text() const { return m_edited ? QLineEdit::text() : m_text; }

void SingleLineTextBox::setText(const QString& text) {
    m_text = text;
    m_edited = false;
    const std::u16string_view whole(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
    const std::u16string_view shown = LongestShownPiece(whole);
    QLineEdit::setText(shown.size() == whole.size() ? text : QString::fromStdU16String(std::u16string(shown)));
}

MultiLineTextBox::MultiLineTextBox(QWidget* parent) : QPlainTextEdit(parent) {}

QString MultiLineTextBox::text() const {
    if (!document()->isModified())
        return m_text;
    QString typed = toPlainText();
    typed.replace(u'\n', QStringLiteral("\r\n"));
    return typed;
}

void MultiLineTextBox::setText(const QString& text) {
    m_text = text;
    // Also clears the modified flag, so that text() gives back m_text unchanged.
    setPlainText(QString::fromStdU16String(BreakLongLines(text.toStdU16String(), u"\n")));
}

}  // namespace linkvane
