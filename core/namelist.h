#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <initializer_list>
#include <iterator>

class QDataStream;

// A kind's page names in list order, kept back to back in one buffer: a table's thousands of
// names cost two allocations, not one each, to load and to free. Copies share the buffer until
// one of them changes.
class NameList
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = QByteArrayView;
        using difference_type = qsizetype;
        using pointer = void;
        using reference = QByteArrayView;

        const_iterator() = default;
        QByteArrayView operator*() const { return m_list->at(m_index); }
        const_iterator &operator++()
        {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int) { return const_iterator(m_list, m_index++); }
        friend bool operator==(const const_iterator &, const const_iterator &) = default;

    private:
        friend class NameList;
        const_iterator(const NameList *list, qsizetype index)
            : m_list(list)
            , m_index(index)
        { }
        const NameList *m_list = nullptr;
        qsizetype m_index = 0;
    };

    NameList() = default;
    NameList(std::initializer_list<QByteArrayView> names);

    qsizetype size() const { return m_ends.size(); }
    bool isEmpty() const { return m_ends.isEmpty(); }
    QByteArrayView at(qsizetype i) const
    {
        Q_ASSERT(i >= 0 && i < size());
        return QByteArrayView(m_bytes.constData() + start(i), m_ends[i] - start(i));
    }
    QByteArrayView operator[](qsizetype i) const { return at(i); }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }

    // Room for count names of bytes bytes in all, so that appending them allocates nothing.
    void reserve(qsizetype count, qsizetype bytes);
    void append(QByteArrayView name);
    void insert(qsizetype i, QByteArrayView name);
    void replace(qsizetype i, QByteArrayView name);
    void remove(qsizetype i);
    void clear();

    friend bool operator==(const NameList &a, const NameList &b)
    {
        return a.m_ends == b.m_ends && a.m_bytes == b.m_bytes;
    }

private:
    qsizetype start(qsizetype i) const { return i == 0 ? 0 : m_ends[i - 1]; }

    QByteArray m_bytes;
    QList<qsizetype> m_ends; // where each name ends in m_bytes
};

// As a QList<QByteArray> is written and read, so that streams written either way read back.
QDataStream &operator<<(QDataStream &out, const NameList &names);
QDataStream &operator>>(QDataStream &in, NameList &names);
