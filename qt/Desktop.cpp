#include "qt/Desktop.h"

#include "net/codepage.h"
#include "qt/FormWindow.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPointer>
#include <QProcess>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace linkvane {

namespace {

QString FromAnsiBytes(const std::string& bytes) { return QString::fromStdU16String(FromAnsi(bytes)); }

// The program is started directly with its argument list, never through a shell, and detached
// (Qt forks twice and reaps the middle process), so nothing is waited for and no zombie remains.
void StartDetached(const QString& program, const QStringList& arguments,
                   const QString& workingDirectory = {}) {
    QProcess::startDetached(program, arguments, workingDirectory);
}

// Keeps the user's input away from the windows while a handler waits for its work, and hands it
// over afterwards in the order it came. Everything else (paints, timers, close requests, the
// pointer entering and leaving) goes on meanwhile.
//
// Held input is handed over one event at a time, each sent only when the one before it has been
// handled: should it start another wait, the rest stays held behind that wait, and input made
// meanwhile lines up after it. Input that comes while held input waits its turn lines up too.
// Each keeps when it came: a click it makes is judged by when the user made it (forms/Click.h).
// Pointer events are kept as their values and made anew when their turn comes: Qt's pointer
// events share their point with the device's current one, so an event kept (or posted) while
// other input follows would be delivered where the later input was made, away from its control,
// and the click would be lost.
class HeldInput : public QObject {
public:
    static HeldInput& Instance() {
        static QPointer<HeldInput> held;
        if (!held)
            held = new HeldInput(qApp);
        return *held;
    }

    void BeginWait() { ++m_waits; }
    void EndWait() {
        --m_waits;
        if (m_waits == 0 && !m_held.empty())
            QMetaObject::invokeMethod(this, &HeldInput::HandOver, Qt::QueuedConnection);
    }

    // When the held event being handed over was made; none outside a handing over.
    std::optional<InputMoment> madeAtOfHandedOver() const { return m_handedOverMadeAt; }
    // A wait started while an event is handed over handles no input of its own, and its close
    // requests and timers were not made with that event.
    std::optional<InputMoment> forgetHandedOver() { return std::exchange(m_handedOverMadeAt, std::nullopt); }
    void recallHandedOver(std::optional<InputMoment> madeAt) { m_handedOverMadeAt = madeAt; }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (!IsInput(event->type()))
            return false;
        // While held input is handed over, new input goes on (a message box it opened needs it).
        const bool hold = m_waits > 0 || (!m_handingOver && !m_held.empty());
        if (hold)
            m_held.push_back({receiver, Sender(event), CurrentDesktop().InputClockNow()});
        return hold;
    }

private:
    explicit HeldInput(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

    using Send = std::function<void(QObject*)>;
    struct Held {
        QPointer<QObject> receiver;
        Send send;
        InputMoment madeAt;
    };

    void HandOver() {
        if (m_handingOver)
            return;
        m_handingOver = true;
        while (m_waits == 0 && !m_held.empty()) {
            Held next = std::move(m_held.front());
            m_held.pop_front();
            m_handedOverMadeAt = next.madeAt;
            if (next.receiver)
                next.send(next.receiver);
            m_handedOverMadeAt.reset();
        }
        m_handingOver = false;
    }

    static Send Sender(const QEvent* event) {
        if (const auto* mouse = dynamic_cast<const QMouseEvent*>(event)) {
            return [type = mouse->type(), local = mouse->position(), scene = mouse->scenePosition(),
                    global = mouse->globalPosition(), button = mouse->button(), buttons = mouse->buttons(),
                    modifiers = mouse->modifiers(), device = mouse->pointingDevice(),
                    time = mouse->timestamp()](QObject* receiver) {
                QMouseEvent made(type, local, scene, global, button, buttons, modifiers, device);
                made.setTimestamp(time);
                QCoreApplication::sendEvent(receiver, &made);
            };
        }
        if (const auto* wheel = dynamic_cast<const QWheelEvent*>(event)) {
            return [local = wheel->position(), global = wheel->globalPosition(), pixels = wheel->pixelDelta(),
                    angle = wheel->angleDelta(), buttons = wheel->buttons(), modifiers = wheel->modifiers(),
                    phase = wheel->phase(), inverted = wheel->inverted(), source = wheel->source(),
                    device = wheel->pointingDevice(), time = wheel->timestamp()](QObject* receiver) {
                QWheelEvent made(local, global, pixels, angle, buttons, modifiers, phase, inverted, source, device);
                made.setTimestamp(time);
                QCoreApplication::sendEvent(receiver, &made);
            };
        }
        return [copy = std::shared_ptr<QEvent>(event->clone())](QObject* receiver) {
            QCoreApplication::sendEvent(receiver, copy.get());
        };
    }

    static bool IsInput(QEvent::Type type) {
        switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }

    int m_waits = 0;
    bool m_handingOver = false;
    std::optional<InputMoment> m_handedOverMadeAt;
    std::deque<Held> m_held;
};

// One wait of RunEventsUntil, however it ends: input is held, and the pointer over every window
// of the program is the busy one, as work goes on in the background, until the wait ends.
class HeldInputDuringWait {
public:
    HeldInputDuringWait()
        : m_held(HeldInput::Instance()), m_handedOverMadeAt(m_held.forgetHandedOver()) {
        m_held.BeginWait();
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~HeldInputDuringWait() {
        QGuiApplication::restoreOverrideCursor();
        m_held.recallHandedOver(m_handedOverMadeAt);
        m_held.EndWait();
    }
    HeldInputDuringWait(const HeldInputDuringWait&) = delete;
    HeldInputDuringWait& operator=(const HeldInputDuringWait&) = delete;

private:
    HeldInput& m_held;
    std::optional<InputMoment> m_handedOverMadeAt;
};

}  // namespace

std::unique_ptr<WindowView> QtDesktop::CreateView(Form& form) {
    return std::make_unique<FormWindow>(form);
}

// Every nested loop (a modal showing, a wait) returns as well as the program's own.
void QtDesktop::CloseEverything() {
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}

bool QtDesktop::RunEventsUntil(const std::atomic<bool>& finished) {
    {
        HeldInputDuringWait held;
        while (!finished && !IsEnding())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return finished && !IsEnding();
}

InputMoment QtDesktop::InputMadeAt() const {
    return HeldInput::Instance().madeAtOfHandedOver().value_or(InputClockNow());
}

void QtDesktop::WakeEventLoop() {
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(qApp->thread()))
        dispatcher->wakeUp();
}

std::u16string QtDesktop::OpenerProgram() const { return u"xdg-open"; }

void QtDesktop::OpenDocument(const Form*, const std::string& ansiTarget) {
    // The opener takes UTF-8 arguments; the trip through the code page has kept what the classic
    // program could hand over and turned the rest into "?", as its conversion did.
    StartDetached(QString::fromStdU16String(OpenerProgram()), {FromAnsiBytes(ansiTarget)},
                  QDir::rootPath());
}

// The first word names the program, found on PATH; the rest of the line after the first space,
// unchanged, is its single argument. Window styles are a Windows notion: the desktops here let
// the program place its window.
void QtDesktop::RunCommandLine(const std::string& ansiCommandLine, int) {
    const QString line = FromAnsiBytes(ansiCommandLine);
    const qsizetype space = line.indexOf(u' ');
    const QString program = space < 0 ? line : line.left(space);
    if (program.isEmpty())
        return;
    const QStringList arguments = space < 0 ? QStringList() : QStringList{line.sliced(space + 1)};
    StartDetached(program, arguments);
}

void InstallQtDesktop() {
    static QtDesktop desktop;
    InstallDesktop(&desktop);
    InstallDesktopShell(&desktop);
}

}  // namespace linkvane
