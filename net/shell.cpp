#include "net/shell.h"

#include "net/codepage.h"
#include "net/weblink.h"

#include <QDir>
#include <QProcess>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace linkvane {

namespace {

// The program is started directly with its argument list, never through a shell, and detached
// (Qt forks twice and reaps the middle process), so nothing is waited for and no zombie remains.
void StartDetached(const QString& program, const QStringList& arguments,
                   const QString& workingDirectory = {}) {
    QProcess::startDetached(program, arguments, workingDirectory);
}

}  // namespace

QString DesktopOpener() {
#if defined(_WIN32)
    return QStringLiteral("explorer");
#elif defined(__APPLE__)
    return QStringLiteral("open");
#else
    return QStringLiteral("xdg-open");
#endif
}

void ShellOpen(QWidget* owner, const QString& target) {
    Q_UNUSED(owner);  // the desktop openers here take no owner window
    if (!IsWebLink(target))
        return;
#ifdef _WIN32
    ShellExecuteA(nullptr, nullptr, ToAnsi(target).constData(), nullptr, "C:\\", SW_SHOWNORMAL);
#else
    // The opener takes UTF-8 arguments; the trip through the code page keeps what the classic
    // program could hand over and turns the rest into "?", as its conversion did.
    StartDetached(DesktopOpener(), {ThroughAnsi(target)}, QDir::rootPath());
#endif
}

void ShellRun(const QString& commandLine, int windowStyle) {
    // Window styles are a Windows notion; the desktops here let the program place its window.
    Q_UNUSED(windowStyle);
    const QString line = ThroughAnsi(commandLine);
    const qsizetype space = line.indexOf(u' ');
    const QString program = space < 0 ? line : line.left(space);
    if (program.isEmpty())
        return;
    const QStringList arguments = space < 0 ? QStringList() : QStringList{line.sliced(space + 1)};
    StartDetached(program, arguments);
}

}  // namespace linkvane
