#include "app/Main.h"
#include "qt/Desktop.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    linkvane::InstallQtDesktop();
    linkvane::Main main;
    main.Show();
    return application.exec();
}
