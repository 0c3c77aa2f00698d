#include "app/Main.h"
#include "forms/Background.h"
#include "qt/Desktop.h"
#include "qt/Startup.h"

#include <QApplication>

#include <chrono>
#include <cstdlib>

int main(int, char* argv[]) {
    // The program takes no command line: not even Qt's own options (-style, -reverse, -platform)
    // reach it. The environment may still choose the platform.
    static int argumentCount = 1;
    static char programName[] = "linkvane";
    static char* arguments[] = {argv && argv[0] ? argv[0] : programName, nullptr};
    linkvane::StartupGuard guard;
    QApplication application(argumentCount, arguments);
    guard.Started();
    linkvane::InstallQtDesktop();
    int status = 0;
    {
        linkvane::Main main;
        main.Show();
        // The window may have been closed while its content was still on the way.
        if (!linkvane::CurrentDesktop().IsEnding())
            status = application.exec();
    }
    // A download abandoned at the end stops within a second; one that does not must not hold
    // the program, nor meet destructors of what it still uses.
    using namespace std::chrono_literals;
    if (!linkvane::AbandonBackgroundWork(1s))
        std::quick_exit(status);
    return status;
}
