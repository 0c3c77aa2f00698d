#include "net/baner.h"
#include "net/codepage.h"
#include "net/limits.h"
#include "app/Shell.h"
#include "qt/Desktop.h"
#include "qt/Picture.h"
#include "tests/qt/windowtest.h"
#include "tests/support/recordingopener.h"

#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>

#include <algorithm>
#include <cerrno>

using namespace linkvane;

namespace {

// A 4 x 3 two-colour GIF (Qt can read GIF but not write it).
const QByteArray kGif = QByteArray::fromHex(
    "47494638396104000300800000ff00000000ff2c000000000400030000020844183020428049"
    "01003b");

// The size of the picture decoded from `source`, where {server} stands for a test server holding
// pictures good and bad, and {dir} for a folder of files; an invalid size when there is none.
QSize DecodedSize(QString source) {
    ScopedFetchLimits quick(QuickLimits());
    TestServer server;
    server.serve("/banner.jpg", Encoded("JPG"), 200, "image/jpeg");
    server.serve("/banner.gif", kGif.toStdString(), 200, "image/gif");
    server.serve("/banner.png", Encoded("PNG"), 200, "image/png");
    server.serve("/gone", "<html>not found</html>", 404, "text/html");
    server.serve("/gone-but-gif", kGif.toStdString(), 404, "image/gif");
    server.serve("/text", "this is not a picture");
    server.stall("/stalls-midway", Encoded("JPG").substr(0, 100));
    server.serve("/huge", Encoded("BMP") + std::string(8 << 20, '\0'), 200, "image/bmp");
    // A format Qt reads whose size we do not read first: never guessed at.
    server.serve("/banner.ppm", "P6\n2 1\n255\n\xFF\x10\x10\x10\xFF\x10", 200, "image/x-portable-pixmap");
    QTemporaryDir dir;
    for (const auto& [name, bytes] : {std::pair{"banner.bmp", Encoded("BMP")}, {"text.gif", "GIF? no"}}) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
            qFatal("cannot write %s", name);
    }
    source.replace("{server}", QString::fromStdString(server.url(""))).replace("{dir}", dir.path());
    const QPixmap picture = DecodePicture(LoadBanerPicture(source.toStdU16String()));
    return picture.isNull() ? QSize() : picture.size();
}

}  // namespace

class QtDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallQtDesktop(); }

    // Our own table against ICU's Windows-1256, for every byte value and back.
    void codePageTableMatchesIcu() {
        QStringDecoder decoder("windows-1256");
        QVERIFY(decoder.isValid());
        for (int value = 0; value < 256; ++value) {
            const QByteArray byte(1, char(value));
            const QString icu = decoder.decode(byte);
            QCOMPARE(QString::fromStdU16String(FromAnsi(byte.toStdString())), icu);
            QCOMPARE(QByteArray::fromStdString(ToAnsi(icu.toStdU16String())), byte);
        }
    }

    void bannerPicture_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QSize>("size");
        QTest::addRow("JPEG by URL") << "{server}/banner.jpg" << QSize(8, 6);
        QTest::addRow("GIF by URL") << "{server}/banner.gif" << QSize(4, 3);
        QTest::addRow("PNG by URL") << "{server}/banner.png" << QSize(8, 6);
        QTest::addRow("URL with blanks around") << " \t{server}/banner.jpg \n" << QSize(8, 6);
        QTest::addRow("BMP by path") << "{dir}/banner.bmp" << QSize(8, 6);
        QTest::addRow("empty") << QString() << QSize();
        QTest::addRow("error page") << "{server}/gone" << QSize();
        QTest::addRow("picture sent with an error status") << "{server}/gone-but-gif" << QSize();
        QTest::addRow("not a picture by URL") << "{server}/text" << QSize();
        QTest::addRow("broken download") << "{server}/stalls-midway" << QSize();
        QTest::addRow("over the size limit") << "{server}/huge" << QSize();
        QTest::addRow("another format") << "{server}/banner.ppm" << QSize();
        QTest::addRow("not a picture by path") << "{dir}/text.gif" << QSize();
        QTest::addRow("device") << QStringLiteral("/dev/zero") << QSize();
    }
    void bannerPicture() {
        QFETCH(QString, source);
        QFETCH(QSize, size);
        QCOMPARE(DecodedSize(source), size);
    }

    // Any letter case, Persian kept, missing characters as "?", quotes and blanks unable to pass options.
    void webTargetReachesTheOpenerAsOneUrl() {
        RecordingOpener opener;
        ShellOpen(nullptr, u"HTTPS://127.0.0.1:47830/\u067E\u06AF\u4E2D\U0001F600x\" --evil \"y z");
        QTRY_COMPARE(opener.calls().size(), 1);
        QCOMPARE(opener.calls().constFirst(),  // from /: the e2e driver's
                 QList<QByteArray>{"HTTPS://127.0.0.1:47830/\xD9\xBE\xDA\xAF??x%22%20--evil%20%22y%20z"});
    }

    // A command line is split at its first blank only; the started programs leave no child.
    void shellRunSplitsOffTheFirstWordAndLeavesNoChild() {
        RecordingOpener opener;
        for (const char16_t* command : {u"xdg-open ymsgr:sendim?support.id", u"xdg-open  two  spaces ",
                                        u"xdg-open", u"", u"linkvane-no-such-program ymsgr:sendim?x"})
            ShellRun(command, 3);
        QTRY_COMPARE(opener.calls().size(), 3);
        QList<QList<QByteArray>> arguments = opener.calls();
        std::sort(arguments.begin(), arguments.end());  // the three may end in any order
        QCOMPARE(arguments, (QList<QList<QByteArray>>{{}, {" two  spaces "}, {"ymsgr:sendim?support.id"}}));
        // Neither a child to wait for nor a zombie: the starts were detached and reaped.
        QCOMPARE(waitpid(-1, nullptr, WNOHANG), -1);
        QCOMPARE(errno, ECHILD);
    }
};

QTEST_MAIN(QtDesktopTest)
#include "tst_qtdesktop.moc"
