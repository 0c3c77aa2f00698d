#include "qt/Desktop.h"

#include "net/codepage.h"
#include "qt/FormWindow.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QPointer>
#include <QProcess>

#include <memory>
#include <utility>
#include <vector>

namespace linkvane {

namespace {

QString FromAnsiBytes(const std::string& bytes) { return QString::fromStdU16String(FromAnsi(bytes)); }

// The program is started directly with its argument list, never through a shell, and detached
// (Qt forks twice and reaps the middle process), so nothing is waited for and no zombie remains.
void StartDetached(const QString& program, const QStringList& arguments,
                   const QString& workingDirectory = {}) {
    QProcess::startDetached(program, arguments, workingDirectory);
}

// Keeps the user's input away from the windows while a handler waits for its work, and gives
// it back afterwards in the order it came. Everything else (paints, timers, close requests, the
// pointer entering and leaving) goes on meanwhile.
class HeldInput : public QObject {
public:
    HeldInput() { qApp->installEventFilter(this); }
    ~HeldInput() override { qApp->removeEventFilter(this); }

    // Posted events are delivered before new input from the window system, and pass this filter
    // again: should a replayed click start another wait, the rest stays held behind it.
    void Replay() {
        qApp->removeEventFilter(this);
        for (auto& [receiver, event] : m_events) {
            if (receiver)
                QCoreApplication::postEvent(receiver, event.release());
        }
        m_events.clear();
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (!IsInput(event->type()))
            return false;
        m_events.emplace_back(receiver, std::unique_ptr<QEvent>(event->clone()));
        return true;
    }

private:
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

    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_events;
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
    HeldInput held;
    while (!finished && !IsEnding())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    held.Replay();
    return finished && !IsEnding();
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
