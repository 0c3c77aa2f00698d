#include "app/Config.h"
#include "app/Main.h"
#include "net/codepage.h"
#include "qt/Desktop.h"
#include "qt/FormWindow.h"
#include "tests/qt/windowtest.h"
#include "tests/support/recordingopener.h"
#include "tests/support/testserver.h"
#include "app/AdminSupport.h"
#include "app/Softwaremanufacturer.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QTimer>

using namespace linkvane;

namespace {

// The secondary window open right now, if any.
FormWindow* OpenSecondaryWindow(const char* name) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String(name) && window->isVisible())
            return qobject_cast<FormWindow*>(window);
    }
    return nullptr;
}

// Acts inside the modal display that the next click starts. `act` should close the window;
// `acted` is set only when it did. A window left open (a failed check) is unloaded so the test
// goes on instead of waiting in the modal display.
void WhenOpen(const char* name, std::function<void(FormWindow&)> act, bool* acted) {
    QTimer::singleShot(50, [=] {
        FormWindow* window = nullptr;
        QTRY_VERIFY((window = OpenSecondaryWindow(name)) != nullptr);
        act(*window);
        *acted = !OpenSecondaryWindow(name);
        if (!*acted)
            window->Unload();
    });
}

}  // namespace

class WindowsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallQtDesktop(); }

    void supportWindowIsModalKeepsTheClockAndStartsTheMessenger() {
        RecordingOpener opener;
        QVERIFY(opener.isValid());
        TestServer links;
        links.serve("/ads/link.txt", "http://127.0.0.1/site/");
        Main mainForm({Offline().content, links.hostPort16()});
        FormWindow& main = Shown(mainForm);

        bool acted = false;
        WhenOpen("AdminSupport", [&](FormWindow& support) {
            QVERIFY(QTest::qWaitForWindowExposed(&support));
            QCOMPARE(support.windowModality(), Qt::ApplicationModal);
            QVERIFY(!(support.windowFlags() & Qt::WindowCloseButtonHint));
            QCOMPARE(support.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
            QCOMPARE(support.parentWidget(), nullptr);

            // The main window takes no input but its clock goes on.
            Click(main, CentreOf(main, "Image1"));
            QCOMPARE(links.requests().size(), 0);
            const QString before = main.text("lblTime");
            QTRY_VERIFY_WITH_TIMEOUT(main.text("lblTime") != before, 2500);

            // Hover: the back button's caption is bold until the bare surface.
            MoveTo(support, QPoint(20, 20));
            MoveTo(support, CentreOf(support, "Image1"));
            QVERIFY(support.label("lblback")->isBold());
            MoveTo(support, CentreOf(support, "Label4"));
            QVERIFY(support.label("lblback")->isBold());
            MoveTo(support, QPoint(20, 20));
            QVERIFY(!support.label("lblback")->isBold());
            MoveTo(support, CentreOf(support, "Image1"));

            // The invitation starts the messenger once per click; the other hand labels do nothing.
            Click(support, CentreOf(support, "Label4"));
            Click(support, CentreOf(support, "Label4"));
            Click(support, CentreOf(support, "Label2"));
            Click(support, CentreOf(support, "Label3"));
            QTRY_COMPARE(opener.calls().size(), 2);
            QVERIFY(support.isVisible());
            // A click on the word lies on the back button above it.
            Click(support, CentreOf(support, "lblback"));
        }, &acted);
        // The press returns only once the window has closed.
        Click(main, CentreOf(main, "Image3"));
        QVERIFY(acted);
        QVERIFY(!OpenSecondaryWindow("AdminSupport"));
        const OpenerCall call = opener.calls().at(0);
        QCOMPARE(call.program, QStringLiteral("xdg-open"));
        QCOMPARE(call.arguments,
                 QList<QByteArray>{QByteArray("ymsgr:sendim?") + LINKVANE_SUPPORT_MESSENGER_ID});

        // The same window object again, built afresh: the caption starts normal.
        FormWindow* first = nullptr;
        acted = false;
        WhenOpen("AdminSupport", [&](FormWindow& support) {
            first = &support;
            QVERIFY(!support.label("lblback")->isBold());
            support.close();  // a close request from the system, as Alt+F4
        }, &acted);
        Click(main, CentreOf(main, "Image3"));
        QVERIFY(acted);
        QVERIFY(!OpenSecondaryWindow("AdminSupport"));
        int supportWindows = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            supportWindows += window->objectName() == QLatin1String("AdminSupport");
        QCOMPARE(supportWindows, 1);
        QVERIFY(first);
        // Input reaches the main window again.
        Click(main, CentreOf(main, "Image1"));
        QCOMPARE(links.requests().size(), 1);
    }

    // The clickable labels read as links and the back button by the caption over it; pressing
    // them through a screen reader does what a click does.
    void screenReaderAnnouncesAndPressesTheLinks() {
        RecordingOpener opener;
        const auto press = [](QWidget* control) {
            QAccessibleInterface* announced = QAccessible::queryAccessibleInterface(control);
            QVERIFY(announced->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
            announced->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        };
        const auto announced = [](FormWindow& window, const char* control) {
            return QAccessible::queryAccessibleInterface(window.control(control));
        };

        AdminSupport supportForm;

        FormWindow& support = Shown(supportForm);
        QCOMPARE(announced(support, "Label4")->role(), QAccessible::Link);
        QCOMPARE(announced(support, "Label4")->text(QAccessible::Name), support.text("Label4"));
        QCOMPARE(announced(support, "Label1")->role(), QAccessible::StaticText);
        QCOMPARE(announced(support, "Image1")->role(), QAccessible::Button);
        QCOMPARE(announced(support, "Image1")->text(QAccessible::Name), support.text("lblback"));
        press(support.control("Label4"));
        QTRY_COMPARE(opener.calls().size(), 1);
        press(support.control("Image1"));
        QTRY_VERIFY(!support.isVisible());

        Softwaremanufacturer makerForm;

        FormWindow& maker = Shown(makerForm);
        QCOMPARE(announced(maker, "Label5")->role(), QAccessible::Link);
        QCOMPARE(announced(maker, "Label5")->text(QAccessible::Name), QStringLiteral(LINKVANE_AUTHOR_USER_NAME));
        QCOMPARE(announced(maker, "Image1")->role(), QAccessible::Button);
        QCOMPARE(announced(maker, "Image1")->text(QAccessible::Name), maker.text("lblback"));
        press(maker.control("Label5"));
        QTRY_COMPARE(opener.calls().size(), 2);
        QCOMPARE(opener.calls().at(1).arguments, QList<QByteArray>{LINKVANE_MAKER_SITE});
    }

    // Values of any width stay left of their captions with the stored gap.
    void valuesKeepTheirGapToTheCaption() {
        Softwaremanufacturer makerForm;
        FormWindow& maker = FormWindow::Of(makerForm);
        maker.Load();
        const auto gap = [&](const char* value, const char* caption) {
            return maker.label(caption)->textLine().left() - (maker.label(value)->textLine().right() + 1);
        };
        QCOMPARE(gap("Label6", "Label7"), 10);  // 3360 - (2760 + 450) twips
        QCOMPARE(gap("Label5", "Label2"), 12);  // 3120 - (2400 + 540)
        QCOMPARE(gap("tell", "Label3"), 16);    // 3600 - (3120 + 240)
        AdminSupport supportForm;
        FormWindow& support = FormWindow::Of(supportForm);
        support.Load();
        QCOMPARE(support.label("Label2")->textLine().right() + 1, 207);  // 3105 twips
        QCOMPARE(support.text("Label2"), QStringLiteral(LINKVANE_SUPPORT_EMAIL));
        QCOMPARE(maker.text("tell"), QStringLiteral("1.4"));
    }

};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
