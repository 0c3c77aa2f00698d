#pragma once
// While a RecordingOpener lives, fake-opener.sh stands first on PATH as "xdg-open" and records each
// call; started detached, a call is recorded a moment after the code returns: wait with QTRY_*.

#include <QByteArray>
#include <QList>
#include <QTemporaryDir>

namespace linkvane {

class RecordingOpener {  // one at a time per process: it changes PATH
public:
    RecordingOpener();  // ends the test program when the fake cannot be put in place
    ~RecordingOpener();  // puts PATH back
    RecordingOpener(const RecordingOpener&) = delete;
    RecordingOpener& operator=(const RecordingOpener&) = delete;

    // The arguments of every call recorded so far, byte for byte, in the order the calls ended.
    QList<QList<QByteArray>> calls() const;

private:
    QTemporaryDir directory_;
    QByteArray previousPath_ = qgetenv("PATH");
};

}  // namespace linkvane
