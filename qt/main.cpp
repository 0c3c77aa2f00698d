#include "app/Main.h"
#include "forms/Background.h"
#include "qt/Desktop.h"

#include <QApplication>

#include <chrono>
#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    linkvane::InstallQtDesktop();
    int status = 0;
    {
        linkvane::Main main;
        main.Show();
        status = application.exec();
    }
    // A download abandoned at the end stops within a second; one that does not must not hold
    // the program, nor meet destructors of what it still uses.
    using namespace std::chrono_literals;
    if (!linkvane::AbandonBackgroundWork(1s))
        std::quick_exit(status);
    return status;
}
