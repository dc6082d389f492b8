#include "pagefile.h"

#include "tableerror.h"

#include <QFile>
#include <QtEndian>

using namespace Qt::StringLiterals;

std::optional<QByteArray> readPageFile(const QString &path, PageKind kind,
                                       const QString &description)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TableError(u"Cannot open the %1: %2"_s.arg(description, file.errorString()));
    const QByteArray header = file.read(RecordHeader::kindSize + RecordHeader::lengthSize);
    if (header.isEmpty() || quint8(header[0]) != quint8(kind))
        return std::nullopt;
    const auto damaged = [&](const QString &what) {
        return TableError(u"The %1 is damaged: %2"_s.arg(description, what));
    };
    if (header.size() < RecordHeader::kindSize + RecordHeader::lengthSize)
        throw damaged(u"it ends inside its record header"_s);
    const quint32 length = qFromLittleEndian<quint32>(header.constData() + RecordHeader::kindSize);
    if (length < quint32(RecordHeader::minimumLength))
        throw damaged(u"its record has an impossible length of %1 bytes"_s.arg(length));
    if (qint64(length) + 1 > file.size())
        throw damaged(u"its record runs past the end of the file"_s);
    QByteArray record = header;
    record.append(file.read(qint64(length) - RecordHeader::lengthSize));
    if (record.size() != qsizetype(length) + 1)
        throw TableError(u"Cannot read the %1: %2"_s.arg(description, file.errorString()));
    return record;
}
