#include "app/Main.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    linkvane::Main main;
    main.Show();
    return application.exec();
}
