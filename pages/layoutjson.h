#pragma once

#include "jsonform.h"
#include "layout.h"
#include "tableerror.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// The entries of a layout as JSON and back: each field under its key, blocks under their
// names, the renamed keys of older texts named. The table's text is made of these.
namespace TableText {

// The text form's version. Version 2 gave fields declared keys in place of their captions;
// the keys that changed are named when a text still uses them. Version 3 writes a text as its
// Windows-1252 characters, where earlier versions wrote \xNN for every byte past printable
// ASCII; those still read as the same bytes.
inline constexpr int kTextVersion = 3;

// Where a value lies in a page's text: made into words only for an error, since building the
// words for every value of a table costs more than reading it.
class KeyPath
{
public:
    KeyPath() = default;
    explicit KeyPath(QString key)
        : m_key(std::move(key))
    { }
    KeyPath(const KeyPath &parent, QString key)
        : m_parent(&parent)
        , m_key(std::move(key))
    { }
    KeyPath(const KeyPath &parent, qsizetype index)
        : m_parent(&parent)
        , m_index(index)
    { }

    QString text() const
    {
        QString before = m_parent ? m_parent->text() : QString();
        if (m_index >= 0)
            return before + QStringLiteral("[%1]").arg(m_index);
        return before.isEmpty() ? m_key : before + u'.' + m_key;
    }

private:
    const KeyPath *m_parent = nullptr;
    QString m_key;
    qsizetype m_index = -1;
};

// Thrown inside a page with the path of the key at fault; the page adds where it is, and the
// text the line the key is on.
class KeyFault : public TableError
{
public:
    KeyFault(const QString &path, const QString &problem)
        : TableError(QStringLiteral("key \"%1\": %2").arg(path, problem))
        , m_path(path)
    { }

    const QString &path() const { return m_path; }

private:
    QString m_path;
};

KeyFault keyError(const KeyPath &path, const QString &problem);

qint64 integerFromJson(const QJsonValue &json, qint64 min, qint64 max, const KeyPath &path);

// An entry's values as members of the JSON object being written, and back. Reading throws
// KeyFault naming the key at fault.
void writeValues(JsonForm::JsonText &json, const Layout &layout, const Values &values);
Values valuesFromJson(const Layout &layout, const QJsonObject &object, const KeyPath &path);

} // namespace TableText
