#include "qt/FormWindow.h"

#include "forms/Form.h"
#include "forms/ScreenReader.h"
#include "forms/Twips.h"
#include "qt/Accessibility.h"
#include "qt/Fonts.h"
#include "qt/HandCursor.h"
#include "qt/Picture.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QEventLoop>
#include <QImage>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <optional>

namespace linkvane {

namespace {

QRect StoredRect(const ControlDefinition& d) {
    const PixelRect stored = PixelRectOf(d);
    return {stored.left, stored.top, stored.width, stored.height};
}

Qt::Alignment HorizontalAlignment(TextAlign align) {
    switch (align) {
    case TextAlign::Right: return Qt::AlignRight;
    case TextAlign::Center: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}

Qt::LayoutDirection Direction(ReadingOrder order) {
    return order == ReadingOrder::RightToLeft ? Qt::RightToLeft : Qt::LeftToRight;
}

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }
QString Q(std::string_view name) { return QString::fromUtf8(name.data(), qsizetype(name.size())); }

// A warning with one OK button, its text read right to left but not aligned to the right.
void ShowRightToLeftWarning(QWidget* owner, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        label->setLayoutDirection(Qt::RightToLeft);
        label->setAlignment(Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignVCenter);
    }
    box.exec();
}

// Text boxes hold any text handed to them: a single line keeps line breaks as characters, and
// nothing is ever read as markup.
QWidget* BuildTextBox(const ControlDefinition& d, QWidget* parent) {
    if (d.multiLine) {
        auto* box = new MultiLineTextBox(parent);
        box->setTabChangesFocus(true);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        QTextOption option = box->document()->defaultTextOption();
        option.setAlignment(HorizontalAlignment(d.alignment) | Qt::AlignAbsolute);
        option.setTextDirection(Direction(d.readingOrder));
        box->document()->setDefaultTextOption(option);
        box->setText(Q(d.text));
        box->viewport()->setAttribute(Qt::WA_NoMousePropagation);
        return box;
    }
    auto* box = new SingleLineTextBox(parent);
    box->setAlignment(HorizontalAlignment(d.alignment) | Qt::AlignVCenter);
    box->setText(Q(d.text));
    return box;
}

QString ResourcePath(const std::string& file) { return QStringLiteral(":/resources/") + Q(file); }

}  // namespace

FormWindow::FormWindow(Form& form) : m_form(form) {
    const FormDefinition& definition = m_form.definition();
    InstallControlAccessibility();
    setObjectName(Q(definition.name));
    setWindowTitle(Q(definition.caption));
    setFont(WindowFont());
    setMouseTracking(true);
    if (!definition.icon.empty())
        setWindowIcon(QIcon(ResourcePath(definition.icon)));
    applyFrame();
}

FormWindow::~FormWindow() = default;

FormWindow& FormWindow::Of(const Form& form) { return static_cast<FormWindow&>(form.view()); }

void FormWindow::Load() { m_form.Load(); }
void FormWindow::Show() { m_form.Show(); }
void FormWindow::Unload() { m_form.Unload(); }

void FormWindow::applyFrame() {
    const FormDefinition& definition = m_form.definition();
    const QSize client(TwipsToPixels(definition.clientWidth), TwipsToPixels(definition.clientHeight));
    if (definition.frame == FrameStyle::SizableToolWindow) {
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
        resize(client);
    } else {
        setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        setFixedSize(client);
    }
}

void FormWindow::ShowCentred() {
    centreOnScreen();
    show();
    // The window manager tells the frame it draws only once the window is on screen.
    m_awaitingFrame = true;
    if (QWindow* window = windowHandle())
        window->installEventFilter(this);
    // The first box or button of the tab order has the focus when the window first shows; a window
    // with none keeps it itself, so that its drawn controls wait for Tab as on Windows.
    if (m_firstInTabOrder && m_firstInTabOrder->isVisible())
        m_firstInTabOrder->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason);
}

void FormWindow::RunModal() {
    setWindowModality(Qt::ApplicationModal);
    ShowCentred();
    QEventLoop loop;
    m_modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
}

void FormWindow::EndModal() {
    if (m_modalLoop)
        m_modalLoop->quit();
}

namespace {

// The frame that the window manager drew around the last window of each frame style (or of any
// style): the best guess for a window about to be shown, before the window manager tells.
QMargins& LastFrame(std::optional<FrameStyle> style) {
    static std::map<std::optional<FrameStyle>, QMargins> frames;
    return frames[style];
}

QMargins GuessedFrame(FrameStyle style) {
    const QMargins& same = LastFrame(style);
    return same.isNull() ? LastFrame(std::nullopt) : same;
}

void RememberFrame(FrameStyle style, QMargins frame) {
    LastFrame(style) = frame;
    LastFrame(std::nullopt) = frame;
}

}  // namespace

// The whole window, frame included, is centred: its client area lies lower by the title bar.
void FormWindow::centreOnScreen() {
    const QScreen* display = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!display)
        return;
    const QRect available = display->availableGeometry();
    m_frameUsed = GuessedFrame(m_form.definition().frame);
    const PixelRect outer = CentredOn(
        {available.x(), available.y(), available.width(), available.height()},
        {width() + m_frameUsed.left() + m_frameUsed.right(), height() + m_frameUsed.top() + m_frameUsed.bottom()});
    // The client area's own position, which no window manager reinterprets.
    setGeometry(outer.left + m_frameUsed.left(), outer.top + m_frameUsed.top(), width(), height());
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && watched == windowHandle() && m_awaitingFrame &&
        windowHandle()->isExposed()) {
        m_awaitingFrame = false;
        const QMargins frame = windowHandle()->frameMargins();
        if (frame != m_frameUsed) {
            RememberFrame(m_form.definition().frame, frame);
            centreOnScreen();
        }
        return false;
    }
    // No text box takes a tab from the keyboard, whatever the modifiers: Tab moves on.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() && watched != this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            const bool backwards = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            focusNextPrevChild(!backwards);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool FormWindow::focusNextPrevChild(bool next) {
    const QWidget* focused = focusWidget();
    const std::string current = focused ? focused->objectName().toStdString() : std::string();
    const ControlDefinition* target =
        NextInTabOrder(m_form.definition(), current, !next, [this](const ControlDefinition& d) {
            const QWidget* widget = control(d.name);
            const auto* drawn = qobject_cast<const MouseControl*>(widget);
            const QRect place = widget ? widget->geometry() : QRect();
            return widget && widget->isVisible() && widget->isEnabled() && (!drawn || drawn->isClickable()) &&
                   InSight({place.x(), place.y(), place.width(), place.height()}, {width(), height()});
        });
    if (target)
        control(target->name)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

namespace {

// Each firing sets the next, so that a seconds clock keeps to the second boundaries.
void ArmTimer(QTimer* timer, const ControlDefinition& definition) {
    if (const auto delay = TimerDelay(definition, std::chrono::system_clock::now()))
        timer->start(*delay);
}

}  // namespace

void FormWindow::BuildControls() {
    for (const ControlDefinition& d : m_form.definition().controls) {
        QObject* control = nullptr;
        if (d.kind == ControlKind::Timer) {
            auto* timer = new QTimer(this);
            timer->setSingleShot(true);
            timer->setTimerType(Qt::PreciseTimer);
            control = timer;
        } else {
            control = buildControl(d);
        }
        control->setObjectName(Q(d.name));
        m_controls.insert(Q(d.name), control);
        bindEvents(d, control);
        nameForScreenReaders(d);
    }
    stackControls();
    orderTabs();
    for (const ControlDefinition& d : m_form.definition().controls) {
        if (d.kind == ControlKind::Timer)
            ArmTimer(static_cast<QTimer*>(find(d.name)), d);
    }
}

QWidget* FormWindow::buildControl(const ControlDefinition& d) {
    QWidget* widget = nullptr;
    switch (d.kind) {
    case ControlKind::Label: {
        auto* label = new LabelControl(d, this);
        label->setFont(WindowFont(d.bold));
        label->setReadingOrder(Direction(d.readingOrder));
        label->setText(Q(d.text));
        widget = label;
        break;
    }
    case ControlKind::Image: {
        auto* image = new ImageControl(this);
        image->setGeometry(StoredRect(d));
        widget = image;
        break;
    }
    case ControlKind::TextBox:
        widget = BuildTextBox(d, this);
        widget->setGeometry(StoredRect(d));
        widget->setAttribute(Qt::WA_NoMousePropagation);
        break;
    case ControlKind::CommandButton:
        widget = new QPushButton(Q(d.text), this);
        widget->setGeometry(StoredRect(d));
        widget->setAttribute(Qt::WA_NoMousePropagation);
        break;
    case ControlKind::Timer:
        break;
    }
    if (!d.toolTip.empty())
        widget->setToolTip(Q(d.toolTip));
    if (d.pointer == MousePointer::Hand)
        widget->setCursor(HandCursor());
    // A drawn control is reached by Tab alone: a click on it leaves the focus where it was.
    widget->setFocusPolicy(!TakesFocus(d) ? Qt::NoFocus : IsWindowed(d) ? Qt::StrongFocus : Qt::TabFocus);
    if (TakesFocus(d))
        widget->installEventFilter(this);
    widget->setVisible(d.visible);
    return widget;
}

// Controls stored earlier lie above later ones; text boxes and buttons lie above every label
// and image whatever their place.
void FormWindow::stackControls() {
    const auto& controls = m_form.definition().controls;
    for (auto it = controls.crbegin(); it != controls.crend(); ++it) {
        if (QWidget* widget = control(it->name))
            widget->raise();
    }
    for (auto it = controls.crbegin(); it != controls.crend(); ++it) {
        if (IsWindowed(*it))
            control(it->name)->raise();
    }
}

// Tab itself goes through focusNextPrevChild; Qt's own chain is kept in the same order for
// whatever else walks it. A window shows with the focus in its first box or button, never on a
// drawn control, which only Tab reaches.
void FormWindow::orderTabs() {
    QWidget* previous = nullptr;
    for (const ControlDefinition* d : TabOrder(m_form.definition())) {
        QWidget* widget = control(d->name);
        if (previous)
            setTabOrder(previous, widget);
        if (!m_firstInTabOrder && IsWindowed(*d))
            m_firstInTabOrder = widget;
        previous = widget;
    }
}

// A box is named by its heading, an image by its tooltip. A label's name is its text at every
// question (qt/Accessibility.cpp); a change of it is told at most once a minute, not at every
// tick of the clock.
void FormWindow::nameForScreenReaders(const ControlDefinition& d) {
    QWidget* widget = control(d.name);
    if (auto* caption = qobject_cast<LabelControl*>(widget)) {
        if (AnnounceNameChange(caption->nameAnnounced(), std::chrono::steady_clock::now())) {
            QAccessibleEvent changed(caption, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&changed);
        }
    } else if (widget) {
        widget->setAccessibleName(Q(AccessibleName(m_form.definition(), d, Text(d.name))));
    }
}

// Only a control with a click handler is connected to clicks, so that it knows it is clickable.
void FormWindow::bindEvents(const ControlDefinition& d, QObject* control) {
    const std::string name = d.name;
    if (auto* mouseControl = qobject_cast<MouseControl*>(control)) {
        if (m_form.HasClickHandler(name))
            connect(mouseControl, &MouseControl::clicked, this, [this, name] { m_form.ControlClicked(name); });
        connect(mouseControl, &MouseControl::mouseMoved, this, [this, name] { m_form.ControlMouseMoved(name); });
    }
    if (auto* timer = qobject_cast<QTimer*>(control)) {
        connect(timer, &QTimer::timeout, this, [this, timer, d, name] {
            ArmTimer(timer, d);
            m_form.TimerFired(name);
        });
    }
}

// A handler may be running inside one of these controls (the back button unloads its own
// window), so each goes out of sight and is deleted once control is back in the event loop.
void FormWindow::DestroyControls() {
    hide();
    for (const QPointer<QObject>& control : std::as_const(m_controls)) {
        if (auto* widget = qobject_cast<QWidget*>(control.data()))
            widget->hide();
        if (auto* timer = qobject_cast<QTimer*>(control.data()))
            timer->stop();
        if (control)
            control->deleteLater();
    }
    m_controls.clear();
    m_firstInTabOrder = nullptr;
}

QObject* FormWindow::find(std::string_view name) const { return m_controls.value(Q(name)).data(); }

QWidget* FormWindow::control(std::string_view name) const { return qobject_cast<QWidget*>(find(name)); }

LabelControl* FormWindow::label(std::string_view name) const {
    return qobject_cast<LabelControl*>(find(name));
}

ImageControl* FormWindow::image(std::string_view name) const {
    return qobject_cast<ImageControl*>(find(name));
}

std::u16string FormWindow::Text(std::string_view name) const {
    QObject* control = find(name);
    if (auto* box = qobject_cast<SingleLineTextBox*>(control))
        return box->text().toStdU16String();
    if (auto* box = qobject_cast<MultiLineTextBox*>(control))
        return box->text().toStdU16String();
    if (auto* caption = qobject_cast<LabelControl*>(control))
        return caption->text().toStdU16String();
    if (auto* button = qobject_cast<QPushButton*>(control))
        return button->text().toStdU16String();
    return {};
}

void FormWindow::SetText(std::string_view name, const std::u16string& value) {
    QObject* control = find(name);
    const QString text = Q(value);
    if (auto* box = qobject_cast<SingleLineTextBox*>(control))
        box->setText(text);
    else if (auto* box = qobject_cast<MultiLineTextBox*>(control))
        box->setText(text);
    else if (auto* caption = qobject_cast<LabelControl*>(control))
        caption->setText(text);
    else if (auto* button = qobject_cast<QPushButton*>(control))
        button->setText(text);
    if (const ControlDefinition* d = m_form.definition().find(name))
        nameForScreenReaders(*d);
}

bool FormWindow::IsBold(std::string_view name) const {
    const LabelControl* caption = label(name);
    return caption && caption->isBold();
}

void FormWindow::SetBold(std::string_view name, bool bold) {
    if (LabelControl* caption = label(name))
        caption->setBold(bold);
}

void FormWindow::SetPicture(std::string_view name, const std::string& pictureBytes) {
    ImageControl* picture = image(name);
    const ControlDefinition* definition = m_form.definition().find(name);
    if (!picture || !definition)
        return;
    const QPixmap decoded = DecodePicture(pictureBytes);
    picture->setPicture(decoded);
    if (!decoded.isNull()) {
        const QSize own = decoded.deviceIndependentSize().toSize();
        const PixelSize size = ImageSizeFor(*definition, {own.width(), own.height()});
        picture->resize(size.width, size.height);
    }
}

void FormWindow::SetReadingOrder(std::string_view name, ReadingOrder order) {
    if (LabelControl* caption = label(name))
        caption->setReadingOrder(Direction(order));
}

void FormWindow::ShowWarning(const std::u16string& title, const std::u16string& text) {
    ShowRightToLeftWarning(this, Q(title), Q(text));
}

// The artwork drawn for the nearest scale at or above the screen's, brought down (or, above 2x,
// up) to the exact size once, so that each of its pixels is one of the screen's.
void FormWindow::prepareBackground(qreal scale) {
    m_backgroundScale = scale;
    m_background = {};
    const std::string& file = m_form.definition().background;
    if (file.empty())
        return;
    double artworkScale = ArtworkScaleFor(scale);
    QImage picture(ResourcePath(ArtworkFileAt(file, artworkScale)));
    if (picture.isNull()) {
        artworkScale = 1.0;
        picture.load(ResourcePath(file));
    }
    if (picture.isNull())
        return;
    const QSize wanted(ScaledPixels(int(std::lround(picture.width() / artworkScale)), scale),
                       ScaledPixels(int(std::lround(picture.height() / artworkScale)), scale));
    if (picture.size() != wanted)
        picture = picture.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_background = QPixmap::fromImage(picture);
    m_background.setDevicePixelRatio(scale);
}

void FormWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The scale of what is painted on: the screen's, or that of an image the window is rendered into.
    const qreal scale = painter.device()->devicePixelRatioF();
    if (scale != m_backgroundScale)
        prepareBackground(scale);
    // Beyond the picture the window keeps its plain colour.
    if (!m_background.isNull())
        painter.drawPixmap(0, 0, m_background);
    // A focused label's mark lies around it, on the window's surface.
    if (auto* focused = qobject_cast<const LabelControl*>(focusWidget()); focused && focused->hasFocus())
        MouseControl::DrawFocusCue(painter, focused->focusCue());
}

void FormWindow::mouseMoveEvent(QMouseEvent* event) {
    // Only moves over the bare surface arrive here: every control keeps its own.
    event->accept();
    m_form.SurfaceMouseMoved();
}

void FormWindow::closeEvent(QCloseEvent* event) {
    // A close request from the system unloads the window, like the window's own way out.
    event->ignore();
    m_form.CloseRequested();
}

}  // namespace linkvane
