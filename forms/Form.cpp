#include "forms/Form.h"

#include "forms/Accessibility.h"
#include "forms/Fonts.h"
#include "forms/HandCursor.h"
#include "forms/Twips.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace linkvane {

namespace {

QRect PixelRect(const ControlDefinition& d) {
    return {TwipsToPixels(d.left), TwipsToPixels(d.top), TwipsToPixels(d.width), TwipsToPixels(d.height)};
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

bool TakesFocus(const ControlDefinition& d) {
    return d.kind == ControlKind::TextBox || d.kind == ControlKind::CommandButton;
}

// Text boxes hold any text handed to them: a single line keeps line breaks as characters, and
// nothing is ever read as markup.
QWidget* BuildTextBox(const ControlDefinition& d, QWidget* parent) {
    if (d.multiLine) {
        auto* box = new MultiLineTextBox(parent);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        QTextOption option = box->document()->defaultTextOption();
        option.setAlignment(HorizontalAlignment(d.alignment) | Qt::AlignAbsolute);
        option.setTextDirection(Direction(d.readingOrder));
        box->document()->setDefaultTextOption(option);
        box->setText(d.text);
        box->viewport()->setAttribute(Qt::WA_NoMousePropagation);
        return box;
    }
    auto* box = new QLineEdit(parent);
    box->setMaxLength(INT_MAX);
    box->setAlignment(HorizontalAlignment(d.alignment) | Qt::AlignVCenter);
    box->setText(d.text);
    return box;
}

}  // namespace

Form::Form(FormDefinition definition) : m_definition(std::move(definition)) {
    InstallControlAccessibility();
    setObjectName(m_definition.name);
    setWindowTitle(m_definition.caption);
    setFont(WindowFont());
    setMouseTracking(true);
    if (!m_definition.background.isEmpty())
        m_background.load(m_definition.background);
    if (!m_definition.icon.isEmpty())
        setWindowIcon(QIcon(m_definition.icon));
    applyFrame();
}

Form::~Form() = default;

void Form::applyFrame() {
    const QSize client(TwipsToPixels(m_definition.clientWidth), TwipsToPixels(m_definition.clientHeight));
    if (m_definition.frame == FrameStyle::SizableToolWindow) {
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
        resize(client);
    } else {
        setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        setFixedSize(client);
    }
}

void Form::Load() {
    if (m_loaded)
        return;
    buildControls();
    m_loaded = true;
    Form_Load();
}

void Form::Show() {
    Load();
    centreOnScreen();
    show();
    // The control first in the tab order has the focus when the window first shows.
    if (m_firstInTabOrder && m_firstInTabOrder->isVisible())
        m_firstInTabOrder->setFocus(Qt::OtherFocusReason);
}

void Form::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    Show();
    QEventLoop loop;
    m_modalLoop = &loop;
    if (m_loaded)
        loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
}

void Form::Unload() {
    if (!m_loaded)
        return;
    Form_Unload();
    m_loaded = false;
    hide();
    destroyControls();
    if (m_modalLoop)
        m_modalLoop->quit();
}

void Form::centreOnScreen() {
    const QScreen* display = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!display)
        return;
    const QRect available = display->availableGeometry();
    move(available.center() - QPoint(width() / 2, height() / 2));
}

void Form::buildControls() {
    for (const ControlDefinition& d : m_definition.controls) {
        QObject* control = nullptr;
        if (d.kind == ControlKind::Timer) {
            auto* timer = new QTimer(this);
            timer->setInterval(d.interval);
            control = timer;
        } else {
            control = buildControl(d);
        }
        control->setObjectName(d.name);
        m_controls.insert(d.name, control);
        bindHandlers(d, control);
    }
    stackControls();
    orderTabs();
    for (const ControlDefinition& d : m_definition.controls) {
        if (d.kind == ControlKind::Timer)
            static_cast<QTimer*>(m_controls.value(d.name).data())->start();
    }
}

QWidget* Form::buildControl(const ControlDefinition& d) {
    QWidget* widget = nullptr;
    switch (d.kind) {
    case ControlKind::Label: {
        auto* label = new LabelControl(this);
        label->setFont(WindowFont(d.bold));
        label->setTextAlignment(HorizontalAlignment(d.alignment));
        label->setReadingOrder(Direction(d.readingOrder));
        label->setGeometry(PixelRect(d));
        label->setAutoSize(d.autoSize);
        if (d.growsLeft)
            label->setRightEdge(PixelRect(d).x() + PixelRect(d).width());
        label->setText(d.text);
        widget = label;
        break;
    }
    case ControlKind::Image: {
        auto* image = new ImageControl(this);
        image->setGeometry(PixelRect(d));
        image->setAutoSize(d.autoSize);
        widget = image;
        break;
    }
    case ControlKind::TextBox:
        widget = BuildTextBox(d, this);
        widget->setGeometry(PixelRect(d));
        widget->setAttribute(Qt::WA_NoMousePropagation);
        break;
    case ControlKind::CommandButton:
        widget = new QPushButton(d.text, this);
        widget->setGeometry(PixelRect(d));
        widget->setAttribute(Qt::WA_NoMousePropagation);
        break;
    case ControlKind::Timer:
        break;
    }
    if (!d.toolTip.isEmpty()) {
        widget->setToolTip(d.toolTip);
        widget->setAccessibleName(d.toolTip);
    }
    if (!d.accessibleName.isEmpty())
        widget->setAccessibleName(d.accessibleName);
    if (d.pointer == MousePointer::Hand)
        widget->setCursor(HandCursor());
    widget->setFocusPolicy(TakesFocus(d) ? Qt::StrongFocus : Qt::NoFocus);
    widget->setVisible(d.visible);
    return widget;
}

// Controls stored earlier lie above later ones; text boxes and buttons lie above every label
// and image whatever their place.
void Form::stackControls() {
    const auto& controls = m_definition.controls;
    for (auto it = controls.crbegin(); it != controls.crend(); ++it) {
        if (auto* widget = qobject_cast<QWidget*>(m_controls.value(it->name)))
            widget->raise();
    }
    for (auto it = controls.crbegin(); it != controls.crend(); ++it) {
        if (TakesFocus(*it))
            qobject_cast<QWidget*>(m_controls.value(it->name))->raise();
    }
}

void Form::orderTabs() {
    QList<const ControlDefinition*> ordered;
    for (const ControlDefinition& d : m_definition.controls) {
        if (TakesFocus(d) && d.tabIndex >= 0)
            ordered << &d;
    }
    std::sort(ordered.begin(), ordered.end(),
              [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    QWidget* previous = nullptr;
    for (const ControlDefinition* d : ordered) {
        auto* widget = qobject_cast<QWidget*>(m_controls.value(d->name));
        if (previous)
            setTabOrder(previous, widget);
        else
            m_firstInTabOrder = widget;
        previous = widget;
    }
}

void Form::bindHandlers(const ControlDefinition& d, QObject* control) {
    const Handlers handlers = m_handlers.value(d.name);
    if (auto* mouseControl = qobject_cast<MouseControl*>(control)) {
        if (handlers.click)
            connect(mouseControl, &MouseControl::clicked, this, handlers.click);
        if (handlers.mouseMove)
            connect(mouseControl, &MouseControl::mouseMoved, this, handlers.mouseMove);
    }
    if (auto* timer = qobject_cast<QTimer*>(control); timer && handlers.timer)
        connect(timer, &QTimer::timeout, this, handlers.timer);
}

// A handler may be running inside one of these controls (the back button unloads its own
// window), so each goes out of sight and is deleted once control is back in the event loop.
void Form::destroyControls() {
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

QWidget* Form::control(const QString& name) const {
    return qobject_cast<QWidget*>(m_controls.value(name).data());
}

LabelControl* Form::label(const QString& name) const {
    return qobject_cast<LabelControl*>(m_controls.value(name).data());
}

ImageControl* Form::image(const QString& name) const {
    return qobject_cast<ImageControl*>(m_controls.value(name).data());
}

QString Form::text(const QString& name) const {
    QObject* control = m_controls.value(name).data();
    if (auto* box = qobject_cast<QLineEdit*>(control))
        return box->text();
    if (auto* box = qobject_cast<MultiLineTextBox*>(control))
        return box->text();
    if (auto* caption = qobject_cast<LabelControl*>(control))
        return caption->text();
    if (auto* button = qobject_cast<QPushButton*>(control))
        return button->text();
    return {};
}

void Form::setText(const QString& name, const QString& text) {
    QObject* control = m_controls.value(name).data();
    if (auto* box = qobject_cast<QLineEdit*>(control))
        box->setText(text);
    else if (auto* box = qobject_cast<MultiLineTextBox*>(control))
        box->setText(text);
    else if (auto* caption = qobject_cast<LabelControl*>(control))
        caption->setText(text);
    else if (auto* button = qobject_cast<QPushButton*>(control))
        button->setText(text);
}

void Form::onClick(const QString& control, std::function<void()> handler) {
    m_handlers[control].click = std::move(handler);
}

void Form::onMouseMove(const QString& control, std::function<void()> handler) {
    m_handlers[control].mouseMove = std::move(handler);
}

void Form::onTimer(const QString& control, std::function<void()> handler) {
    m_handlers[control].timer = std::move(handler);
}

void Form::paintEvent(QPaintEvent*) {
    // Beyond the picture the window keeps its plain colour.
    if (!m_background.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(0, 0, m_background);
    }
}

void Form::mouseMoveEvent(QMouseEvent* event) {
    // Only moves over the bare surface arrive here: every control keeps its own.
    event->accept();
    Form_MouseMove();
}

void Form::closeEvent(QCloseEvent* event) {
    // A close request from the system unloads the window, like the window's own way out.
    event->ignore();
    Unload();
}

}  // namespace linkvane
