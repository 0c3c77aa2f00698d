#include "qt/Startup.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace linkvane {

const char kNeedsGraphicalDesktop[] =
    "Linkvane needs a graphical desktop: no display could be opened (is DISPLAY set?)";

namespace {

QtMessageHandler g_previous = nullptr;
bool g_holding = false;
QList<std::pair<QtMsgType, QString>> g_held;

void HoldOrFail(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", kNeedsGraphicalDesktop);
        std::fflush(stderr);
        std::_Exit(1);
    }
    g_held.append({type, message});
}

}  // namespace

StartupGuard::StartupGuard() {
    g_holding = true;
    g_previous = qInstallMessageHandler(HoldOrFail);
}

StartupGuard::~StartupGuard() { Started(); }

void StartupGuard::Started() {
    if (!g_holding)
        return;
    g_holding = false;
    qInstallMessageHandler(g_previous);
    const QMessageLogContext noContext;
    for (const auto& [type, message] : std::as_const(g_held)) {
        if (g_previous)
            g_previous(type, noContext, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(message));
    }
    g_held.clear();
}

}  // namespace linkvane
