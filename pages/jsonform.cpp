#include "jsonform.h"

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace JsonForm {

namespace {

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

std::optional<Split> splitPages(const QByteArray &text)
{
    int depth = 0;
    qsizetype stringStart = -1, listStart = -1, listEnd = -1, pageStart = -1;
    QByteArrayView lastString;
    Split split;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (stringStart >= 0) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                if (depth == 1)
                    lastString = QByteArrayView(text).sliced(stringStart, i - stringStart);
                stringStart = -1;
            }
            continue;
        }
        const bool inList = listStart >= 0 && listEnd < 0;
        switch (c) {
        case '"':
            stringStart = i + 1;
            break;
        case '{':
        case '[':
            if (depth == 1 && c == '[' && lastString == "pages" && listStart < 0)
                listStart = i;
            else if (inList && depth == 2)
                pageStart = i;
            ++depth;
            break;
        case '}':
        case ']':
            --depth;
            if (inList && depth == 2 && pageStart >= 0) {
                split.pages.append(QByteArrayView(text).sliced(pageStart, i + 1 - pageStart));
                pageStart = -1;
            } else if (inList && depth == 1) {
                listEnd = i;
            }
            break;
        case ' ':
        case '\n':
        case '\r':
        case '\t':
        case ',':
        case ':':
            break;
        default:
            if (inList && depth == 2)
                return std::nullopt; // a list member that is not an object
            break;
        }
    }
    if (listStart < 0 || listEnd < 0 || depth != 0)
        return std::nullopt;
    split.top = text.left(listStart + 1) + text.mid(listEnd);
    return split;
}

QString placeOf(QByteArrayView text, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, text.size());
    const QByteArrayView before = text.first(offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    return u"line %1, column %2"_s.arg(before.count('\n') + 1)
        .arg(QString::fromUtf8(before.sliced(lineStart)).size() + 1);
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
