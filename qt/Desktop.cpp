#include "qt/Desktop.h"

#include "net/codepage.h"
#include "qt/FormWindow.h"

#include <QApplication>
#include <QDir>
#include <QProcess>

namespace linkvane {

namespace {

QString FromAnsiBytes(const std::string& bytes) { return QString::fromStdU16String(FromAnsi(bytes)); }

// The program is started directly with its argument list, never through a shell, and detached
// (Qt forks twice and reaps the middle process), so nothing is waited for and no zombie remains.
void StartDetached(const QString& program, const QStringList& arguments,
                   const QString& workingDirectory = {}) {
    QProcess::startDetached(program, arguments, workingDirectory);
}

}  // namespace

std::unique_ptr<WindowView> QtDesktop::CreateView(Form& form) {
    return std::make_unique<FormWindow>(form);
}

void QtDesktop::EndProgram() {
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
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
