#pragma once
// A recording fake of the desktop opener: while a RecordingOpener lives, fake-opener.sh stands
// first on PATH as "xdg-open" (or the names given) and records each call instead of opening
// anything. It is started detached, so a call is recorded a moment after the code under test
// returns: wait for it with QTRY_*. One at a time per process; the destructor puts PATH back.

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
    // Ends the test program when the fake cannot be put in place.
    explicit RecordingOpener(const QStringList& programNames = {QStringLiteral("xdg-open")});
    ~RecordingOpener();
    RecordingOpener(const RecordingOpener&) = delete;
    RecordingOpener& operator=(const RecordingOpener&) = delete;

    // Every call recorded so far, in the order the calls ended.
    QList<OpenerCall> calls() const;

private:
    QTemporaryDir directory_;
    QByteArray previousPath_ = qgetenv("PATH");
};

}  // namespace linkvane
