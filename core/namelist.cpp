#include "namelist.h"

#include <QDataStream>

NameList::NameList(std::initializer_list<QByteArrayView> names)
{
    for (QByteArrayView name : names)
        append(name);
}

void NameList::reserve(qsizetype count, qsizetype bytes)
{
    m_ends.reserve(count);
    m_bytes.reserve(bytes);
}

void NameList::append(QByteArrayView name)
{
    m_bytes.append(name);
    m_ends.append(m_bytes.size());
}

void NameList::insert(qsizetype i, QByteArrayView name)
{
    Q_ASSERT(i >= 0 && i <= size());
    m_ends.insert(i, start(i));
    replace(i, name);
}

void NameList::replace(qsizetype i, QByteArrayView name)
{
    Q_ASSERT(i >= 0 && i < size());
    const qsizetype shift = name.size() - (m_ends[i] - start(i));
    m_bytes.replace(start(i), m_ends[i] - start(i), name);
    for (qsizetype later = i; later < size(); ++later)
        m_ends[later] += shift;
}

void NameList::remove(qsizetype i)
{
    replace(i, {});
    m_ends.remove(i);
}

void NameList::clear()
{
    m_bytes.clear();
    m_ends.clear();
}

QDataStream &operator<<(QDataStream &out, const NameList &names)
{
    out << quint32(names.size());
    for (QByteArrayView name : names)
        out.writeBytes(name.data(), uint(name.size()));
    return out;
}

QDataStream &operator>>(QDataStream &in, NameList &names)
{
    names.clear();
    quint32 count = 0;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QByteArray name;
        in >> name;
        names.append(name);
    }
    if (in.status() != QDataStream::Ok)
        names.clear();
    return in;
}
