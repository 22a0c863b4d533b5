#include "invoicefiles.h"

#include "common/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTemporaryDir>

namespace prints {

namespace {

// The bytes of the file at `path`: empty for a missing file; `error` set
// when it cannot be read.
QByteArray readBytes(const QString& path, QString& error)
{
    error = common::unreadableFileReason(path, kMaxInvoiceTextFileSize);
    if (!error.isEmpty() || !QFileInfo::exists(path))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("nu poate fi deschis <%1>").arg(file.errorString());
        return {};
    }
    QByteArray bytes = file.read(kMaxInvoiceTextFileSize + 1);
    if (bytes.size() > kMaxInvoiceTextFileSize || file.isSequential()) {
        error = QStringLiteral("nu este un fisier obisnuit de cel mult %1 octeti").arg(kMaxInvoiceTextFileSize);
        return {};
    }
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("nu poate fi citit <%1>").arg(file.errorString());
        return {};
    }
    return bytes;
}

// Replaces the file at `path` with `bytes` in one step.
bool replaceFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString oneLine(QString value)
{
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value.trimmed();
}

const QString kSection = QLatin1String(kTransportSection);
const QString kInclude = QStringLiteral("Include");
const QString kName = QStringLiteral("Nume");
const QString kIdSeries = QStringLiteral("SerieBI");
const QString kIdNumber = QStringLiteral("NrBI");
const QString kVehicle = QStringLiteral("MijlocTransport");
const QString kDate = QStringLiteral("DataTransport");

} // namespace

QString invoiceFilePath(const QString& directory, const char* fileName)
{
    QString path = directory;
    if (!path.isEmpty() && !path.endsWith(u'/') && !path.endsWith(u'\\'))
        path += u'/';
    return path + QLatin1String(fileName);
}

// ---------------------------------------------------------------------------
// INVFOOT.TXT

InvoiceFooter ReadInvoiceFooter(const QString& directory)
{
    InvoiceFooter footer;
    QByteArray bytes = readBytes(invoiceFilePath(directory, kInvoiceFooterFileName), footer.readError);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    bool lineEndSeen = false;
    qsizetype at = 0;
    while (at < bytes.size()) {
        // One line and its line end (CR LF, LF or CR; none at the end of the file).
        qsizetype end = at;
        while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r')
            ++end;
        footer.text += common::decodeTextLine(QByteArrayView(bytes).sliced(at, end - at));
        qsizetype next = end;
        if (next < bytes.size()) {
            next += (bytes.at(next) == '\r' && next + 1 < bytes.size() && bytes.at(next + 1) == '\n') ? 2 : 1;
            if (!lineEndSeen) {
                footer.lineEnd = bytes.mid(end, next - end);
                lineEndSeen = true;
            }
            footer.text += u'\n';
        }
        at = next;
    }
    return footer;
}

bool WriteInvoiceFooter(const QString& directory, const QString& text, const QByteArray& lineEnd)
{
    const QString path = invoiceFilePath(directory, kInvoiceFooterFileName);
    QString error;
    readBytes(path, error);
    if (!error.isEmpty())
        return false; // never over a file that could not be read
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(u'\r', u'\n');
    QByteArray bytes;
    const QStringList lines = normalized.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            bytes += lineEnd;
        bytes += lines.at(i).toUtf8();
    }
    return replaceFile(path, bytes);
}

// ---------------------------------------------------------------------------
// TRANSPORT.TXT

TransportFile ReadTransport(const QString& directory)
{
    TransportFile file;
    const common::IniFile ini(invoiceFilePath(directory, kTransportFileName));
    file.readError = ini.readError();
    TransportDetails& d = file.details;
    d.include = ini.readBool(kSection, kInclude, false);
    if (d.include) {
        d.name = ini.readString(kSection, kName);
        d.idSeries = ini.readString(kSection, kIdSeries);
        d.idNumber = ini.readString(kSection, kIdNumber);
        d.vehicle = ini.readString(kSection, kVehicle);
        d.date = ini.readString(kSection, kDate);
    }
    return file;
}

bool WriteTransport(const QString& directory, const TransportDetails& details)
{
    const QString path = invoiceFilePath(directory, kTransportFileName);
    QString error;
    const QByteArray before = readBytes(path, error);
    if (!error.isEmpty())
        return false; // never over a file that could not be read

    // The keys are written one by one on a copy, and the copy replaces the
    // file at once: the file never holds some of the new values only.
    QTemporaryDir staging;
    if (!staging.isValid())
        return false;
    const QString copy = staging.filePath(QLatin1String(kTransportFileName));
    if (QFileInfo::exists(path) && !replaceFile(copy, before))
        return false;
    common::IniFile ini(copy);
    bool written = ini.writeBool(kSection, kInclude, details.include);
    if (details.include) {
        written = written && ini.writeString(kSection, kName, oneLine(details.name));
        written = written && ini.writeString(kSection, kIdSeries, oneLine(details.idSeries));
        written = written && ini.writeString(kSection, kIdNumber, oneLine(details.idNumber));
        written = written && ini.writeString(kSection, kVehicle, oneLine(details.vehicle));
        written = written && ini.writeString(kSection, kDate, oneLine(details.date));
    }
    if (!written)
        return false;
    QString copyError;
    const QByteArray after = readBytes(copy, copyError);
    if (!copyError.isEmpty())
        return false;
    if (QFileInfo::exists(path) && after == before)
        return true;
    return replaceFile(path, after);
}

} // namespace prints
