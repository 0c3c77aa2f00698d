#include "net/baner.h"
#include "net/codepage.h"
#include "net/limits.h"
#include "net/shell.h"
#include "qt/Desktop.h"
#include "qt/Picture.h"
#include "tests/support/recordingopener.h"
#include "tests/support/testserver.h"

#include <QBuffer>
#include <QImage>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <thread>

using namespace linkvane;
using namespace std::chrono_literals;

namespace {

std::string Std(const QByteArray& bytes) { return bytes.toStdString(); }

constexpr qsizetype kMiB = qsizetype(1) << 20;

// A 4 x 3 two-colour GIF (Qt can read GIF but not write it).
const QByteArray kGif = QByteArray::fromHex(
    "47494638396104000300800000ff00000000ff2c000000000400030000020844183020428049"
    "01003b");

QByteArray Encoded(const char* format, QSize size = {8, 6}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

void Put16(QByteArray& bytes, qsizetype at, quint16 value) {
    qToLittleEndian(value, bytes.data() + at);
}

// Pictures whose headers claim a size of gigapixels: decoding them must not try to allocate it.
QByteArray AbsurdGif() {
    QByteArray gif = kGif;
    for (qsizetype at : {6, 8, 24, 26})  // logical screen and image, width and height
        Put16(gif, at, 0xFFFF);
    return gif;
}

QByteArray AbsurdBmp() {
    QByteArray bmp = Encoded("BMP");
    qToLittleEndian<qint32>(1'000'000, bmp.data() + 18);
    qToLittleEndian<qint32>(1'000'000, bmp.data() + 22);
    return bmp;
}

QByteArray AbsurdJpeg() {
    QByteArray jpeg = Encoded("JPG");
    const qsizetype frame = jpeg.indexOf("\xFF\xC0");
    qToBigEndian<quint16>(65000, jpeg.data() + frame + 5);  // height
    qToBigEndian<quint16>(65000, jpeg.data() + frame + 7);  // width
    return jpeg;
}

void WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class QtDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallQtDesktop(); }

    // --- code page --------------------------------------------------------------------------

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

    // --- banner picture -----------------------------------------------------------------------

    // Rows name the test server as {server} and a folder of picture files as {dir}.
    void pictureLoads_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QSize>("size");
        QTest::addRow("JPEG by URL") << "{server}/banner.jpg" << QSize(8, 6);
        QTest::addRow("GIF by URL") << "{server}/banner.gif" << QSize(4, 3);
        QTest::addRow("PNG by URL") << "{server}/banner.png" << QSize(8, 6);
        QTest::addRow("URL with blanks around") << " \t{server}/banner.jpg \n" << QSize(8, 6);
        QTest::addRow("BMP by path") << "{dir}/banner.bmp" << QSize(8, 6);
    }
    void pictureLoads() {
        QFETCH(QString, source);
        QFETCH(QSize, size);
        TestServer server;
        server.serve("/banner.jpg", Std(Encoded("JPG")), 200, "image/jpeg");
        server.serve("/banner.gif", Std(kGif), 200, "image/gif");
        server.serve("/banner.png", Std(Encoded("PNG")), 200, "image/png");
        QTemporaryDir dir;
        WriteFile(dir, "banner.bmp", Encoded("BMP"));
        source.replace("{server}", QString::fromStdString(server.url(""))).replace("{dir}", dir.path());
        QCOMPARE(DecodePicture(LoadBanerPicture(source.toStdU16String())).size(), size);
    }

    void noPicture_data() {
        QTest::addColumn<QString>("source");
        QTest::addRow("empty") << QString();
        QTest::addRow("blanks only") << QStringLiteral(" \r\n");
        QTest::addRow("error page") << "{server}/gone";
        QTest::addRow("picture sent with an error status") << "{server}/gone-but-gif";
        QTest::addRow("not a picture by URL") << "{server}/text";
        QTest::addRow("broken download") << "{server}/stalls-midway";
        QTest::addRow("over the size limit") << "{server}/huge";
        QTest::addRow("absurd GIF size") << "{server}/absurd.gif";
        QTest::addRow("absurd BMP size") << "{server}/absurd.bmp";
        QTest::addRow("absurd JPEG size") << "{server}/absurd.jpg";
        QTest::addRow("dead port") << QStringLiteral("http://127.0.0.1:%1/b.gif").arg(DeadPort());
        QTest::addRow("not a picture by path") << "{dir}/text.gif";
        QTest::addRow("device") << QStringLiteral("/dev/zero");
    }
    void noPicture() {
        QFETCH(QString, source);
        ScopedFetchLimits quick(QuickLimits());
        TestServer server;
        server.serve("/gone", Std("<html>not found</html>"), 404, "text/html");
        server.serve("/gone-but-gif", Std(kGif), 404, "image/gif");
        server.serve("/text", Std("this is not a picture"));
        server.stall("/stalls-midway", Std(Encoded("JPG").left(100)));
        server.serve("/huge", Std(Encoded("BMP") + QByteArray(8 * kMiB, '\0')), 200, "image/bmp");
        server.serve("/absurd.gif", Std(AbsurdGif()), 200, "image/gif");
        server.serve("/absurd.bmp", Std(AbsurdBmp()), 200, "image/bmp");
        server.serve("/absurd.jpg", Std(AbsurdJpeg()), 200, "image/jpeg");
        QTemporaryDir dir;
        WriteFile(dir, "text.gif", "GIF? no");
        source.replace("{server}", QString::fromStdString(server.url(""))).replace("{dir}", dir.path());
        QVERIFY(DecodePicture(LoadBanerPicture(source.toStdU16String())).isNull());
    }

    // --- shell --------------------------------------------------------------------------------

    void webTargetReachesTheOpenerAsOneUrl_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("argument");
        QTest::addRow("line break kept") << "http://127.0.0.1/site\r\n" << QByteArray("http://127.0.0.1/site\r\n");
        QTest::addRow("any letter case") << "HTTPS://127.0.0.1/A" << QByteArray("HTTPS://127.0.0.1/A");
        QTest::addRow("Persian kept") << u"http://127.0.0.1/\u067E\u06AF"_qs
                                      << QByteArray("http://127.0.0.1/\xD9\xBE\xDA\xAF");
        QTest::addRow("missing characters") << u"http://127.0.0.1/\u4E2D\U0001F600 x"_qs
                                            << QByteArray("http://127.0.0.1/??%20x");
        QTest::addRow("quotes cannot pass options") << "http://127.0.0.1:47830/x\" --evil \"y z"
                                                    << QByteArray("http://127.0.0.1:47830/x%22%20--evil%20%22y%20z");
    }
    void webTargetReachesTheOpenerAsOneUrl() {
        QFETCH(QString, target);
        QFETCH(QByteArray, argument);
        RecordingOpener opener;
        QVERIFY(opener.isValid());
        ShellOpen(nullptr, target.toStdU16String());
        QTRY_COMPARE(opener.calls().size(), 1);
        const OpenerCall call = opener.calls().constFirst();
        QCOMPARE(call.program, QString("xdg-open"));
        QCOMPARE(call.arguments, QList<QByteArray>{argument});
        QCOMPARE(call.workingDirectory, QByteArray("/"));
    }

    void shellRunSplitsOffTheFirstWord() {
        RecordingOpener opener;
        QVERIFY(opener.isValid());
        ShellRun(u"xdg-open ymsgr:sendim?support.id"_qs.toStdU16String(), 3);
        QTRY_COMPARE(opener.calls().size(), 1);
        ShellRun(u"xdg-open  two  spaces "_qs.toStdU16String(), 3);
        QTRY_COMPARE(opener.calls().size(), 2);
        ShellRun(u"xdg-open"_qs.toStdU16String(), 3);
        QTRY_COMPARE(opener.calls().size(), 3);
        ShellRun(u""_qs.toStdU16String(), 3);
        ShellRun(u"linkvane-no-such-program ymsgr:sendim?x"_qs.toStdU16String(), 3);

        const QList<OpenerCall> calls = opener.calls();
        QCOMPARE(calls[0].arguments, QList<QByteArray>{"ymsgr:sendim?support.id"});
        QCOMPARE(calls[1].arguments, QList<QByteArray>{" two  spaces "});
        QCOMPARE(calls[2].arguments, QList<QByteArray>{});
        QCOMPARE(calls[0].program, QString("xdg-open"));
    }

    void startedProgramsLeaveNoChild() {
        RecordingOpener opener;
        ShellOpen(nullptr, u"http://127.0.0.1/"_qs.toStdU16String());
        ShellRun(u"xdg-open ymsgr:sendim?x"_qs.toStdU16String(), 3);
        QTRY_COMPARE(opener.calls().size(), 2);
        // Neither a child to wait for nor a zombie: the starts were detached and reaped.
        QCOMPARE(waitpid(-1, nullptr, WNOHANG), -1);
        QCOMPARE(errno, ECHILD);
    }
};

QTEST_MAIN(QtDesktopTest)
#include "tst_qtdesktop.moc"
