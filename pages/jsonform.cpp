#include "jsonform.h"

#include "tableerror.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace JsonForm {

namespace {

// How much of a text is read at a time, also when counting its lines for a place.
constexpr qint64 kChunk = 1 << 20;

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// Counts the lines of a text and the column of its end, a piece at a time: the column in
// characters as a QString of the line holds them. A UTF-8 sequence, whole or not, ends before
// an ASCII byte, so a line's bytes before its last ASCII byte count alone as they would with
// the rest.
class Place
{
public:
    void add(QByteArrayView bytes)
    {
        if (const qsizetype newline = bytes.lastIndexOf('\n'); newline >= 0) {
            m_line += bytes.first(newline + 1).count('\n');
            m_column = 0;
            m_pending.clear();
            bytes = bytes.sliced(newline + 1);
        }
        qsizetype ascii = bytes.size() - 1;
        while (ascii >= 0 && quint8(bytes[ascii]) >= 0x80)
            --ascii;
        if (ascii < 0) {
            m_pending += bytes;
            return;
        }
        m_pending += bytes.first(ascii);
        m_column += QString::fromUtf8(m_pending).size();
        m_pending = bytes.sliced(ascii).toByteArray();
    }
    QString text() const
    {
        return u"line %1, column %2"_s.arg(m_line).arg(m_column +
                                                       QString::fromUtf8(m_pending).size() + 1);
    }

private:
    qint64 m_line = 1;
    qint64 m_column = 0;
    QByteArray m_pending;
};

// One open object or list of a text being followed: the key or the index of its current
// member, and where its keys start in the walk's list of the open objects' keys.
struct Frame
{
    bool list = false;
    qsizetype index = 0;
    QByteArrayView key;
    size_t keys = 0;
};

QString pathOf(const std::vector<Frame> &frames, QByteArrayView key)
{
    QString path;
    for (size_t d = 0; d + 1 < frames.size(); ++d) {
        if (frames[d].list) {
            path += u'[' + QString::number(frames[d].index) + u']';
        } else {
            if (!path.isEmpty())
                path += u'.';
            path += QString::fromUtf8(frames[d].key);
        }
    }
    if (!path.isEmpty())
        path += u'.';
    return path + QString::fromUtf8(key);
}

// Follows the structure of a valid JSON text and calls visit(frames, keys, key, offset) at each
// key, with the keys of the open objects so far, until visit returns true; returns the offset
// where it stopped, or -1.
template<typename Visit> qsizetype followKeys(QByteArrayView text, Visit visit)
{
    std::vector<Frame> frames;
    std::vector<QByteArrayView> keys;
    bool keyNext = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        switch (text[i]) {
        case '"': {
            const qsizetype start = i + 1;
            for (++i; i < text.size() && text[i] != '"'; ++i)
                if (text[i] == '\\')
                    ++i;
            if (keyNext) {
                Frame &object = frames.back();
                object.key = text.sliced(start, i - start);
                if (visit(frames, keys, object.key, start - 1))
                    return start - 1;
                keys.push_back(object.key);
                keyNext = false;
            }
            break;
        }
        case '{':
        case '[':
            frames.push_back({ text[i] == '[', 0, {}, keys.size() });
            keyNext = text[i] == '{';
            break;
        case '}':
        case ']':
            keys.resize(frames.back().keys);
            frames.pop_back();
            break;
        case ',':
            if (frames.empty())
                break;
            if (frames.back().list)
                ++frames.back().index;
            else
                keyNext = true;
            break;
        default:
            break;
        }
    }
    return -1;
}

} // namespace

PageReader::PageReader(QIODevice &text)
    : m_text(text)
{ }

bool PageReader::fill()
{
    m_bufferOffset += m_buffer.size();
    m_buffer.resize(kChunk);
    const qint64 got = m_text.read(m_buffer.data(), kChunk);
    if (got < 0)
        throw TableError(u"cannot be read: %1"_s.arg(m_text.errorString()));
    m_buffer.resize(got);
    m_at = 0;
    return got > 0;
}

// Up to the list of the top object's "pages" key: the last text at depth 1 before it.
void PageReader::readTop()
{
    int depth = 0;
    bool inString = false, escaped = false;
    qsizetype textStart = 0; // where the last text met starts in the outline
    bool pagesLast = false; // the last text at depth 1 is "pages"
    while (m_at < m_buffer.size() || fill()) {
        const char *data = m_buffer.constData();
        qsizetype i = m_at;
        for (; i < m_buffer.size(); ++i) {
            const char c = data[i];
            if (inString) {
                if (escaped) {
                    escaped = false;
                } else if (c == '\\') {
                    escaped = true;
                } else if (c == '"') {
                    inString = false;
                    if (depth == 1) {
                        m_outline.append(data + m_at, i - m_at);
                        m_at = i;
                        pagesLast = QByteArrayView(m_outline).sliced(textStart) == "pages";
                    }
                }
                continue;
            }
            if (c == '"') {
                inString = true;
                textStart = m_outline.size() + (i + 1 - m_at);
            } else if (c == '{' || c == '[') {
                if (c == '[' && depth == 1 && pagesLast) {
                    m_outline.append(data + m_at, i + 1 - m_at);
                    m_at = i + 1;
                    m_phase = Phase::List;
                    m_listStart = m_outline.size();
                    return;
                }
                ++depth;
            } else if (c == '}' || c == ']') {
                --depth;
            }
        }
        m_outline.append(data + m_at, i - m_at);
        m_at = i;
    }
    m_phase = Phase::End;
}

std::optional<PageReader::Member> PageReader::next()
{
    if (m_phase == Phase::Top)
        readTop();
    while (m_phase == Phase::List) {
        if (m_at == m_buffer.size() && !fill()) {
            m_phase = Phase::End;
            break;
        }
        const char c = m_buffer[m_at];
        if (c == '{' || c == '[')
            return readMember();
        ++m_at;
        if (c == ']' || c == '}') {
            m_listEnd = m_outline.size();
            m_phase = Phase::After;
        }
        m_outline += c;
        if (c == '"') {
            m_odd = true;
            copyString();
        } else if (!isSpace(c) && c != ',' && c != ':' && m_phase == Phase::List) {
            m_odd = true;
        }
    }
    return std::nullopt;
}

// The rest of a text that is a member of the list, after its opening quote, into the outline.
void PageReader::copyString()
{
    bool escaped = false, closed = false;
    while (!closed && (m_at < m_buffer.size() || fill())) {
        const char *data = m_buffer.constData();
        qsizetype i = m_at;
        for (; i < m_buffer.size() && !closed; ++i) {
            if (escaped)
                escaped = false;
            else if (data[i] == '\\')
                escaped = true;
            else
                closed = data[i] == '"';
        }
        m_outline.append(data + m_at, i - m_at);
        m_at = i;
    }
}

std::optional<PageReader::Member> PageReader::readMember()
{
    Member member { {}, m_bufferOffset + m_at, qsizetype(m_placed.size()), m_outline.size() };
    int depth = 0;
    bool inString = false, escaped = false;
    while (m_at < m_buffer.size() || fill()) {
        const char *data = m_buffer.constData();
        const qsizetype size = m_buffer.size();
        qsizetype i = m_at;
        bool closed = false;
        for (; i < size && !closed; ++i) {
            const char c = data[i];
            if (inString) {
                if (escaped)
                    escaped = false;
                else if (c == '\\')
                    escaped = true;
                else if (c == '"')
                    inString = false;
            } else if (c == '"') {
                inString = true;
            } else if (c == '{' || c == '[') {
                ++depth;
            } else if (c == '}' || c == ']') {
                closed = --depth == 0;
            }
        }
        member.text.append(data + m_at, i - m_at);
        m_at = i;
        if (closed) {
            // An empty object or list stands for it, with the spaces after its bracket: the
            // parser reads on over them before it says that a comma is missing before it.
            qsizetype spaces = 1;
            while (spaces < member.text.size() && isSpace(member.text[spaces]))
                ++spaces;
            m_outline += member.text.first(spaces);
            m_outline += member.text[0] == '{' ? '}' : ']';
            m_placed.push_back({ member.outlineAt, member.offset, member.text.size(), spaces + 1 });
            return member;
        }
    }
    m_cut = std::move(member);
    m_phase = Phase::End;
    return std::nullopt;
}

QByteArray PageReader::outline()
{
    if (m_phase == Phase::After) {
        while (m_at < m_buffer.size() || fill()) {
            m_outline.append(m_buffer.constData() + m_at, m_buffer.size() - m_at);
            m_at = m_buffer.size();
        }
        m_phase = Phase::End;
    }
    return m_cut ? outlineThrough(*m_cut) : m_outline;
}

QByteArray PageReader::top() const
{
    return m_outline.first(m_listStart) + m_outline.sliced(m_listEnd);
}

QByteArray PageReader::outlineThrough(const Member &member) const
{
    return m_outline.first(member.outlineAt) + member.text;
}

qint64 PageReader::textOffset(qsizetype at, const Member *through) const
{
    if (!through && m_cut)
        through = &*m_cut;
    if (through && at >= through->outlineAt)
        return through->offset + (at - through->outlineAt);
    const auto after =
        std::upper_bound(m_placed.begin(), m_placed.end(), at,
                         [](qsizetype at, const Placed &placed) { return at < placed.outlineAt; });
    if (after == m_placed.begin())
        return at;
    const Placed &member = *std::prev(after);
    const qsizetype past = at - member.outlineAt;
    return past < member.standIn ? member.offset + past
                                 : member.offset + member.size + (past - member.standIn);
}

QString placeOf(QByteArrayView text, qsizetype offset)
{
    Place place;
    place.add(text.first(std::clamp<qsizetype>(offset, 0, text.size())));
    return place.text();
}

QString placeOf(QIODevice &text, qint64 offset)
{
    if (!text.seek(0))
        throw TableError(u"cannot be read: %1"_s.arg(text.errorString()));
    Place place;
    QByteArray chunk;
    while (offset > 0) {
        chunk.resize(std::min(offset, kChunk));
        const qint64 got = text.read(chunk.data(), chunk.size());
        if (got <= 0)
            break;
        place.add(QByteArrayView(chunk).first(got));
        offset -= got;
    }
    return place.text();
}

std::optional<Repeated> repeatedKey(QByteArrayView text)
{
    std::optional<Repeated> repeated;
    followKeys(text,
               [&](const std::vector<Frame> &frames, const std::vector<QByteArrayView> &keys,
                   QByteArrayView key, qsizetype at) {
                   if (std::find(keys.begin() + qsizetype(frames.back().keys), keys.end(), key) ==
                       keys.end())
                       return false;
                   repeated = Repeated { at, pathOf(frames, key) };
                   return true;
               });
    return repeated;
}

qsizetype keyOffset(QByteArrayView text, const QString &path)
{
    return followKeys(text,
                      [&](const std::vector<Frame> &frames, const std::vector<QByteArrayView> &,
                          QByteArrayView key, qsizetype) { return pathOf(frames, key) == path; });
}

} // namespace JsonForm
