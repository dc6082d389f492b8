#include "layoutjson.h"

#include "genericpage.h"
#include "pagetext.h"
#include "sharedblocks.h"
#include "tabletext.h"
#include "weaponpage.h"

#include <QJsonArray>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace TableText {

using JsonForm::JsonText;

KeyFault keyError(const KeyPath &path, const QString &problem)
{
    return KeyFault(path.text(), problem);
}

namespace {

struct RenamedKey
{
    const Layout *layout;
    QLatin1StringView was;
    QLatin1StringView now;
};

const RenamedKey kRenamedKeys[] = {
    { &PhysicsBlock::layout, "y"_L1, "rotational_velocity_y"_L1 },
    { &PhysicsBlock::layout, "z"_L1, "rotational_velocity_z"_L1 },
    { &PhysicsBlock::layout, "max_turn_roll_date"_L1, "max_turn_roll_rate"_L1 },
    { &WeaponPage::layout, "g_size"_L1, "gravity_size"_L1 },
    { &GenericPage::AiBlock::layout, "ai_curiousity"_L1, "ai_curiosity"_L1 },
    { &GenericPage::AiBlock::layout, "ai_lead_varience"_L1, "ai_lead_variance"_L1 },
    { &GenericPage::AiBlock::layout, "ai_agression"_L1, "ai_aggression"_L1 },
};

// A float as the shortest decimal that reads back to its 32 bits; a value JSON has no number
// for (infinity, NaN, and -0, which JSON writers print as 0) as the text of its bits.
QJsonValue floatToJson(quint32 bits)
{
    const float value = floatFromBits(bits);
    if (!std::isfinite(value) || (value == 0 && std::signbit(value)))
        return u"0x%1"_s.arg(bits, 8, 16, QChar(u'0'));
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    // The nearest double prints as the same shortest digits.
    return std::strtod(std::string(text, end).c_str(), nullptr);
}

quint32 floatFromJson(const QJsonValue &json, const KeyPath &path)
{
    if (json.isString()) {
        bool ok = false;
        const QString text = json.toString();
        const quint32 bits = text.mid(2).toUInt(&ok, 16);
        if (!text.startsWith(u"0x"_s) || !ok)
            throw keyError(path, u"a float is a number, or the bits of one as 0xNNNNNNNN"_s);
        return bits;
    }
    if (!json.isDouble())
        throw keyError(path, u"not a number"_s);
    // Most numbers are floats exactly (0, 1, 2.5): nothing to round.
    if (const double exact = json.toDouble(); double(float(exact)) == exact)
        return bitsFromFloat(float(exact));
    // Back to the digits written, then to the float they stand for, without rounding twice.
    const QByteArray digits =
        QByteArray::number(json.toDouble(), 'g', QLocale::FloatingPointShortest);
    float value = 0;
    const auto [end, error] = std::from_chars(digits.cbegin(), digits.cend(), value);
    if (error != std::errc() || end != digits.cend())
        throw keyError(path,
                       u"%1 is out of the range of a float"_s.arg(QString::fromLatin1(digits)));
    return bitsFromFloat(value);
}

} // namespace

QString escapedText(QByteArrayView bytes)
{
    const QString characters = textFromBytes(bytes);
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char byte) { return byte != '\\' && isPrintableByte(quint8(byte)); }))
        return characters; // most texts
    QString text;
    text.reserve(bytes.size() + 8);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = quint8(bytes[i]);
        if (byte == '\\')
            text += u"\\\\"_s;
        else if (isPrintableByte(byte))
            text += characters[i];
        else
            text += u"\\x%1"_s.arg(byte, 2, 16, QChar(u'0'));
    }
    return text;
}

std::optional<QByteArray> unescapedText(QStringView text, QString *problem)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c != u'\\') {
            const int byte = byteOf(c);
            if (byte < 0) {
                *problem = unstorableMessage(*unstorableCharacter(text.sliced(i)));
                return std::nullopt;
            }
            bytes += char(byte);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == u'\\') {
            bytes += '\\';
            ++i;
            continue;
        }
        bool ok = false;
        const int value = text.mid(i + 2, 2).toInt(&ok, 16);
        if (i + 3 >= text.size() || text[i + 1] != u'x' || !ok) {
            *problem = u"a backslash starts \\\\ or \\xNN"_s;
            return std::nullopt;
        }
        bytes += char(value);
        i += 3;
    }
    return bytes;
}

qint64 integerFromJson(const QJsonValue &json, qint64 min, qint64 max, const KeyPath &path)
{
    const double value = json.toDouble();
    if (!json.isDouble() || value != std::floor(value))
        throw keyError(path, u"not a whole number"_s);
    if (value < double(min) || value > double(max))
        throw keyError(path,
                       u"%1 is out of range (%2 to %3)"_s.arg(value, 0, 'f', 0).arg(min).arg(max));
    return qint64(value);
}

namespace {

QJsonValue fieldToJson(const FieldSpec &declared, const FieldValue &value, const Values &before)
{
    switch (declared.encoding) {
    case FieldEncoding::String:
        return escapedText(textOf(value));
    case FieldEncoding::Float:
        return floatToJson(std::get<NumberValue>(value).stored());
    case FieldEncoding::Int:
        return double(qint32(std::get<NumberValue>(value).stored()));
    case FieldEncoding::Byte:
    case FieldEncoding::Word:
        return double(std::get<NumberValue>(value).stored());
    case FieldEncoding::Choice: {
        const quint32 code = maskOf(value);
        const std::span<const ChoiceItem> choices = choicesOf(declared, &before);
        const int entry = choiceIndex(choices, code);
        return QJsonObject { { u"entry"_s,
                               entry < 0
                                   ? QJsonValue()
                                   : QJsonValue(QString::fromLatin1(choices[size_t(entry)].name)) },
                             { u"code"_s, double(code) } };
    }
    default: {
        const quint32 mask = maskOf(value);
        QJsonArray set;
        for (size_t bit = 0; bit < declared.items.size(); ++bit)
            if (mask & (1u << bit))
                set.append(QString::fromLatin1(declared.items[bit]));
        if (const quint32 other = mask & ~itemMask(declared))
            set.append(double(other));
        return set;
    }
    }
}

FieldValue fieldFromJson(const FieldSpec &declared, const QJsonValue &json, const Values &before,
                         const KeyPath &path)
{
    switch (declared.encoding) {
    case FieldEncoding::String: {
        if (!json.isString())
            throw keyError(path, u"not a text"_s);
        QString problem;
        if (std::optional<QByteArray> bytes = unescapedText(json.toString(), &problem))
            return *bytes;
        throw keyError(path, problem);
    }
    case FieldEncoding::Float:
        return NumberValue(declared.encoding, floatFromJson(json, path));
    case FieldEncoding::Int:
        return NumberValue(
            declared.encoding,
            quint32(qint32(integerFromJson(json, std::numeric_limits<qint32>::min(),
                                           std::numeric_limits<qint32>::max(), path))));
    case FieldEncoding::Byte:
        return NumberValue(declared.encoding, quint32(integerFromJson(json, 0, 0xff, path)));
    case FieldEncoding::Word:
        return NumberValue(declared.encoding, quint32(integerFromJson(json, 0, 0xffff, path)));
    case FieldEncoding::Choice: {
        if (!json.isObject())
            throw keyError(path, u"a choice is {\"entry\": ..., \"code\": ...}"_s);
        const QJsonObject choice = json.toObject();
        for (const QString &key : choice.keys())
            if (key != u"entry"_s && key != u"code"_s)
                throw keyError(KeyPath(path, key), u"no such key"_s);
        const std::span<const ChoiceItem> choices = choicesOf(declared, &before);
        std::optional<quint32> code;
        if (choice.contains(u"code"_s))
            code = quint32(integerFromJson(choice[u"code"_s], 0, 0xff, KeyPath(path, u"code"_s)));
        const QJsonValue entry = choice[u"entry"_s];
        if (entry.isString()) {
            const auto found =
                std::find_if(choices.begin(), choices.end(), [&](const ChoiceItem &choice) {
                    return QLatin1StringView(choice.name) == entry.toString();
                });
            if (found == choices.end())
                throw keyError(KeyPath(path, u"entry"_s),
                               u"\"%1\" is not one of the entries"_s.arg(entry.toString()));
            const quint32 entryCode = found->code;
            if (code && *code != entryCode)
                throw keyError(path,
                               u"the entry \"%1\" has the code %2, not %3"_s.arg(entry.toString())
                                   .arg(entryCode)
                                   .arg(*code));
            code = entryCode;
        } else if (!entry.isNull() && !entry.isUndefined()) {
            throw keyError(KeyPath(path, u"entry"_s), u"not a text"_s);
        }
        if (!code)
            throw keyError(path, u"a choice needs its entry or its code"_s);
        return *code;
    }
    default: {
        if (!json.isArray())
            throw keyError(path, u"a bit set is a list of item names and numbers"_s);
        quint32 mask = 0;
        for (const QJsonValue &member : json.toArray()) {
            if (member.isString()) {
                const auto found = std::find_if(
                    declared.items.begin(), declared.items.end(),
                    [&](const char *item) { return QLatin1StringView(item) == member.toString(); });
                if (found == declared.items.end())
                    throw keyError(path,
                                   u"\"%1\" is not one of the items"_s.arg(member.toString()));
                mask |= 1u << (found - declared.items.begin());
            } else {
                mask |= quint32(integerFromJson(member, 0, widestValue(declared.encoding), path));
            }
        }
        return mask;
    }
    }
}

// A layout of one field stands for its value alone: a run of names, a palette.
bool isSingleField(const Layout &layout)
{
    return layout.size() == 1 && layout[0].sort == Item::Sort::Field;
}

// An entry of plain fields that fits a line is written on one.
bool isSmall(const Layout &layout)
{
    return layout.size() <= 8 &&
        std::none_of(layout.items.begin(), layout.items.end(),
                     [](const Item &item) { return item.isBlock(); });
}

void writeEntry(JsonText &json, const Layout &layout, const Values &entry)
{
    if (isSingleField(layout)) {
        json.value(fieldToJson(layout[0].field, entry.field(0), entry));
        return;
    }
    const bool wasInline = json.isInline();
    json.setInline(wasInline || isSmall(layout));
    json.open('{');
    writeValues(json, layout, entry);
    json.close('}');
    json.setInline(wasInline);
}

// A count is the length of its list, and a flag of a block says whether it is null: neither is
// written as a value of its own.
} // namespace

void writeValues(JsonText &json, const Layout &layout, const Values &values)
{
    walkItems(layout, values, [&](const ItemStep &step) {
        const Item &item = step.item;
        if (step.role == ItemStep::Role::Count)
            return;
        json.key(keyOf(item));
        if (step.role != ItemStep::Role::Block) {
            json.value(fieldToJson(item.field, values.field(step.index), values));
            return;
        }
        const std::vector<Values> &entries = values.entries(step.index);
        if (!item.isList()) {
            if (entries.empty())
                json.value(QJsonValue()); // a flagged block without its entry
            else
                writeEntry(json, *item.block, entries.front());
            return;
        }
        // Plain values on one line; entries one to a line.
        const bool wasInline = json.setInline(isSingleField(*item.block));
        json.open('[');
        for (const Values &entry : entries) {
            json.member();
            writeEntry(json, *item.block, entry);
        }
        json.close(']');
        json.setInline(wasInline);
    });
}

namespace {

Values entryFromJson(const Layout &layout, const QJsonValue &json, const KeyPath &path)
{
    if (isSingleField(layout)) {
        Values entry;
        entry.items.resize(1);
        entry.field(0) = fieldFromJson(layout[0].field, json, entry, path);
        return entry;
    }
    if (!json.isObject())
        throw keyError(path, u"not an object"_s);
    return valuesFromJson(layout, json.toObject(), path);
}

// The entries of a block from its text: a list, or one entry, or null for a flagged block
// without its entry.
std::vector<Values> entriesFromJson(const Item &item, const QJsonValue &json, const KeyPath &at)
{
    std::vector<Values> entries;
    if (!item.isList()) {
        if (item.sort != Item::Sort::FlaggedBlock || !json.isNull())
            entries.push_back(entryFromJson(*item.block, json, at));
        return entries;
    }
    if (!json.isArray())
        throw keyError(at, u"not a list"_s);
    const QJsonArray list = json.toArray();
    if (item.sort == Item::Sort::CountedBlock && list.size() > item.maxCount)
        throw keyError(at,
                       u"%1 entries; at most %2 are allowed"_s.arg(list.size()).arg(item.maxCount));
    if (item.sort == Item::Sort::FixedBlock && list.size() != item.count)
        throw keyError(at, u"%1 entries; it has exactly %2"_s.arg(list.size()).arg(item.count));
    entries.reserve(size_t(list.size()));
    for (qsizetype n = 0; n < list.size(); ++n)
        entries.push_back(entryFromJson(*item.block, list[n], KeyPath(at, n)));
    return entries;
}

} // namespace

Values valuesFromJson(const Layout &layout, const QJsonObject &object, const KeyPath &path)
{
    Values values;
    values.items.resize(size_t(layout.size()));
    qsizetype known = 0;
    fillItems(layout, values, [&](const ItemStep &step) {
        const Item &item = step.item;
        const QString key = keyOf(item);
        const KeyPath at(path, key);
        if (step.role == ItemStep::Role::Count) {
            values.field(step.index) = initialValue(item.field); // until its list is read
            if (object.contains(key))
                throw keyError(at,
                               u"this is the length of \"%1\"; it is not given"_s.arg(
                                   keyOf(layout[step.other])));
            return;
        }
        const QJsonValue json = object[key];
        if (json.isUndefined()) {
            for (const RenamedKey &renamed : kRenamedKeys)
                if (renamed.layout == &layout && renamed.now == key && object.contains(renamed.was))
                    throw keyError(KeyPath(path, renamed.was),
                                   u"no such key; since version 2 of the text form it is "
                                   u"\"%1\""_s.arg(key));
            throw keyError(at, u"missing"_s);
        }
        ++known;
        if (step.role != ItemStep::Role::Block) {
            values.field(step.index) = fieldFromJson(item.field, json, values, at);
            return;
        }
        std::vector<Values> &entries = values.entries(step.index);
        entries = entriesFromJson(item, json, at);
        if (item.sort == Item::Sort::CountedBlock)
            values.field(step.other) =
                NumberValue(layout[step.other].field.encoding, quint32(entries.size()));
    });
    if (known == object.size())
        return values;
    // Which key is not the layout's, or not this page's: only now worth the search.
    std::vector<bool> there(size_t(layout.size()), false);
    walkItems(layout, values, [&](const ItemStep &step) { there[size_t(step.index)] = true; });
    for (int i = 0; i < layout.size(); ++i)
        if (!there[size_t(i)] && object.contains(keyOf(layout[i])))
            throw keyError(KeyPath(path, keyOf(layout[i])),
                           u"this page has no such value (it depends on the ones before it)"_s);
    QStringList keys;
    for (const Item &item : layout.items)
        keys.append(keyOf(item));
    for (const QString &key : object.keys())
        if (!keys.contains(key))
            throw keyError(KeyPath(path, key), u"no such key"_s);
    return values;
}

namespace {

void walkFields(const Layout &layout, const Values &values, std::vector<int> &items,
                std::vector<FieldAt::Step> &steps,
                const std::function<void(const FieldAt &)> &visit)
{
    walkItems(layout, values, [&](const ItemStep &step) {
        if (step.role == ItemStep::Role::Count)
            return;
        const Item &item = step.item;
        items.push_back(step.index);
        if (step.role != ItemStep::Role::Block) {
            steps.push_back({ &item, -1 });
            visit({ item.field, values.field(step.index), values, items, steps });
            steps.pop_back();
        } else {
            const std::vector<Values> &entries = values.entries(step.index);
            for (size_t n = 0; n < entries.size(); ++n) {
                steps.push_back({ &item, item.isList() ? qsizetype(n) : -1 });
                walkFields(*item.block, entries[n], items, steps, visit);
                steps.pop_back();
            }
        }
        items.pop_back();
    });
}

} // namespace

QString keyOf(const Item &item)
{
    const char *key = item.isBlock() ? item.block->name : item.field.key;
    // Keys are the layouts' own strings: one QString each, made once.
    thread_local QHash<const char *, QString> made;
    if (const auto found = made.constFind(key); found != made.cend())
        return *found;
    return made[key] = QString::fromLatin1(key);
}

QString keyOf(std::span<const FieldAt::Step> steps)
{
    QString key;
    for (size_t i = 0; i < steps.size(); ++i) {
        const FieldAt::Step &step = steps[i];
        // The value of a list's entry of one field is the entry: the list's key stands for it.
        if (i > 0 && !step.item->isBlock() && steps[i - 1].entry >= 0 &&
            isSingleField(*steps[i - 1].item->block))
            continue;
        if (!key.isEmpty())
            key += u'.';
        key += keyOf(*step.item);
        if (step.entry >= 0)
            key += u"[%1]"_s.arg(step.entry);
    }
    return key;
}

namespace {

// A caption as its label shows it: "&&" is an ampersand, a lone '&' marks the mnemonic, and a
// trailing colon belongs to the label rather than to the name.
QString shownCaption(const char *caption)
{
    QString text = QString::fromLatin1(caption);
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'&')
            text.remove(i, 1);
    text = text.trimmed();
    if (text.endsWith(u':'))
        text.chop(1);
    return text;
}

} // namespace

QString captionsOf(std::span<const FieldAt::Step> steps)
{
    QStringList captions;
    for (const FieldAt::Step &step : steps) {
        const Item &item = *step.item;
        if (!item.isBlock()) {
            captions.append(shownCaption(item.field.caption));
            continue;
        }
        if (!item.caption)
            continue;
        const QString caption = shownCaption(item.caption);
        if (step.entry < 0) {
            captions.append(caption);
        } else if (item.run > 0) {
            captions.append(caption.arg(step.entry / item.run + 1));
            captions.append(shownCaption(item.runCaption).arg(step.entry % item.run + 1));
        } else {
            captions.append(caption.arg(step.entry + 1));
        }
    }
    return captions.join(u" > "_s);
}

QString FieldAt::key() const
{
    return keyOf(steps);
}

QString FieldAt::captions() const
{
    return captionsOf(steps);
}

void forEachField(PageKind kind, const Values &values,
                  const std::function<void(const FieldAt &)> &visit)
{
    std::vector<int> items;
    std::vector<FieldAt::Step> steps;
    walkFields(*pageFormat(kind).layout, values, items, steps, visit);
}

void forEachField(const DecodedPage &page, const std::function<void(const FieldAt &)> &visit)
{
    forEachField(page.kind, page.body.values, visit);
}

QList<std::pair<QString, QJsonValue>> flatFields(const DecodedPage &page)
{
    QList<std::pair<QString, QJsonValue>> fields;
    forEachField(page, [&](const FieldAt &at) {
        fields.append({ at.key(), fieldToJson(at.field, at.value, at.entry) });
    });
    return fields;
}

} // namespace TableText
