#include "net/baner.h"
#include "net/codepage.h"
#include "net/internetfile.h"
#include "net/limits.h"
#include "net/shell.h"
#include "tests/support/recordingopener.h"
#include "tests/support/testserver.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
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

constexpr qsizetype kMiB = qsizetype(1) << 20;

// Limits short enough that a stalled or trickling server costs a test well under two seconds.
FetchLimits QuickLimits() {
    FetchLimits limits;
    limits.connect = 1s;
    limits.silence = 400ms;
    limits.whole = 800ms;
    return limits;
}

QByteArray AsciiBody(qsizetype size) {
    QByteArray body;
    for (qsizetype i = 0; i < size; ++i)
        body.append(char('a' + i % 26));
    return body;
}

// Answers with `prefix`, then sends nothing more until the server stops.
httplib::Server::Handler StallAfter(const QByteArray& prefix, const TestServer& server) {
    const std::string first = prefix.toStdString();
    return [first, &server](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "text/plain", [first, &server, sent = false](size_t, httplib::DataSink& sink) mutable {
                if (!sent)
                    sent = sink.write(first.data(), first.size());
                std::this_thread::sleep_for(10ms);
                return !server.stopping();
            });
    };
}

// Sends `piece` again and again, every `pause`, until the client goes or the server stops.
httplib::Server::Handler Endless(const QByteArray& piece, std::chrono::milliseconds pause,
                                 const TestServer& server) {
    const std::string bytes = piece.toStdString();
    return [bytes, pause, &server](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider(
            "text/plain", [bytes, pause, &server](size_t, httplib::DataSink& sink) {
                std::this_thread::sleep_for(pause);
                return !server.stopping() && sink.write(bytes.data(), bytes.size());
            });
    };
}

httplib::Server::Handler RedirectTo(const std::string& location) {
    return [location](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(location);
    };
}

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

void SetEnvironment(const QList<std::pair<const char*, QByteArray>>& variables) {
    for (const auto& [name, value] : variables) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
}

}  // namespace

class NetTest : public QObject {
    Q_OBJECT
private slots:
    // --- text fetch ---------------------------------------------------------------------------

    void bodyComesBackByteForByte_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addRow("empty") << QByteArray("");
        for (qsizetype size : {30, 255, 256, 257, 600})
            QTest::addRow("%lld bytes", qlonglong(size)) << AsciiBody(size);
        QTest::addRow("CR LF at the end") << QByteArray("http://127.0.0.1/site\r\n");
        QTest::addRow("bare LF inside") << QByteArray("one\ntwo\r\nthree\n");
    }
    void bodyComesBackByteForByte() {
        QFETCH(QByteArray, body);
        TestServer server;
        server.serve("/file.txt", body);
        QCOMPARE(GetInternetFile(server.url("/file.txt")), QString::fromLatin1(body));
    }

    void everyByteValueIsOneCodePageCharacter() {
        QByteArray allBytes;
        for (int value = 0; value < 256; ++value)
            allBytes.append(char(value));
        TestServer server;
        server.serve("/all", allBytes);
        server.serve("/persian", "\x81\x8D\x8E\x90\x98\xED");

        const QString all = GetInternetFile(server.url("/all"));
        QCOMPARE(all.size(), 256);
        QCOMPARE(all.left(128), QString::fromLatin1(allBytes.left(128)));
        QVERIFY(!all.contains(QChar::ReplacementCharacter));
        // peh, tcheh, jeh, gaf, keheh, Arabic yeh
        QCOMPARE(GetInternetFile(server.url("/persian")), u"\u067E\u0686\u0698\u06AF\u06A9\u064A"_qs);
    }

    void errorPageComesBackAsText() {
        TestServer server;
        server.serve("/gone.txt", "<html>not here</html>", 404);
        server.serve("/broken.txt", "oops", 500);
        QCOMPARE(GetInternetFile(server.url("/gone.txt")), QString("<html>not here</html>"));
        QCOMPARE(GetInternetFile(server.url("/broken.txt")), QString("oops"));
    }

    void unopenableUrlGivesEmptyTextAtOnce_data() {
        QTest::addColumn<QString>("url");
        const QString dead = QStringLiteral("127.0.0.1:%1").arg(DeadPort());
        QTest::addRow("dead port") << "http://" + dead + "/ads/link.txt";
        QTest::addRow("empty") << QString();
        QTest::addRow("not a URL") << QStringLiteral("link list");
        QTest::addRow("no host") << QStringLiteral("http://");
        QTest::addRow("no scheme") << QStringLiteral("{server}/ads/link.txt");
        QTest::addRow("local file") << QStringLiteral("file:///etc/hostname");
        QTest::addRow("other scheme") << QStringLiteral("ftp://{server}/ads/link.txt");
    }
    void unopenableUrlGivesEmptyTextAtOnce() {
        QFETCH(QString, url);
        TestServer server;
        server.serve("/ads/link.txt", "http://127.0.0.1/site");
        url.replace("{server}", server.hostPort());
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(GetInternetFile(url), QString());
        QVERIFY2(timer.elapsed() < 500, qPrintable(QString::number(timer.elapsed())));
    }

    void requestIsPlainGetWithOurAgentOnly() {
        TestServer server;
        server.serve("/document/AdminPm.txt", "salam");
        GetInternetFile(server.url("/document/AdminPm.txt"));
        const QList<ReceivedRequest> requests = server.requests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].method, QByteArray("GET"));
        using Header = std::pair<QByteArray, QByteArray>;
        QCOMPARE(requests[0].headers, (QList<Header>{{"Host", server.hostPort().toLatin1()},
                                                     {"User-Agent", "vb wininet"}}));
    }

    void proxyVariablesChangeNothing() {
        TestServer proxy;
        TestServer server;
        server.serve("/ads/link.txt", "direct");
        const QByteArray proxyUrl = proxy.url("/").toLatin1();
        const QList<const char*> names = {"http_proxy", "HTTP_PROXY", "ALL_PROXY", "all_proxy",
                                          "no_proxy", "NO_PROXY"};
        QList<std::pair<const char*, QByteArray>> saved;
        for (const char* name : names)
            saved.append({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
        SetEnvironment({{"http_proxy", proxyUrl}, {"HTTP_PROXY", proxyUrl}, {"ALL_PROXY", proxyUrl},
                        {"all_proxy", proxyUrl}, {"no_proxy", {}}, {"NO_PROXY", {}}});

        const QString text = GetInternetFile(server.url("/ads/link.txt"));
        SetEnvironment(saved);
        QCOMPARE(text, QString("direct"));
        QCOMPARE(proxy.requests().size(), 0);
    }

    void urlGoesOutInTheCodePage() {
        TestServer server;
        server.handle("/.*", [](const httplib::Request&, httplib::Response&) {});
        // Persian letters travel as their Windows-1256 bytes (percent-escaped on the wire); a
        // character the code page lacks becomes "?", which here starts the query.
        GetInternetFile(server.url(u"/\u067E\u06AF.txt"_qs));
        GetInternetFile(server.url(u"/a\u4E2Db"_qs));
        const QList<ReceivedRequest> requests = server.requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests[0].path, QByteArray("/\x81\x90.txt"));
        QCOMPARE(requests[1].target, QByteArray("/a?b"));
    }

    void redirectsAreFollowedWithinLimits() {
        TestServer server;
        server.serve("/final", "arrived");
        // /hop/N redirects N more times before it reaches /final.
        server.handle(R"(/hop/(\d+))", [](const httplib::Request& request, httplib::Response& response) {
            const int left = std::stoi(request.matches[1]);
            response.set_redirect(left == 0 ? "/final" : "/hop/" + std::to_string(left - 1));
        });
        server.handle("/loop", RedirectTo("/loop"));
        server.handle("/to-file", RedirectTo("file:///etc/hostname"));
        server.handle("/to-ftp", RedirectTo("ftp://" + server.hostPort().toStdString() + "/final"));

        QCOMPARE(GetInternetFile(server.url("/hop/0")), QString("arrived"));
        QCOMPARE(GetInternetFile(server.url("/hop/9")), QString("arrived"));  // 10 redirects
        QCOMPARE(GetInternetFile(server.url("/hop/10")), QString());         // 11
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(GetInternetFile(server.url("/loop")), QString());
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(GetInternetFile(server.url("/to-file")), QString());
        QCOMPARE(GetInternetFile(server.url("/to-ftp")), QString());
    }

    void bodyPastTheLimitEndsAtTheLimit() {
        TestServer server;
        server.serve("/exact", AsciiBody(kMiB));
        server.serve("/over", AsciiBody(kMiB + 1));
        server.handle("/endless", Endless(QByteArray(64 * 1024, 'x'), 0ms, server));
        QCOMPARE(GetInternetFile(server.url("/exact")).size(), kMiB);
        QCOMPARE(GetInternetFile(server.url("/over")), QString::fromLatin1(AsciiBody(kMiB)));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(GetInternetFile(server.url("/endless")), QString(kMiB, u'x'));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    }

    void silentServerEndsWithTheTextSoFar() {
        FetchLimits limits = QuickLimits();
        limits.whole = 10s;  // the silence alone must end these
        ScopedFetchLimits quick(limits);
        TestServer server;
        server.handle("/stalls-midway", StallAfter("partial", server));
        server.handle("/never-answers", [&server](const httplib::Request&, httplib::Response&) {
            while (!server.stopping())
                std::this_thread::sleep_for(10ms);
        });
        for (const auto& [path, text] : {std::pair{"/stalls-midway", "partial"}, {"/never-answers", ""}}) {
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(GetInternetFile(server.url(path)), QString(text));
            QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        }
    }

    void tricklingServerEndsAtTheWholeLimit() {
        ScopedFetchLimits quick(QuickLimits());
        TestServer server;
        server.handle("/trickles", Endless("t", 20ms, server));
        QElapsedTimer timer;
        timer.start();
        const QString text = GetInternetFile(server.url("/trickles"));
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(text.size() > 3);
        QCOMPARE(text, QString(text.size(), u't'));
    }

    // --- code page ----------------------------------------------------------------------------

    void missingCharactersBecomeQuestionMarks() {
        QCOMPARE(ToAnsi(u"\u067E\u0686\u0698\u06AF\u06A9\u064A"), QByteArray("\x81\x8D\x8E\x90\x98\xED"));
        // One "?" per character, a surrogate pair included; a lone surrogate is no character.
        QCOMPARE(ToAnsi(u"a\u4E2D\U0001F600\xD800z"), QByteArray("a???z"));
        // SUB is how Qt marks a missing character, but a real SUB must stay itself.
        QCOMPARE(ToAnsi(u"\u001A\u4E2D"), QByteArray("\x1A?"));
        QCOMPARE(ThroughAnsi(u"\u06CC\u06A9"), u"?\u06A9"_qs);  // Farsi yeh is not in it
    }

    // --- banner picture -----------------------------------------------------------------------

    // Rows name the test server as {server} and a folder of picture files as {dir}.
    void pictureLoads_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QSize>("size");
        QTest::addRow("JPEG by URL") << "{server}/banner.jpg" << QSize(8, 6);
        QTest::addRow("GIF by URL") << "{server}/banner.gif" << QSize(4, 3);
        QTest::addRow("PNG by URL") << "{server}/banner.png" << QSize(8, 6);
        QTest::addRow("URL with line break") << "{server}/banner.gif\r\n" << QSize(4, 3);
        QTest::addRow("URL with blanks around") << " \t{server}/banner.jpg \n" << QSize(8, 6);
        QTest::addRow("BMP by path") << "{dir}/banner.bmp" << QSize(8, 6);
        QTest::addRow("path with line break") << "{dir}/banner.bmp\r\n" << QSize(8, 6);
        QTest::addRow("file URL") << "file://{dir}/banner.bmp" << QSize(8, 6);
    }
    void pictureLoads() {
        QFETCH(QString, source);
        QFETCH(QSize, size);
        TestServer server;
        server.serve("/banner.jpg", Encoded("JPG"), 200, "image/jpeg");
        server.serve("/banner.gif", kGif, 200, "image/gif");
        server.serve("/banner.png", Encoded("PNG"), 200, "image/png");
        QTemporaryDir dir;
        WriteFile(dir, "banner.bmp", Encoded("BMP"));
        source.replace("{server}", server.url("")).replace("{dir}", dir.path());
        QCOMPARE(LoadBanerPicture(source).size(), size);
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
        QTest::addRow("missing file") << "{dir}/missing.gif";
        QTest::addRow("not a picture by path") << "{dir}/text.gif";
        QTest::addRow("directory") << "{dir}";
        QTest::addRow("device") << QStringLiteral("/dev/zero");
    }
    void noPicture() {
        QFETCH(QString, source);
        ScopedFetchLimits quick(QuickLimits());
        TestServer server;
        server.serve("/gone", "<html>not found</html>", 404, "text/html");
        server.serve("/gone-but-gif", kGif, 404, "image/gif");
        server.serve("/text", "this is not a picture");
        server.handle("/stalls-midway", StallAfter(Encoded("JPG").left(100), server));
        server.serve("/huge", Encoded("BMP") + QByteArray(8 * kMiB, '\0'), 200, "image/bmp");
        server.serve("/absurd.gif", AbsurdGif(), 200, "image/gif");
        server.serve("/absurd.bmp", AbsurdBmp(), 200, "image/bmp");
        server.serve("/absurd.jpg", AbsurdJpeg(), 200, "image/jpeg");
        QTemporaryDir dir;
        WriteFile(dir, "text.gif", "GIF? no");
        source.replace("{server}", server.url("")).replace("{dir}", dir.path());
        QVERIFY(LoadBanerPicture(source).isNull());
    }

    // --- shell --------------------------------------------------------------------------------

    void webTargetReachesTheOpenerUnchanged_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QByteArray>("argument");
        QTest::addRow("line break kept") << "http://127.0.0.1/site\r\n" << QByteArray("http://127.0.0.1/site\r\n");
        QTest::addRow("any letter case") << "HTTPS://127.0.0.1/A" << QByteArray("HTTPS://127.0.0.1/A");
        QTest::addRow("Persian kept") << u"http://127.0.0.1/\u067E\u06AF"_qs
                                      << QByteArray("http://127.0.0.1/\xD9\xBE\xDA\xAF");
        QTest::addRow("missing characters") << u"http://127.0.0.1/\u4E2D\U0001F600 x"_qs
                                            << QByteArray("http://127.0.0.1/?? x");
    }
    void webTargetReachesTheOpenerUnchanged() {
        QFETCH(QString, target);
        QFETCH(QByteArray, argument);
        RecordingOpener opener;
        QVERIFY(opener.isValid());
        ShellOpen(nullptr, target);
        QTRY_COMPARE(opener.calls().size(), 1);
        const OpenerCall call = opener.calls().constFirst();
        QCOMPARE(call.program, QString("xdg-open"));
        QCOMPARE(call.arguments, QList<QByteArray>{argument});
        QCOMPARE(call.workingDirectory, QByteArray("/"));
    }

    void otherTargetsOpenNothing() {
        RecordingOpener opener({"xdg-open", "xterm", "sh"});
        QVERIFY(opener.isValid());
        for (const QString& target :
             {u""_qs, u"xterm"_qs, u"sh -c id"_qs, u"/usr/bin/xterm"_qs, u"file:///etc/passwd"_qs,
              u"ymsgr:sendim?x"_qs, u"javascript:alert(1)"_qs, u" http://127.0.0.1/"_qs,
              u"http:/127.0.0.1/"_qs, u"httpx://127.0.0.1/"_qs, u"\nhttp://127.0.0.1/"_qs})
            ShellOpen(nullptr, target);
        ShellOpen(nullptr, u"http://127.0.0.1/last"_qs);  // arrives after any earlier start
        QTRY_COMPARE(opener.calls().size(), 1);
        QTest::qWait(100);
        QCOMPARE(opener.calls().size(), 1);
        QCOMPARE(opener.calls().constFirst().arguments, QList<QByteArray>{"http://127.0.0.1/last"});
    }

    void shellRunSplitsOffTheFirstWord() {
        RecordingOpener opener;
        QVERIFY(opener.isValid());
        ShellRun(u"xdg-open ymsgr:sendim?support.id"_qs, 3);
        QTRY_COMPARE(opener.calls().size(), 1);
        ShellRun(u"xdg-open  two  spaces "_qs, 3);
        QTRY_COMPARE(opener.calls().size(), 2);
        ShellRun(u"xdg-open"_qs, 3);
        QTRY_COMPARE(opener.calls().size(), 3);
        ShellRun(u""_qs, 3);
        ShellRun(u"linkvane-no-such-program ymsgr:sendim?x"_qs, 3);

        const QList<OpenerCall> calls = opener.calls();
        QCOMPARE(calls[0].arguments, QList<QByteArray>{"ymsgr:sendim?support.id"});
        QCOMPARE(calls[1].arguments, QList<QByteArray>{" two  spaces "});
        QCOMPARE(calls[2].arguments, QList<QByteArray>{});
        QCOMPARE(calls[0].program, QString("xdg-open"));
    }

    void startedProgramsLeaveNoChild() {
        RecordingOpener opener;
        ShellOpen(nullptr, u"http://127.0.0.1/"_qs);
        ShellRun(u"xdg-open ymsgr:sendim?x"_qs, 3);
        QTRY_COMPARE(opener.calls().size(), 2);
        // Neither a child to wait for nor a zombie: the starts were detached and reaped.
        QCOMPARE(waitpid(-1, nullptr, WNOHANG), -1);
        QCOMPARE(errno, ECHILD);
    }
};

QTEST_MAIN(NetTest)
#include "tst_net.moc"
