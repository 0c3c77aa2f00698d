#include "qt/Controls.h"

#include "forms/LabelText.h"
#include "forms/LongLines.h"

#include <climits>

#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>

#include <span>

namespace linkvane {

namespace {

MouseButton ButtonOf(const QMouseEvent* event) {
    return event->button() == Qt::LeftButton ? MouseButton::Primary : MouseButton::Other;
}

// One line of a label's text with its start on the baseline at `pen`; the same call draws the
// label and measures its ink, so that what is measured is what is drawn.
void DrawLine(QPainter& painter, QPoint pen, const QString& text, Qt::LayoutDirection order) {
    painter.setPen(Qt::white);
    painter.setLayoutDirection(order);
    painter.drawText(pen, text);
}

// The text's advance, line and ink in this font: the ink as found by drawing the text unclipped
// at the screen's scale, so that every mark, dot and tail the font draws is counted.
TextMeasure MeasureText(const QFont& font, const QString& text, Qt::LayoutDirection order, qreal scale) {
    const QFontMetrics metrics(font);
    TextMeasure measure{.advance = metrics.horizontalAdvance(text), .ascent = metrics.ascent(),
                        .descent = metrics.descent()};
    if (text.isEmpty())
        return measure;
    const InkCanvas canvas = CanvasForInk(measure.advance, measure.ascent, measure.descent, scale);
    QImage drawn(canvas.width, canvas.height, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    drawn.setDevicePixelRatio(scale);
    {
        QPainter painter(&drawn);
        painter.setFont(font);
        DrawLine(painter, {canvas.penX, canvas.baseline}, text, order);
    }
    static_assert(sizeof(QRgb) == sizeof(std::uint32_t));
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(drawn.constBits());
    const PixelRect ink = InkBounds(std::span(pixels, std::size_t(drawn.width()) * drawn.height()),
                                    drawn.width(), drawn.height());
    measure.ink = InkFromCanvas(ink, canvas, scale);
    return measure;
}

}  // namespace

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
    m_clicks.Pressed(ButtonOf(event), PressKind::Single);
    event->accept();
}

// Qt's own handling would take the second press of a double-click for a press.
void MouseControl::mouseDoubleClickEvent(QMouseEvent* event) {
    m_clicks.Pressed(ButtonOf(event), PressKind::Double);
    event->accept();
}

void MouseControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (m_clicks.Released(ButtonOf(event), rect().contains(event->position().toPoint())))
        emit clicked();
}

void MouseControl::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool press = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (!press || !isClickable()) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    // A key held down presses once.
    if (!event->isAutoRepeat())
        emit clicked();
}

// The window draws the mark (a label's lies outside the label): it paints that place again.
void MouseControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    const PixelRect extent = focusCue().extent();
    if (parentWidget())
        parentWidget()->update(extent.left, extent.top, extent.width, extent.height);
}

void MouseControl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    const PixelRect extent = focusCue().extent();
    if (parentWidget())
        parentWidget()->update(extent.left, extent.top, extent.width, extent.height);
}

void MouseControl::DrawFocusCue(QPainter& painter, const FocusCue& cue, QPoint offset) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(cue.red, cue.green, cue.blue), cue.lineWidth));
    painter.setBrush(Qt::NoBrush);
    const PixelRect& r = cue.outline;
    painter.drawRoundedRect(QRectF(r.left + offset.x(), r.top + offset.y(), r.width, r.height), cue.cornerRadius,
                            cue.cornerRadius);
    painter.restore();
}

FocusCue MouseControl::focusCue() const {
    return FocusCueFor({x(), y(), width(), height()}, qobject_cast<const LabelControl*>(this) != nullptr);
}

LabelControl::LabelControl(const ControlDefinition& definition, QWidget* parent)
    : MouseControl(parent), m_definition(definition) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    fitToText();
}

void LabelControl::setText(const QString& text) {
    if (text == m_text)
        return;  // the same caption again: nothing to repaint
    m_text = text;
    fitToText();
    update();
}

void LabelControl::setBold(bool bold) {
    if (bold == isBold())
        return;
    QFont changed = font();
    changed.setBold(bold);
    setFont(changed);  // refits through the font change
    update();
}

void LabelControl::setReadingOrder(Qt::LayoutDirection order) {
    if (order == m_readingOrder)
        return;
    m_readingOrder = order;
    fitToText();
    update();
}

QRect LabelControl::textLine() const {
    const QFontMetrics metrics(font());
    const QPoint origin = textOrigin();
    return {origin.x(), origin.y() - metrics.ascent(), metrics.horizontalAdvance(m_text),
            metrics.ascent() + metrics.descent()};
}

void LabelControl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        fitToText();
    MouseControl::changeEvent(event);
}

void LabelControl::fitToText() {
    const TextMeasure measure = MeasureText(font(), m_text, m_readingOrder, devicePixelRatioF());
    const LabelPlacement placed = PlaceLabel(m_definition, measure);
    setGeometry(placed.rect.left, placed.rect.top, placed.rect.width, placed.rect.height);
    m_pen = {placed.penX, placed.baseline};
}

void LabelControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    DrawLine(painter, m_pen, m_text, m_readingOrder);
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
    QPainter painter(this);
    if (!m_picture.isNull())
        painter.drawPixmap(0, 0, m_picture);
    // Over the picture: the banner's covers the window's surface.
    if (hasFocus())
        DrawFocusCue(painter, focusCue(), -pos());
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
