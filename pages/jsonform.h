#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

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

// Reads a table's text from a device a piece at a time, following brackets and strings only:
// the members of the top object's "pages" list one by one, and the rest of the text as an
// outline in which an empty object or list stands for each member (with the spaces after its
// bracket, which a parser reads before it finds a comma missing). A parser meets a value in a
// list as a value, whatever it holds, so once every member parses on its own, the outline
// parses as the whole text would, failing at the same place (textOffset); only its limit of
// depth, which a member alone meets two levels later, tells them apart. A member that does not
// parse on its own fails so in the whole text too, unless the text goes wrong before it:
// outlineThrough keeps what came before. Holds a member at a time, the outline and where each
// member lies.
class PageReader
{
public:
    explicit PageReader(QIODevice &text);

    struct Member
    {
        QByteArray text;
        qint64 offset; // in the text
        qsizetype index; // in the list
        qsizetype outlineAt;
    };
    // The next member of the list; std::nullopt after the last, and where the text ends before
    // the list does or has no list.
    std::optional<Member> next();
    // Once next() has given std::nullopt: the outline of the whole text, or, when the text ends
    // inside a member, of the text up to that member and then its bytes.
    QByteArray outline();
    // The outline up to a member given by next(), then the member's own text.
    QByteArray outlineThrough(const Member &member) const;
    // Where an offset of the outline (of outlineThrough(*through) if given) lies in the text.
    qint64 textOffset(qsizetype at, const Member *through = nullptr) const;
    // Whether the text is laid out as dump lays it out: a "pages" list at the top, each member
    // an object (or a list), and the text goes on past the list.
    bool laidOut() const { return m_listEnd >= 0 && !m_odd; }
    // Once outline() is read, and when the text is laid out: the text with the list emptied.
    QByteArray top() const;

private:
    enum class Phase { Top, List, After, End };

    bool fill();
    void readTop();
    std::optional<Member> readMember();
    void copyString();

    QIODevice &m_text;
    QByteArray m_buffer;
    qsizetype m_at = 0;
    qint64 m_bufferOffset = 0;
    Phase m_phase = Phase::Top;
    bool m_odd = false;
    QByteArray m_outline;
    qsizetype m_listStart = -1, m_listEnd = -1; // in the outline, after "[" and at "]"
    // Each member's place in the outline and in the text, and the size of what stands for it.
    struct Placed
    {
        qsizetype outlineAt;
        qint64 offset;
        qint64 size;
        qsizetype standIn;
    };
    std::vector<Placed> m_placed;
    std::optional<Member> m_cut; // the member the text ends inside
};

// Where an offset of a text lies, for a message an editor can follow: "line 384, column 7",
// counting from 1, the column in characters.
QString placeOf(QByteArrayView text, qsizetype offset);
// The same in a text read from a device, from its start.
QString placeOf(QIODevice &text, qint64 offset);

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
