#include "tests/support/recordingopener.h"

#include <QDir>
#include <QFile>

namespace linkvane {

RecordingOpener::RecordingOpener() {
    const QString bin = directory_.filePath(QStringLiteral("bin"));
    if (!directory_.isValid() || !QDir().mkpath(bin) || !QDir().mkpath(directory_.filePath("records")) ||
        !QFile::copy(QStringLiteral(LINKVANE_FAKE_OPENER), bin + "/xdg-open") ||
        !QFile::setPermissions(bin + "/xdg-open", QFile::ReadOwner | QFile::ExeOwner))
        qFatal("the recording opener could not be put in place");
    // An empty entry in PATH would mean the working directory, so none is added.
    qputenv("PATH", previousPath_.isEmpty() ? QFile::encodeName(bin) : QFile::encodeName(bin) + ':' + previousPath_);
    qputenv("LINKVANE_OPENER_RECORDS", QFile::encodeName(directory_.filePath("records")));
}

RecordingOpener::~RecordingOpener() {
    qputenv("PATH", previousPath_);
    qunsetenv("LINKVANE_OPENER_RECORDS");
}

QList<QList<QByteArray>> RecordingOpener::calls() const {
    const QDir records(directory_.filePath(QStringLiteral("records")));
    QList<QList<QByteArray>> calls;
    for (const QString& name : records.entryList({QStringLiteral("call-*")}, QDir::Files, QDir::Name)) {
        QFile file(records.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // The program name, the working directory and the arguments, each ended by NUL.
        QList<QByteArray> fields = file.readAll().split('\0');
        fields.removeLast();  // split() leaves an empty piece after the last NUL
        calls.append(fields.mid(2));
    }
    return calls;
}

}  // namespace linkvane
