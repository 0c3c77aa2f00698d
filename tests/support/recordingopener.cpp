#include "tests/support/recordingopener.h"

#include <QDir>
#include <QFile>

namespace linkvane {

namespace {

constexpr char kPathVariable[] = "PATH";
constexpr char kRecordsVariable[] = "LINKVANE_OPENER_RECORDS";

bool InstallFake(const QString& binDirectory, const QString& name) {
    const QString program = binDirectory + u'/' + name;
    return QFile::copy(QStringLiteral(LINKVANE_FAKE_OPENER), program) &&
           QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
}

// A record is the program name, the working directory and the arguments, each ended by NUL.
OpenerCall ParseRecord(const QByteArray& record) {
    QList<QByteArray> fields = record.split('\0');
    fields.removeLast();  // split() leaves an empty piece after the last NUL
    OpenerCall call;
    call.program = QString::fromUtf8(fields.value(0));
    call.workingDirectory = fields.value(1);
    call.arguments = fields.mid(2);
    return call;
}

}  // namespace

RecordingOpener::RecordingOpener(const QStringList& programNames)
    : previousPath_(qgetenv(kPathVariable)), previousRecords_(qgetenv(kRecordsVariable)) {
    const QString bin = directory_.filePath(QStringLiteral("bin"));
    const QString records = directory_.filePath(QStringLiteral("records"));
    valid_ = directory_.isValid() && QDir().mkpath(bin) && QDir().mkpath(records);
    for (const QString& name : programNames)
        valid_ = valid_ && InstallFake(bin, name);
    // An empty entry in PATH would mean the working directory, so none is added.
    const QByteArray fakeFirst = previousPath_.isEmpty() ? QFile::encodeName(bin)
                                                         : QFile::encodeName(bin) + ':' + previousPath_;
    qputenv(kPathVariable, fakeFirst);
    qputenv(kRecordsVariable, QFile::encodeName(records));
}

RecordingOpener::~RecordingOpener() {
    qputenv(kPathVariable, previousPath_);
    if (previousRecords_.isEmpty())
        qunsetenv(kRecordsVariable);
    else
        qputenv(kRecordsVariable, previousRecords_);
}

QList<OpenerCall> RecordingOpener::calls() const {
    const QDir records(directory_.filePath(QStringLiteral("records")));
    QList<OpenerCall> calls;
    for (const QString& name : records.entryList({QStringLiteral("call-*")}, QDir::Files, QDir::Name)) {
        QFile file(records.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            calls.append(ParseRecord(file.readAll()));
    }
    return calls;
}

}  // namespace linkvane
