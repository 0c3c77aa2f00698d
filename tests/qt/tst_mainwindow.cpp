#include "app/Main.h"
#include "qt/Desktop.h"
#include "qt/FormWindow.h"
#include "app/MainDefinition.h"
#include "calendar/Data.h"
#include "net/codepage.h"
#include "net/limits.h"
#include "qt/HandCursor.h"
#include "qt/Startup.h"
#include "forms/ShapeableText.h"
#include "forms/Twips.h"
#include "tests/qt/codepoints.h"
#include "tests/support/recordingopener.h"
#include "tests/support/testserver.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <atomic>
#include <memory>
#include <chrono>
#include <thread>
#include <vector>

using namespace linkvane;

namespace {

// Both servers at a loopback port where nothing listens: the program without a network.
ServerHosts Offline() {
    const std::u16string dead = u"127.0.0.1:" + FromUtf8(std::to_string(DeadPort()));
    return {dead, dead};
}

ServerHosts Hosts(const TestServer& content, const TestServer& links) {
    return {content.hostPort16(), links.hostPort16()};
}

QString Url(const TestServer& server, const char* path) { return QString::fromStdString(server.url(path)); }

// پيام مدير سايت: ... as the server stores it, in Windows-1256 with a closing line break.
const QString kPersianMessage =
    QStringLiteral(u"\u0633\u0644\u0627\u0645 \u06A9\u0627\u0631\u0628\u0631 \u06AF\u0631\u0627\u0645\u064A\r\n");

QByteArray Windows1256(const QString& text) {
    QStringEncoder encoder("windows-1256");
    return encoder.encode(text);
}

QByteArray PngBytes(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

QPoint CentreOf(const FormWindow& form, const char* control) {
    return form.control(control)->geometry().center();
}

// Mouse events go through the window, which hands them to the control on top at that point.
void MoveTo(FormWindow& form, QPoint where) { QTest::mouseMove(form.windowHandle(), where); }
void Click(FormWindow& form, QPoint where) {
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, where);
}

bool Bold(const FormWindow& form, const char* caption) {
    return form.label(caption)->isBold();
}

// Runs `inspect` on the modal message box once it is up, then presses its OK button.
void OnNextMessageBox(std::function<void(QMessageBox*)> inspect, bool* seen) {
    QTimer::singleShot(0, [inspect, seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        *seen = true;
        inspect(box);
        box->button(QMessageBox::Ok)->click();
    });
}

// A desktop of the test's own, for a test that ends the program: the program's own desktop
// must not stay ended for the tests after it. Like the program's, it lives as long as the
// process: work left behind when a program ends may still be finishing after the test.
struct EndableDesktop {
    QtDesktop& desktop = Kept(new QtDesktop);
    static QtDesktop& Kept(QtDesktop* desktop) {
        static std::vector<std::unique_ptr<QtDesktop>>& kept = *new std::vector<std::unique_ptr<QtDesktop>>;
        kept.emplace_back(desktop);
        return *desktop;
    }
    EndableDesktop() {
        InstallDesktop(&desktop);
        InstallDesktopShell(&desktop);
    }
    ~EndableDesktop() { InstallQtDesktop(); }
};

// Runs the program's own event loop, as main() does, with `action` as its first event; gives the
// loop's exit status, or 1 when nothing ended it within 5 s. (The application's loop, not a
// nested one: only it starts afresh after the program has once been ended.)
int RunProgramLoopAfter(std::function<void()> action) {
    QTimer::singleShot(0, qApp, action);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    guard.start(5000);
    return QApplication::exec();
}

// Under ThreadSanitizer everything runs ten to twenty times slower: the tests still run every
// path, but do not hold it to the clock.
bool Untimed() { return qEnvironmentVariableIsSet("LINKVANE_UNTIMED"); }

// The share of one core this process uses while its event loop runs for `ms`.
double CpuPercentOver(int ms) {
    const auto used = [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6 + usage.ru_utime.tv_usec +
               usage.ru_stime.tv_usec;
    };
    const double before = used();
    QTest::qWait(ms);
    return (used() - before) / (ms * 1e3) * 100;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallQtDesktop(); }

    // The window is up, dated and ticking while the first file is still on its way; the files
    // then arrive in their order and fill their controls.
    void startupShowsTheWindowFirstThenFillsItInOrder() {
        TestServer server;
        std::atomic<bool> released{false};
        server.handle("/document/AdminPm.txt", [&](const httplib::Request&, httplib::Response& response) {
            while (!released && !server.stopping())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            const QByteArray message = Windows1256(kPersianMessage);
            response.set_content(message.constData(), message.size(), "text/plain");
        });
        server.serve("/document/ADSBaner.txt", server.url("/banner.png") + "\r\n");
        server.serve("/document/LinkBaner.txt", "http://127.0.0.1/ad-landing\r\n");
        const QByteArray png = PngBytes(300, 50);
        server.serve("/banner.png", png.toStdString(), 200, "image/png");

        Main mainForm(Hosts(server, server));
        FormWindow& main = FormWindow::Of(mainForm);
        bool seenWhileWaiting = false;
        QTimer::singleShot(300, [&] {
            seenWhileWaiting = main.isVisible();
            QCOMPARE(main.text("LDATA"),
                     QString::fromStdU16String(ShamsiDate(Today(), StyleWeekdayMonthName)));
            QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(main.text("lblTime")).hasMatch());
            QCOMPARE(main.text("AdminPM"), QString());
            QCOMPARE(server.requests().size(), size_t(1));
            released = true;
        });
        main.Show();
        QVERIFY(seenWhileWaiting);
        QVERIFY(main.isVisible());

        QStringList paths;
        for (const ReceivedRequest& request : server.requests())
            paths << QString::fromLatin1(request.path);
        QCOMPARE(paths, (QStringList{"/document/AdminPm.txt", "/document/ADSBaner.txt",
                                     "/document/LinkBaner.txt", "/banner.png"}));

        QCOMPARE(main.text("AdminPM"), kPersianMessage);
        QCOMPARE(main.text("addressPicbanerr"), Url(server, "/banner.png") + "\r\n");
        QCOMPARE(main.text("addressbanerr"), QStringLiteral("http://127.0.0.1/ad-landing\r\n"));
        // The banner takes its picture's size, from the banner's own corner.
        QCOMPARE(main.image("baner")->picture().size(), QSize(300, 50));
        QCOMPARE(main.image("baner")->geometry(), QRect(8, 80, 300, 50));
        // Hidden boxes stay hidden whatever they hold.
        QVERIFY(!main.control("addressPicbanerr")->isVisible());
        QVERIFY(!main.control("addressbanerr")->isVisible());
        QCOMPARE(main.label("lblTime")->readingOrder(), Qt::RightToLeft);
    }

    // During a slow search the clock goes on; a press on go-to-site meanwhile waits for the
    // search and then opens the address it found.
    void inputDuringASearchIsHandledAfterIt() {
        TestServer server;
        std::atomic<bool> released{false};
        server.handle("/ads/link.txt", [&](const httplib::Request&, httplib::Response& response) {
            while (!released && !server.stopping())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            response.set_content("http://127.0.0.1/found\r\n", "text/plain");
        });
        RecordingOpener opener;
        QVERIFY(opener.isValid());
        Main mainForm(Hosts(server, server));
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));

        QString clockEarly, clockLate;
        bool boxShown = false;
        QTimer::singleShot(0, [&] { Click(main, CentreOf(main, "Image1")); });
        QTimer::singleShot(200, [&] {
            clockEarly = main.text("lblTime");
            Click(main, CentreOf(main, "Image2"));
            // Had the press been handled now, the address would still be empty: a message box.
            OnNextMessageBox([](QMessageBox*) {}, &boxShown);
        });
        QTimer::singleShot(1400, [&] {
            clockLate = main.text("lblTime");
            QCOMPARE(opener.calls().size(), 0);
            released = true;
        });
        QTRY_COMPARE_WITH_TIMEOUT(opener.calls().size(), 1, 5000);
        QCOMPARE(opener.calls().at(0).arguments, QList<QByteArray>{"http://127.0.0.1/found\r\n"});
        QVERIFY(!boxShown);
        QVERIFY(!clockEarly.isEmpty());
        QVERIFY2(clockLate != clockEarly, qPrintable(clockEarly + " " + clockLate));
        QCOMPARE(main.text("NAS"), QStringLiteral("http://127.0.0.1/found\r\n"));
    }

    // Presses made while the start-up files are on their way are all handled after them, in
    // their order: the search, then go-to-site with the address it found.
    void pressesDuringTheStartupAreAllHandled() {
        TestServer content, links;
        for (const char* file : {"/document/AdminPm.txt", "/document/ADSBaner.txt", "/document/LinkBaner.txt"})
            content.handle(file, [](const httplib::Request&, httplib::Response& response) {
                std::this_thread::sleep_for(std::chrono::milliseconds(400));
                response.set_content("", "text/plain");
            });
        links.serve("/ads/link.txt", "http://127.0.0.1/found\r\n");
        RecordingOpener opener;
        QVERIFY(opener.isValid());
        Main mainForm(Hosts(content, links));
        FormWindow& main = FormWindow::Of(mainForm);
        bool boxShown = false;
        QTimer::singleShot(300, [&] { Click(main, CentreOf(main, "Image1")); });
        QTimer::singleShot(600, [&] {
            Click(main, CentreOf(main, "Image2"));
            OnNextMessageBox([](QMessageBox*) {}, &boxShown);
        });
        main.Show();
        QTRY_COMPARE_WITH_TIMEOUT(opener.calls().size(), 1, 5000);
        QCOMPARE(opener.calls().at(0).arguments, QList<QByteArray>{"http://127.0.0.1/found\r\n"});
        QCOMPARE(links.requests().size(), size_t(1));
        QVERIFY(!boxShown);
    }

    void startupWithoutNetworkStillShowsTheWindow() {
        RecordingOpener opener;
        QVERIFY(opener.isValid());
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QVERIFY(main.isVisible());
        QCOMPARE(main.text("AdminPM"), QString());
        QCOMPARE(main.text("addressPicbanerr"), QString());
        QVERIFY(main.image("baner")->picture().isNull());
        QVERIFY(!main.text("LDATA").isEmpty());
        QTRY_VERIFY(!main.text("lblTime").isEmpty());

        // The banner hands its empty link on; an empty target opens nothing.
        Click(main, CentreOf(main, "baner"));
        bool boxSeen = false;
        OnNextMessageBox([](QMessageBox*) {}, &boxSeen);
        Click(main, CentreOf(main, "Image2"));
        QVERIFY(boxSeen);
        QTest::qWait(200);
        QCOMPARE(opener.calls().size(), 0);
    }

    void goToSiteBeforeAnySearchShowsTheMessage() {
        RecordingOpener opener;
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        bool seen = false;
        OnNextMessageBox([](QMessageBox* box) {
            // لطفا براي رفتن به سايت گزينه جستجو را کليک کنيد
            const QString message = QStringLiteral(
                u"\u0644\u0637\u0641\u0627 \u0628\u0631\u0627\u064A \u0631\u0641\u062A\u0646 "
                u"\u0628\u0647 \u0633\u0627\u064A\u062A \u06AF\u0632\u064A\u0646\u0647 "
                u"\u062C\u0633\u062A\u062C\u0648 \u0631\u0627 \u06A9\u0644\u064A\u06A9 "
                u"\u06A9\u0646\u064A\u062F");
            QCOMPARE(message.size(), 47);
            QCOMPARE(box->text(), message);
            QCOMPARE(box->windowTitle(), QStringLiteral(u"\u062E\u0637\u0627"));
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->buttons().size(), 1);
            QVERIFY(box->button(QMessageBox::Ok));
            auto* label = box->findChild<QLabel*>("qt_msgbox_label");
            QVERIFY(label);
            QCOMPARE(label->layoutDirection(), Qt::RightToLeft);
            QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft | Qt::AlignAbsolute);
            QCOMPARE(box->layoutDirection(), Qt::LeftToRight);
        }, &seen);
        Click(main, CentreOf(main, "Image2"));
        QVERIFY(seen);
        QTest::qWait(200);
        QCOMPARE(opener.calls().size(), 0);
    }

    // A picture larger than the banner's place (here a transparent one) is cut to that place: it
    // neither covers the buttons nor takes their clicks.
    void anOversizedBannerStaysInItsPlace() {
        RecordingOpener opener;
        TestServer content, links;
        QImage clear(5600, 5600, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        clear.save(&buffer, "PNG");
        content.serve("/banner.png", png.toStdString(), 200, "image/png");
        content.serve("/document/ADSBaner.txt", content.url("/banner.png") + "\r\n");
        content.serve("/document/LinkBaner.txt", "http://127.0.0.1/ad\r\n");
        links.serve("/ads/link.txt", "http://127.0.0.1/site/\r\n");
        Main mainForm(Hosts(content, links));
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QCOMPARE(main.image("baner")->geometry(), QRect(8, 80, 460, 68));
        Click(main, CentreOf(main, "Image1"));
        QCOMPARE(links.requests().size(), 1);
        QCOMPARE(main.text("NAS"), QStringLiteral("http://127.0.0.1/site/\r\n"));
        QTest::qWait(100);
        QCOMPARE(opener.calls().size(), 0);
    }

    void searchThenGoToSiteOpensTheAddressUnchanged() {
        RecordingOpener opener;
        TestServer content, links;
        content.serve("/document/LinkBaner.txt", "https://ads.example/offer\r\n");
        links.serve("/ads/link.txt", "http://127.0.0.1:8080/site/\r\n");
        Main mainForm(Hosts(content, links));
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));

        // The caption lies under its button: a click on the word is the button's.
        Click(main, CentreOf(main, "lBlFind"));
        QCOMPARE(main.text("NAS"), QStringLiteral("http://127.0.0.1:8080/site/\r\n"));
        QCOMPARE(links.requests().size(), 1);
        QCOMPARE(links.requests().front().path, "/ads/link.txt");

        Click(main, CentreOf(main, "Image2"));
        QTRY_COMPARE(opener.calls().size(), 1);
        QCOMPARE(opener.calls().at(0).arguments, QList<QByteArray>{"http://127.0.0.1:8080/site/\r\n"});

        Click(main, CentreOf(main, "baner"));
        QTRY_COMPARE(opener.calls().size(), 2);
        QCOMPARE(opener.calls().at(1).arguments, QList<QByteArray>{"https://ads.example/offer\r\n"});
    }

    void mirrorsStandInForBlockedServers() {
        TestServer blocked, content, links;
        blocked.serve("/ads/link.txt", "<html>blocked</html>");  // 200, but no address
        content.serve("/document/AdminPm.txt", "salam");
        links.serve("/ads/link.txt", "http://127.0.0.1/site\r\n");
        const std::u16string dead = Offline().content;
        Main mainForm({dead + u";" + content.hostPort16(),
                       dead + u";http://" + blocked.hostPort16() + u";" + links.hostPort16()});
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QTRY_COMPARE(main.text("AdminPM"), QStringLiteral("salam"));

        Click(main, CentreOf(main, "Image1"));
        QTRY_COMPARE(main.text("NAS"), QStringLiteral("http://127.0.0.1/site\r\n"));
        QCOMPARE(blocked.requests().size(), 1);
    }

    void aFailedSearchEmptiesTheAddress() {
        auto links = std::make_unique<TestServer>();
        links->serve("/ads/link.txt", "   ");
        Main mainForm({Offline().content, links->hostPort16()});
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        Click(main, CentreOf(main, "Image1"));
        QCOMPARE(main.text("NAS"), QStringLiteral("   "));  // blanks are an address too
        links.reset();
        Click(main, CentreOf(main, "Image1"));
        QCOMPARE(main.text("NAS"), QString());
    }

    void hoverTurnsCaptionsBoldUntilTheBareSurface() {
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const char* captions[] = {"lBlFind", "Site", "Contac", "About"};
        for (const char* caption : captions)
            QVERIFY(!Bold(main, caption));

        const QPoint bare(690, 10);
        QCOMPARE(main.childAt(bare), nullptr);
        // The pointer comes in over the bare surface, as it does on a desktop.
        MoveTo(main, bare);
        MoveTo(main, CentreOf(main, "Image1"));
        QVERIFY(Bold(main, "lBlFind"));
        // Straight onto the next button: both stay bold.
        MoveTo(main, CentreOf(main, "Image2"));
        QVERIFY(Bold(main, "lBlFind") && Bold(main, "Site"));
        MoveTo(main, CentreOf(main, "Image3"));
        MoveTo(main, CentreOf(main, "Image4"));
        for (const char* caption : captions)
            QVERIFY(Bold(main, caption));
        // Labels and text boxes keep their moves; only the bare surface clears the captions.
        MoveTo(main, CentreOf(main, "Label3"));
        MoveTo(main, CentreOf(main, "AdminPM"));
        MoveTo(main, CentreOf(main, "NAS"));
        for (const char* caption : captions)
            QVERIFY(Bold(main, caption));
        MoveTo(main, bare);
        for (const char* caption : captions)
            QVERIFY(!Bold(main, caption));

        // A bold caption widens to the right; its text starts where it did.
        const QRect normal = main.label("lBlFind")->textLine();
        MoveTo(main, CentreOf(main, "Image1"));
        const QRect bold = main.label("lBlFind")->textLine();
        QCOMPARE(bold.left(), normal.left());
        QVERIFY(bold.width() >= normal.width());
    }

    void layoutPlacesEveryControl_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        QTest::addColumn<bool>("sizedByContent");
        // Pixel rectangles at 96 dots per inch, as the layout was drawn.
        const struct { const char* name; int l, t, w, h; bool content; } rows[] = {
            {"Command1", 208, 408, 241, 25, false}, {"addressPicbanerr", 120, 56, 89, 19, false},
            {"addressbanerr", 16, 56, 89, 19, false}, {"NAS", 23, 320, 457, 21, false},
            {"AdminPM", 24, 195, 457, 65, false},    {"baner", 8, 80, 460, 68, false},
            {"Image4", 64, 360, 97, 33, false},      {"Image3", 176, 360, 97, 33, false},
            {"Image2", 280, 360, 97, 33, false},     {"Image1", 384, 360, 97, 33, false},
            {"About", 64, 368, 61, 13, true},        {"Contac", 180, 368, 56, 13, true},
            {"Site", 285, 368, 63, 13, true},        {"lBlFind", 412, 368, 35, 13, true},
            {"LDATA", 472, 272, 134, 13, false},     {"lblTime", 496, 240, 102, 13, false},
            {"Label5", 612, 272, 32, 13, true},      {"Label4", 604, 240, 40, 13, true},
            {"Label3", 331, 289, 114, 13, true},     {"Label2", 392, 169, 51, 13, true},
            {"Label1", 400, 56, 36, 13, true},
        };
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString::fromLatin1(r.name) << QRect(r.l, r.t, r.w, r.h) << r.content;
    }
    void layoutPlacesEveryControl() {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        QFETCH(bool, sizedByContent);
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Load();
        // A label's anchors are those of its text's line; the label itself grows to hold its ink.
        if (const LabelControl* label = main.label(name.toStdString())) {
            const QRect line = label->textLine();
            QCOMPARE(line.top(), pixels.top());
            if (label->text().isEmpty())
                return;
            const bool rightAnchored = name == "LDATA" || name == "lblTime";
            if (rightAnchored)
                QCOMPARE(line.right(), pixels.right());
            else
                QCOMPARE(line.left(), pixels.left());
            QVERIFY(label->geometry().contains(line));
            if (!sizedByContent)
                QVERIFY(label->geometry().contains(pixels));
            return;
        }
        const QRect placed = main.control(name.toStdString())->geometry();
        QCOMPARE(placed.topLeft(), pixels.topLeft());
        if (!sizedByContent)
            QCOMPARE(placed.size(), pixels.size());
    }

    void windowFrameAndStacking() {
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QCOMPARE(main.windowTitle(), QStringLiteral("Linkvane v1.4"));
        QCOMPARE(main.size(), QSize(699, 399));
        QVERIFY(!(main.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(main.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!main.windowIcon().isNull());
        QTRY_COMPARE(QApplication::focusWidget(), main.control("AdminPM"));
        // Command1 lies below the client area until the window is enlarged; it does nothing.
        QVERIFY(!main.rect().intersects(main.control("Command1")->geometry()));
        main.resize(800, 500);
        QVERIFY(main.rect().contains(main.control("Command1")->geometry()));
        Click(main, CentreOf(main, "Command1"));
        QCOMPARE(main.control("Command1")->geometry().topLeft(), QPoint(208, 408));
        // Buttons lie above their captions, and the focus starts in the message box.
        QCOMPARE(main.childAt(CentreOf(main, "Contac")), main.control("Image3"));
        QCOMPARE(main.childAt(CentreOf(main, "Label1")), main.label("Label1"));
    }

    void captionsAreTheExactCodePoints() {
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Load();
        QCOMPARE(CodePoints(main.text("lBlFind")), QStringLiteral("062C 0633 062A 062C 0648"));
        QCOMPARE(CodePoints(main.text("Site")), QStringLiteral("0631 0641 062A 0646 0020 0628 0647 0020 0633 0627 064A 062A"));
        QCOMPARE(CodePoints(main.text("Contac")), QStringLiteral("0627 0631 062A 0628 0627 0637 0020 0628 0627 0020 0645 062F 064A 0631"));
        QCOMPARE(CodePoints(main.text("About")), QStringLiteral("0633 0627 0632 0646 062F 0647 0020 0628 0631 0646 0627 0645 0647"));
        QCOMPARE(CodePoints(main.text("Label5")), QStringLiteral("003A 0020 062A 0627 0631 064A 062E"));
        QCOMPARE(CodePoints(main.text("Label4")), QStringLiteral("003A 0020 0633 0627 0639 062A"));
        QCOMPARE(CodePoints(main.text("Label3")), QStringLiteral("062C 062F 064A 062F 062A 0631 064A 0646 0020 0627 062F 0631 0633 0020 0633 0627 064A 062A"));
        QCOMPARE(CodePoints(main.text("Label2")), QStringLiteral("067E 064A 063A 0627 0645 0020 0645 062F 064A 0631"));
        QCOMPARE(CodePoints(main.text("Label1")), QStringLiteral("062A 0628 0644 064A 063A 0627 062A"));
        QCOMPARE(CodePoints(main.control("baner")->toolTip()),
                 QStringLiteral("0021 062A 0628 0644 064A 063A 0627 062A 0020 0634 0645 0627 0020 062F 0631 0020 0642 0633 0645 062A 0021"));
        QCOMPARE(main.control("Image1")->toolTip(), main.text("lBlFind"));
        QCOMPARE(main.control("Image4")->toolTip(), main.text("About"));
        // Labels read left to right: the colon of a heading stays at its left end.
        QCOMPARE(main.label("Label5")->readingOrder(), Qt::LeftToRight);
        QVERIFY(main.label("Label5")->isBold());
        QVERIFY(!main.label("About")->isBold());
    }

    // A screen reader announces each image button and the banner by its tooltip and can press
    // it; captions read as text, the clock as its current time.
    void screenReaderAnnouncesAndPressesTheButtons() {
        RecordingOpener opener;
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        for (const char* button : {"Image1", "Image2", "Image3", "Image4", "baner"}) {
            QAccessibleInterface* announced = QAccessible::queryAccessibleInterface(main.control(button));
            QVERIFY2(announced, button);
            QCOMPARE(announced->role(), QAccessible::Button);
            QVERIFY2(!announced->text(QAccessible::Name).isEmpty(), button);
            QCOMPARE(announced->text(QAccessible::Name), main.control(button)->toolTip());
            QVERIFY(announced->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        }
        QAccessibleInterface* caption = QAccessible::queryAccessibleInterface(main.control("Contac"));
        QCOMPARE(caption->role(), QAccessible::StaticText);
        QCOMPARE(CodePoints(caption->text(QAccessible::Name)), CodePoints(main.text("Contac")));
        QVERIFY(!caption->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        QAccessibleInterface* clock = QAccessible::queryAccessibleInterface(main.control("lblTime"));
        const QString before = main.text("lblTime");
        QTRY_VERIFY_WITH_TIMEOUT(main.text("lblTime") != before, 2500);
        QCOMPARE(clock->text(QAccessible::Name), main.text("lblTime"));

        // Pressing go-to-site through the reader does what a click does.
        bool seen = false;
        OnNextMessageBox([](QMessageBox*) {}, &seen);
        QAccessible::queryAccessibleInterface(main.control("Image2"))
            ->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(seen);
    }

    void handCursorComesFromTheCursorFile() {
        QFile file(QStringLiteral(":/resources/hand.cur"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), 326);
        QCursor decoded;
        QVERIFY(DecodeCursorFile(bytes, decoded));
        QCOMPARE(decoded.hotSpot(), QPoint(5, 0));
        QCOMPARE(decoded.pixmap().size(), QSize(32, 32));
        // The finger tip is drawn, the corner is see-through.
        const QImage picture = decoded.pixmap().toImage();
        QVERIFY(qAlpha(picture.pixel(5, 0)) == 255 || qAlpha(picture.pixel(5, 1)) == 255);
        QCOMPARE(qAlpha(picture.pixel(31, 0)), 0);
        QCOMPARE(HandCursor().hotSpot(), QPoint(5, 0));
        // Anything that is not a whole two-colour cursor file is refused.
        QCursor untouched;
        QVERIFY(!DecodeCursorFile(bytes.left(300), untouched));
        QVERIFY(!DecodeCursorFile(QByteArray(326, '\0'), untouched));
        QVERIFY(!DecodeCursorFile(QByteArray(), untouched));
        QByteArray farOffset = bytes;
        farOffset[18] = char(0xFF);  // the picture would lie past the end of the file
        QVERIFY(!DecodeCursorFile(farOffset, untouched));
    }

    void clockTextIs24HourWithLeadingZeros() {
        QVERIFY(ClockText(9, 5, 30) == u"09:05:30");
        QVERIFY(ClockText(21, 47, 2) == u"21:47:02");
        QVERIFY(ClockText(0, 0, 0) == u"00:00:00");
        QVERIFY(ClockText(23, 59, 59) == u"23:59:59");
    }

    // Tab never types into a text box: it moves along the tab order from every control, the
    // message box included, and the hidden boxes are skipped.
    void tabMovesTheFocusAlongTheTabOrder() {
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QTRY_COMPARE(QApplication::focusWidget(), main.control("AdminPM"));
        const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
        };
        QCOMPARE(press(Qt::Key_Tab), QStringLiteral("NAS"));
        QCOMPARE(press(Qt::Key_Tab), QStringLiteral("Command1"));
        QCOMPARE(press(Qt::Key_Tab), QStringLiteral("AdminPM"));
        QCOMPARE(press(Qt::Key_Backtab, Qt::ShiftModifier), QStringLiteral("Command1"));
        QCOMPARE(press(Qt::Key_Tab), QStringLiteral("AdminPM"));
        QCOMPARE(press(Qt::Key_Tab, Qt::ControlModifier), QStringLiteral("NAS"));
        QCOMPARE(press(Qt::Key_Tab, Qt::ShiftModifier | Qt::ControlModifier), QStringLiteral("AdminPM"));
        QCOMPARE(main.text("AdminPM"), QString());
        QCOMPARE(main.text("NAS"), QString());
    }

    // The second press of a double-click is a double-click, which no control handles; three quick
    // presses act twice.
    void aDoubleClickActsOnce() {
        RecordingOpener opener;
        TestServer content, links;
        content.serve("/document/LinkBaner.txt", "http://127.0.0.1/ad\r\n");
        links.serve("/ads/link.txt", "http://127.0.0.1/site/\r\n");
        Main mainForm(Hosts(content, links));
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QTest::mouseDClick(main.windowHandle(), Qt::LeftButton, {}, CentreOf(main, "Image1"));
        QCOMPARE(links.requests().size(), 1);
        QTest::mouseDClick(main.windowHandle(), Qt::LeftButton, {}, CentreOf(main, "baner"));
        QTRY_COMPARE(opener.calls().size(), 1);
        QTest::qWait(200);
        QCOMPARE(opener.calls().size(), 1);
        // A third press right after the double-click is a press again.
        const QPoint search = CentreOf(main, "Image1");
        QTest::mouseDClick(main.windowHandle(), Qt::LeftButton, {}, search);
        QTest::mousePress(main.windowHandle(), Qt::LeftButton, {}, search, 1);
        QTest::mouseRelease(main.windowHandle(), Qt::LeftButton, {}, search, 1);
        QCOMPARE(links.requests().size(), 3);
    }

    // The middle of the whole window, frame included, is the middle of the screen.
    void theWindowIsCentredWithItsFrame() {
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        const QRect screen = main.screen()->availableGeometry();
        const QRect frame = main.frameGeometry();
        QVERIFY(frame != main.geometry());  // this platform draws a frame
        const QPoint offCentre = frame.center() - screen.center();
        QVERIFY2(std::abs(offCentre.x()) <= 1 && std::abs(offCentre.y()) <= 1,
                 qPrintable(QStringLiteral("frame %1,%2 %3x%4 on %5x%6").arg(frame.x()).arg(frame.y())
                                .arg(frame.width()).arg(frame.height()).arg(screen.width()).arg(screen.height())));
    }

    // Without a display the program says so in one plain line and exits with status 1; Qt's own
    // options on the command line (here one that would choose a platform) change nothing.
    void withoutADisplayTheProgramSaysSoAndEnds() {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(LINKVANE_PROGRAM), {QStringLiteral("-platform"), QStringLiteral("offscreen")});
        QVERIFY(program.waitForStarted());
        if (!program.waitForFinished(15000)) {
            program.kill();
            program.waitForFinished();
            QFAIL("the program did not end without a display");
        }
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(QString::fromLocal8Bit(program.readAllStandardError()),
                 QString::fromLatin1(kNeedsGraphicalDesktop) + "\n");
    }

    // The clock wakes once a second, just after the second turns, and shows the new second.
    void theClockTicksJustAfterEachSecondBoundary() {
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        auto* clock = main.findChild<QTimer*>("LTime");
        QVERIFY(clock);
        QList<QTime> firings;
        QStringList shown;
        connect(clock, &QTimer::timeout, this, [&] {
            firings << QTime::currentTime();
            // Queued: the handler runs after this slot, within the same firing.
            QTimer::singleShot(0, [&] { shown << main.text("lblTime"); });
        });
        QTest::qWait(3200);
        // Today's 1 ms timer fired about 3000 times here.
        QVERIFY2(firings.size() <= 4, qPrintable(QString::number(firings.size())));
        qsizetype onTime = 0;
        for (qsizetype i = 0; i < firings.size(); ++i) {
            QCOMPARE(shown.value(i), firings[i].toString("hh:mm:ss"));
            onTime += firings[i].msec() <= 20;
        }
        if (Untimed())
            return;
        // A loaded machine may make one firing late, never most of them.
        QVERIFY2(firings.size() >= 3 && onTime >= firings.size() - 1,
                 qPrintable(QStringLiteral("%1 firings, %2 on time").arg(firings.size()).arg(onTime)));
    }

    // Whatever a message holds within the text limit (one enormous line, a letter under a
    // megabyte of combining marks), the window takes it at once, is idle again within a second
    // and still closes promptly.
    void aHostileMessageCannotHoldTheWindow_data() {
        QTest::addColumn<QByteArray>("body");
        const int limit = int(CurrentFetchLimits().textBytes);
        QByteArray marks(limit, '\xF0');  // Windows-1256 F0-FA: Arabic combining marks
        for (int i = 0; i < marks.size(); ++i)
            marks[i] = char(0xF0 + i % 11);
        marks[0] = '\xC8';  // one letter under them all
        QTest::newRow("combining marks") << marks;
        QByteArray letters(limit, '\xC8');
        for (int i = 7; i < letters.size(); i += 8)
            letters[i] = ' ';
        QTest::newRow("one line of words") << letters;
        QTest::newRow("one unbroken word") << QByteArray(limit, '\xE3');
    }
    void aHostileMessageCannotHoldTheWindow() {
        QFETCH(QByteArray, body);
        EndableDesktop endable;
        TestServer server;
        for (const char* path : {"/document/AdminPm.txt", "/document/ADSBaner.txt",
                                 "/document/LinkBaner.txt", "/ads/link.txt"})
            server.serve(path, body.toStdString());
        Main mainForm(Hosts(server, server));
        FormWindow& main = FormWindow::Of(mainForm);
        QElapsedTimer shown;
        shown.start();
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        // Marks past the shapeable limit are left out; nothing else is.
        const qsizetype shownSize = qsizetype(ShapeableText(FromAnsi(body.toStdString())).size());
        QCOMPARE(main.text("AdminPM").size(), shownSize);
        QCOMPARE(main.text("addressbanerr").size(), shownSize);
        Click(main, CentreOf(main, "Image1"));  // a search: the address box takes it too
        QCOMPARE(main.text("NAS").size(), shownSize);
        main.repaint();
        const qint64 showMs = shown.elapsed();

        QTest::qWait(1000);  // settles
        const double cpu = CpuPercentOver(1000);
        QElapsedTimer closing;
        closing.start();
        QCOMPARE(RunProgramLoopAfter([&] { main.close(); }), 0);
        const qint64 closeMs = closing.elapsed();
        qInfo("shown in %lld ms, then %.1f %% of a core, unloaded in %lld ms", showMs, cpu, closeMs);
        if (Untimed())
            return;
        QVERIFY2(showMs < 1500, qPrintable(QString::number(showMs)));
        QVERIFY2(cpu < 5, qPrintable(QString::number(cpu)));
        QVERIFY2(closeMs < 500, qPrintable(QString::number(closeMs)));
    }

    void closingEndsTheProgramWithItsWindows() {
        EndableDesktop endable;
        Main mainForm(Offline());
        FormWindow& main = FormWindow::Of(mainForm);
        main.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QWidget other;
        other.show();
        QCOMPARE(RunProgramLoopAfter([&] { main.close(); }), 0);
        QVERIFY(!main.isVisible());
        QVERIFY(!other.isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
