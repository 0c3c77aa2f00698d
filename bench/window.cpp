// The window under measurement, one per process, for bench/run.sh:
//   linkvane-bench-window main CONTENT_HOST LINKS_HOST [--no-timer] [--stay]
//   linkvane-bench-window bare [--label] [--empty-timer] [--stay]
// "main" is the program's main window, loaded from the given servers; --no-timer stops its LTime
// timer before the window first reaches the screen (the program itself is unchanged). "bare" is a
// plain QWidget of the same client size; --label puts one line of text on it (the first text
// drawn loads the font database), --empty-timer runs a 1 ms QTimer that only counts its fires.
// Once the window's first paint is done (painted and flushed, control back in the event loop) it
// prints "painted NS", NS being CLOCK_MONOTONIC in nanoseconds, and exits. With --stay it keeps
// running instead and answers on standard input: "r" prints "fires F paints P timers T" (timer
// fires, paint events and timer events of every object since start); "q" or the end of input
// ends it.

#include "app/Main.h"
#include "app/MainDefinition.h"
#include "forms/Twips.h"
#include "net/codepage.h"
#include "qt/Desktop.h"
#include "qt/FormWindow.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QSocketNotifier>
#include <QTimer>

#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

long long MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

// Counts paint and timer events of the whole application and stamps the window's first paint.
class Watcher : public QObject {
public:
    Watcher(const QWidget* window, bool stay) : m_window(window), m_stay(stay) {}

    long long fires = 0;

    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->type() == QEvent::Timer)
            ++m_timers;
        if (event->type() != QEvent::Paint)
            return false;
        ++m_paints;
        if (receiver == m_window && !m_stamped) {
            m_stamped = true;
            // Posted now, run once this paint and its flush are over.
            QTimer::singleShot(0, this, [this] { painted(); });
        }
        return false;
    }

    void report() const {
        std::printf("fires %lld paints %lld timers %lld\n", fires, m_paints, m_timers);
        std::fflush(stdout);
    }

private:
    void painted() const {
        std::printf("painted %lld\n", MonotonicNs());
        std::fflush(stdout);
        if (!m_stay)
            _exit(0);
    }

    const QWidget* m_window;
    bool m_stay;
    bool m_stamped = false;
    long long m_paints = 0, m_timers = 0;
};

bool HasOption(int argc, char* argv[], const char* option) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], option) == 0)
            return true;
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool isMain = argc >= 4 && std::strcmp(argv[1], "main") == 0;
    if (!isMain && !(argc >= 2 && std::strcmp(argv[1], "bare") == 0)) {
        std::fprintf(stderr, "usage: %s main CONTENT_HOST LINKS_HOST [--no-timer] [--stay]\n"
                             "       %s bare [--label] [--empty-timer] [--stay]\n", argv[0], argv[0]);
        return 2;
    }
    const bool stay = HasOption(argc, argv, "--stay");
    QApplication application(argc, argv);

    linkvane::InstallQtDesktop();
    std::unique_ptr<linkvane::Main> main;
    std::unique_ptr<QWidget> bare;
    QWidget* window = nullptr;
    if (isMain) {
        main = std::make_unique<linkvane::Main>(
            linkvane::ServerHosts{linkvane::FromUtf8(argv[2]), linkvane::FromUtf8(argv[3])});
        window = &linkvane::FormWindow::Of(*main);
    } else {
        bare = std::make_unique<QWidget>();
        window = bare.get();
    }
    Watcher watcher(window, stay);
    application.installEventFilter(&watcher);

    if (main) {
        main->Show();  // shows, then fetches; the first paint may come while they run
        if (auto* clock = window->findChild<QTimer*>(QStringLiteral("LTime"))) {
            QObject::connect(clock, &QTimer::timeout, &watcher, [&watcher] { ++watcher.fires; });
            if (HasOption(argc, argv, "--no-timer"))
                clock->stop();
        }
    } else {
        const linkvane::FormDefinition& layout = linkvane::MainDefinition();
        window->setFixedSize(linkvane::TwipsToPixels(layout.clientWidth),
                             linkvane::TwipsToPixels(layout.clientHeight));
        if (HasOption(argc, argv, "--label"))
            new QLabel(QStringLiteral("Linkvane"), window);
        window->show();
        if (HasOption(argc, argv, "--empty-timer")) {
            auto* timer = new QTimer(window);
            QObject::connect(timer, &QTimer::timeout, &watcher, [&watcher] { ++watcher.fires; });
            timer->start(1);
        }
    }

    if (!stay)
        return application.exec();
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&watcher] {
        char command[64];
        const ssize_t count = read(STDIN_FILENO, command, sizeof command);
        for (ssize_t i = 0; i < count; ++i)
            if (command[i] == 'r')
                watcher.report();
        if (count <= 0 || std::memchr(command, 'q', size_t(count)))
            _exit(0);
    });
    return application.exec();
}
