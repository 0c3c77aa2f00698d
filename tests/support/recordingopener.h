#pragma once
// A recording fake of the desktop opener for tests: while a RecordingOpener lives, a small script
// stands first on PATH under the name "xdg-open" (or other names) and records each call instead of
// opening anything. The opener is started detached, so a call is recorded a moment after the code
// under test returns: wait for it with QTRY_*.
//
//   RecordingOpener opener;                              // or RecordingOpener opener({"explorer"});
//   QVERIFY(opener.isValid());
//   ShellOpen(nullptr, "https://example.org/page\r\n");
//   QTRY_COMPARE(opener.calls().size(), 1);
//   const OpenerCall call = opener.calls().first();
//   QCOMPARE(call.program, QString("xdg-open"));
//   QCOMPARE(call.arguments, QList<QByteArray>{"https://example.org/page\r\n"});  // byte for byte
//   QCOMPARE(call.workingDirectory, QByteArray("/"));
// The destructor puts PATH back. One at a time per process; not for use from several threads.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace linkvane {

struct OpenerCall {
    QString program;              // the name the fake was started by, e.g. "xdg-open"
    QByteArray workingDirectory;  // its working directory, symbolic links resolved
    QList<QByteArray> arguments;  // every argument, byte for byte
};

class RecordingOpener {
public:
    explicit RecordingOpener(const QStringList& programNames = {QStringLiteral("xdg-open")});
    ~RecordingOpener();
    RecordingOpener(const RecordingOpener&) = delete;
    RecordingOpener& operator=(const RecordingOpener&) = delete;

    bool isValid() const { return valid_; }
    // Every call recorded so far, in the order the calls ended.
    QList<OpenerCall> calls() const;

private:
    QTemporaryDir directory_;
    QByteArray previousPath_;
    QByteArray previousRecords_;
    bool valid_ = false;
};

}  // namespace linkvane
