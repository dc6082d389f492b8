#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// JSON text as the table's text form writes and reads it, apart from what the values mean.
namespace JsonForm {

// Writes JSON text straight from the values: a tree of QJsonObjects for a whole table costs
// seconds. Keys stand in layout order, one to a line; lists of plain values, choices and
// entries of plain fields (a firing mask, a spew slot) stay on one line.
class JsonText
{
public:
    explicit JsonText(int depth = 0)
        : m_depth(depth)
    { }

    QByteArray text;

    // A member written apart, at this depth.
    void written(const QByteArray &member)
    {
        this->member();
        text += member;
        m_first = false;
    }

    void key(const QString &name)
    {
        separate();
        line();
        string(name);
        text += ": ";
    }
    void open(char bracket)
    {
        text += bracket;
        m_depth += 1;
        m_first = true;
    }
    void close(char bracket)
    {
        m_depth -= 1;
        if (!m_first && !m_inline)
            line();
        text += bracket;
        m_first = false;
    }
    // A list member.
    void member()
    {
        separate();
        if (!m_inline)
            line();
    }
    void value(const QJsonValue &json)
    {
        switch (json.type()) {
        case QJsonValue::String:
            string(json.toString());
            break;
        case QJsonValue::Double:
            text += QByteArray::number(json.toDouble(), 'g', QLocale::FloatingPointShortest);
            break;
        case QJsonValue::Null:
            text += "null";
            break;
        case QJsonValue::Array: {
            const bool wasInline = std::exchange(m_inline, true);
            open('[');
            for (const QJsonValue member : json.toArray()) {
                this->member();
                value(member);
            }
            close(']');
            m_inline = wasInline;
            break;
        }
        case QJsonValue::Object: {
            // A choice: its entry, then its code.
            const QJsonObject object = json.toObject();
            text += "{\"entry\": ";
            value(object[QLatin1StringView("entry")]);
            text += ", \"code\": ";
            value(object[QLatin1StringView("code")]);
            text += '}';
            break;
        }
        default:
            text += json.toBool() ? "true" : "false";
            break;
        }
        m_first = false;
    }
    // Escaped texts hold no control characters; what is not ASCII is written as UTF-8.
    void string(const QString &value)
    {
        text += '"';
        for (qsizetype i = 0; i < value.size(); ++i) {
            const char16_t c = value[i].unicode();
            if (c == u'"' || c == u'\\')
                text += '\\';
            if (c < 0x80) {
                text += char(c);
                continue;
            }
            const qsizetype units = value[i].isHighSurrogate() && i + 1 < value.size() ? 2 : 1;
            text += QStringView(value).sliced(i, units).toUtf8();
            i += units - 1;
        }
        text += '"';
    }
    bool setInline(bool on) { return std::exchange(m_inline, on); }
    bool isInline() const { return m_inline; }

private:
    void separate()
    {
        if (!m_first)
            text += m_inline ? ", " : ",";
        m_first = false;
    }
    void line()
    {
        if (m_inline)
            return;
        text += '\n';
        text.append(m_depth * 2, ' ');
    }

    int m_depth = 0;
    bool m_first = true;
    bool m_inline = false;
};

// Where each member of the top object's "pages" list lies in the text, found by following
// brackets and strings only; the members are then parsed on every core. The top object is
// the text with the list emptied. std::nullopt for a text not laid out so, which is parsed
// whole instead.
struct Split
{
    QByteArray top;
    QList<QByteArrayView> pages;
};

std::optional<Split> splitPages(const QByteArray &text);

// Where an offset of a text lies, for a message an editor can follow: "line 384, column 7",
// counting from 1, the column in characters.
QString placeOf(QByteArrayView text, qsizetype offset);

// The offset of the first key that an object of the text gives twice, with its path as a
// key path reads ("pages[3].fields.opening_time"); std::nullopt when every key is given once.
// The text must be valid JSON.
struct Repeated
{
    qsizetype offset;
    QString path;
};
std::optional<Repeated> repeatedKey(QByteArrayView text);

// The offset of the key at this path in a valid JSON text, or -1.
qsizetype keyOffset(QByteArrayView text, const QString &path);

} // namespace JsonForm
