#include "pagecolumns.h"

#include "pagetext.h"
#include "tableerror.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace PageColumns {

namespace {

using Steps = std::vector<TableText::FieldAt::Step>;

// A field that counts a list: the list's length is what it holds, so it is no column.
bool isCount(const Layout &layout, int item)
{
    const char *key = layout[item].field.key;
    return std::any_of(layout.items.begin(), layout.items.end(), [&](const Item &other) {
        return other.sort == Item::Sort::CountedBlock &&
            QLatin1StringView(other.dependsOn) == QLatin1StringView(key);
    });
}

// A list whose entries are one field each: the list's key with the entry stands for the field.
bool isSingleField(const Layout &layout)
{
    return layout.size() == 1 && layout[0].sort == Item::Sort::Field;
}

int mostEntries(const Item &list)
{
    return list.sort == Item::Sort::CountedBlock ? list.maxCount : list.count;
}

Column makeColumn(PageKind kind, std::vector<Column::Step> path, const Steps &steps, bool repeated)
{
    const Item &item = *steps.back().item;
    Column column;
    column.kind = kind;
    column.path = std::move(path);
    column.field = &item.field;
    column.key = TableText::keyOf(steps);
    column.caption = TableText::captionsOf(std::span(&steps.back(), 1));
    column.captions = TableText::captionsOf(steps);
    column.repeated = repeated;
    column.isName = column.path.size() == 1 && column.path[0].item == pageFormat(kind).nameItem;
    return column;
}

struct ColumnWalk
{
    PageKind kind;
    const ListEntries &entries;
    QList<Column> columns;
    std::vector<Column::Step> path;
    Steps steps;
    int inLists = 0;

    void walk(const Layout &layout)
    {
        for (int i = 0; i < layout.size(); ++i) {
            const Item &item = layout[i];
            if (item.sort == Item::Sort::Hidden || (!item.isBlock() && isCount(layout, i)))
                continue;
            if (!item.isBlock()) {
                path.push_back({ i, -1 });
                steps.push_back({ &item, -1 });
                columns.append(makeColumn(kind, path, steps, inLists > 0));
                path.pop_back();
                steps.pop_back();
            } else if (!item.isList()) {
                enter(item, i, 0, -1);
            } else if (entries) {
                steps.push_back({ &item, -1 });
                const int count =
                    std::min(entries(TableText::keyOf(steps), item), mostEntries(item));
                steps.pop_back();
                ++inLists;
                for (int entry = 0; entry < count; ++entry)
                    enter(item, i, entry, entry);
                --inLists;
            }
        }
    }

    void enter(const Item &item, int index, int entry, int shownEntry)
    {
        path.push_back({ index, entry });
        steps.push_back({ &item, shownEntry });
        walk(*item.block);
        path.pop_back();
        steps.pop_back();
    }
};

void countEntries(const Layout &layout, const Values &values, Steps &steps,
                  QHash<QString, int> &most)
{
    for (int i = 0; i < layout.size(); ++i) {
        const Item &item = layout[i];
        if (!item.isBlock() || size_t(i) >= values.items.size())
            continue;
        const std::vector<Values> &entries = values.entries(i);
        const bool list = item.isList();
        if (list) {
            steps.push_back({ &item, -1 });
            int &count = most[TableText::keyOf(steps)];
            count = std::max(count, int(entries.size()));
            steps.pop_back();
        }
        for (size_t entry = 0; entry < entries.size(); ++entry) {
            steps.push_back({ &item, list ? qsizetype(entry) : -1 });
            countEntries(*item.block, entries[entry], steps, most);
            steps.pop_back();
        }
    }
}

// Walks a page's values along a column's path to the entry holding its field; nullptr when
// the page has no such field.
template<typename V> V *entryOf(V &page, const Column &column)
{
    const Layout *layout = pageFormat(column.kind).layout;
    V *values = &page;
    for (const Column::Step &step : column.path) {
        if (size_t(step.item) >= values->items.size())
            return nullptr;
        const Item &item = (*layout)[step.item];
        if (item.present && !item.present(*values))
            return nullptr;
        if (step.entry < 0)
            return values;
        auto &entries = values->entries(step.item);
        if (size_t(step.entry) >= entries.size())
            return nullptr;
        values = &entries[size_t(step.entry)];
        layout = item.block;
    }
    return nullptr;
}

// The layout that holds the column's field.
const Layout &layoutOf(const Column &column)
{
    const Layout *layout = pageFormat(column.kind).layout;
    for (size_t i = 0; i + 1 < column.path.size(); ++i)
        layout = (*layout)[column.path[i].item].block;
    return *layout;
}

// A float as the shortest decimal that reads back to its bits; a NaN other than the one "NAN"
// reads as, and -0, as its bits.
QString exactFloat(quint32 bits)
{
    const float value = floatFromBits(bits);
    if (std::isinf(value))
        return NumberText::fromFloat(value);
    if (std::isnan(value) || (value == 0 && std::signbit(value))) {
        const NumberText::FloatResult shown = NumberText::toFloat(NumberText::fromFloat(value));
        if (shown.status == NumberText::FloatStatus::Ok && bitsFromFloat(shown.value) == bits)
            return NumberText::fromFloat(value);
        return u"0x%1"_s.arg(bits, 8, 16, QChar(u'0'));
    }
    char digits[32];
    const char *const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return QString::fromLatin1(digits, end - digits).toUpper();
}

std::optional<quint32> bitsText(const QString &text)
{
    static const QRegularExpression bits(u"^0x[0-9a-fA-F]{8}$"_s);
    if (!bits.match(text).hasMatch())
        return std::nullopt;
    return text.mid(2).toUInt(nullptr, 16);
}

QString outOfRange(qint64 value, qint64 min, qint64 max)
{
    return u"%1 is out of range (%2 to %3)"_s.arg(value).arg(min).arg(max);
}

// An integer field's value, checked as its field checks it and against what it stores.
Parsed integerValue(const FieldSpec &field, qint64 value)
{
    const qint64 min =
        field.encoding == FieldEncoding::Int ? std::numeric_limits<qint32>::min() : 0;
    const qint64 max = field.encoding == FieldEncoding::Int ? std::numeric_limits<qint32>::max()
                                                            : qint64(widestValue(field.encoding));
    if (value < min || value > max)
        return outOfRange(value, min, max);
    if (const std::optional<QString> problem = checkField(field, QString::number(value)))
        return *problem;
    return NumberValue(field.encoding, quint32(qint32(value)));
}

Parsed numberValue(const FieldSpec &field, const QString &text)
{
    const NumberField check = field.check.value_or(
        field.encoding == FieldEncoding::Float ? NumberField::Float : NumberField::Integer);
    const QString message = field.checkMessage ? QString::fromLatin1(field.checkMessage)
        : check == NumberField::Float          ? QString(kFloatFieldMessage)
                                               : QString(kIntegerFieldMessage);
    if (field.encoding == FieldEncoding::Float) {
        if (const std::optional<quint32> bits = bitsText(text.trimmed()))
            return NumberValue(field.encoding, *bits);
        const NumberText::FloatResult value = NumberText::toFloat(text);
        if (text.trimmed().isEmpty() || value.status != NumberText::FloatStatus::Ok)
            return message;
        return NumberValue(field.encoding, bitsFromFloat(value.value));
    }
    const std::optional<qint32> value = NumberText::toInt(text);
    if (!value) {
        // A number past 32 bits is out of range rather than no number.
        bool ok = false;
        const qint64 wide = text.trimmed().toLongLong(&ok);
        return ok ? Parsed(outOfRange(wide, 0, widestValue(field.encoding))) : Parsed(message);
    }
    return integerValue(field, *value);
}

Parsed choiceValue(const Column &column, const Cell &cell, const QString &text)
{
    const QString name = text.trimmed();
    if (!column.field->unknown)
        for (const ChoiceItem &item : choicesOf(*column.field, cell.entry))
            if (QLatin1StringView(item.name) == name)
                return quint32(item.code);
    bool ok = false;
    const uint code = name.toUInt(&ok);
    if (!ok)
        return u"\"%1\" is not one of the entries"_s.arg(name);
    if (code > 0xff)
        return outOfRange(code, 0, 0xff);
    return quint32(code);
}

Parsed maskValue(const FieldSpec &field, const QString &text)
{
    quint32 mask = 0;
    for (const QString &part : text.split(u'|', Qt::SkipEmptyParts)) {
        const QString name = part.trimmed();
        const auto found =
            std::find_if(field.items.begin(), field.items.end(),
                         [&](const char *item) { return QLatin1StringView(item) == name; });
        if (!field.unknown && found != field.items.end()) {
            mask |= 1u << (found - field.items.begin());
            continue;
        }
        bool ok = false;
        const qulonglong bits =
            name.startsWith(u"0x"_s) ? name.mid(2).toULongLong(&ok, 16) : name.toULongLong(&ok);
        if (!ok)
            return u"\"%1\" is not one of the items"_s.arg(name);
        if (bits > widestValue(field.encoding))
            return outOfRange(qint64(bits), 0, widestValue(field.encoding));
        mask |= quint32(bits);
    }
    return mask;
}

Parsed shownText(const QString &text)
{
    if (const std::optional<char32_t> unstorable = unstorableCharacter(text))
        return unstorableMessage(*unstorable);
    return bytesFromText(text);
}

} // namespace

QList<Column> columnsOf(PageKind kind, const ListEntries &entries)
{
    ColumnWalk walk { kind, entries, {}, {}, {} };
    walk.walk(*pageFormat(kind).layout);
    return walk.columns;
}

ListEntries entriesOf(PageKind kind, std::span<const Values *const> pages)
{
    QHash<QString, int> most;
    Steps steps;
    for (const Values *page : pages)
        if (page)
            countEntries(*pageFormat(kind).layout, *page, steps, most);
    return [most](const QString &key, const Item &) { return most.value(key); };
}

std::optional<Column> columnOf(PageKind kind, QStringView key)
{
    static const QRegularExpression part(u"^([a-z0-9_]+)(?:\\[([0-9]+)\\])?$"_s);
    const Layout *layout = pageFormat(kind).layout;
    std::vector<Column::Step> path;
    Steps steps;
    bool repeated = false;
    const QList<QStringView> parts = key.split(u'.');
    for (qsizetype p = 0; p < parts.size(); ++p) {
        const QRegularExpressionMatch match = part.match(parts[p].toString());
        if (!match.hasMatch())
            return std::nullopt;
        const QString name = match.captured(1);
        const bool indexed = match.hasCaptured(2);
        const int index = match.captured(2).toInt();
        const auto found =
            std::find_if(layout->items.begin(), layout->items.end(), [&](const Item &item) {
                return item.sort != Item::Sort::Hidden && TableText::keyOf(item) == name;
            });
        if (found == layout->items.end())
            return std::nullopt;
        const Item &item = *found;
        const int at = int(found - layout->items.begin());
        const bool last = p == parts.size() - 1;
        if (!item.isBlock()) {
            if (indexed || !last || isCount(*layout, at))
                return std::nullopt;
            path.push_back({ at, -1 });
            steps.push_back({ &item, -1 });
            break;
        }
        if (indexed != item.isList() || (indexed && index >= mostEntries(item)))
            return std::nullopt;
        path.push_back({ at, indexed ? index : 0 });
        steps.push_back({ &item, indexed ? index : -1 });
        repeated = repeated || indexed;
        layout = item.block;
        if (last) {
            if (!indexed || !isSingleField(*layout))
                return std::nullopt;
            path.push_back({ 0, -1 });
            steps.push_back({ &(*layout)[0], -1 });
        }
    }
    Column column = makeColumn(kind, std::move(path), steps, repeated);
    // One spelling per column: "weapons[03]" is no key.
    if (column.key != key)
        return std::nullopt;
    return column;
}

Cell cellOf(const Values &page, const Column &column)
{
    const Values *entry = entryOf(page, column);
    if (!entry)
        return {};
    return { &entry->field(column.path.back().item), entry };
}

bool isEditable(const Column &column)
{
    return !column.isName && !column.field->unknown;
}

QString textOf(const Column &column, const Cell &cell, Form form)
{
    if (!cell.value)
        return {};
    const FieldSpec &field = *column.field;
    const FieldValue &value = *cell.value;
    if (field.encoding == FieldEncoding::String)
        return form == Form::Shown ? textFromBytes(textOf(value))
                                   : TableText::escapedText(textOf(value));
    if (isNumber(field.encoding)) {
        const NumberValue &number = std::get<NumberValue>(value);
        return form == Form::Exact && field.encoding == FieldEncoding::Float && !number.isTyped()
            ? exactFloat(number.stored())
            : number.text();
    }
    const quint32 code = maskOf(value);
    if (field.unknown)
        return QString::number(code);
    if (field.encoding == FieldEncoding::Choice) {
        const std::span<const ChoiceItem> choices = choicesOf(field, cell.entry);
        const int index = choiceIndex(choices, code);
        return index < 0 ? QString::number(code) : QString::fromLatin1(choices[size_t(index)].name);
    }
    QStringList set;
    quint32 named = 0;
    for (size_t bit = 0; bit < field.items.size() && bit < 32; ++bit) {
        if (!*field.items[bit])
            continue; // a bit no item names is a number, as one past the items is
        named |= 1u << bit;
        if (code & (1u << bit))
            set.append(QString::fromLatin1(field.items[bit]));
    }
    if (const quint32 other = code & ~named)
        set.append(QString::number(other));
    return set.join(u'|');
}

std::optional<double> numberOf(const Column &column, const Cell &cell)
{
    if (!cell.value || !isNumber(column.field->encoding))
        return std::nullopt;
    const quint32 stored = std::get<NumberValue>(*cell.value).stored();
    switch (column.field->encoding) {
    case FieldEncoding::Float:
        return floatFromBits(stored);
    case FieldEncoding::Int:
        return qint32(stored);
    default:
        return stored;
    }
}

Parsed parse(const Column &column, const Cell &cell, const QString &text, Form form)
{
    if (cell.value && text == textOf(column, cell, form))
        return *cell.value;
    const FieldSpec &field = *column.field;
    if (field.encoding == FieldEncoding::String) {
        if (form == Form::Shown)
            return shownText(text);
        QString problem;
        const std::optional<QByteArray> bytes = TableText::unescapedText(text, &problem);
        return bytes ? Parsed(*bytes) : Parsed(problem);
    }
    if (isNumber(field.encoding))
        return numberValue(field, text);
    if (field.encoding == FieldEncoding::Choice)
        return choiceValue(column, cell, text);
    return maskValue(field, text);
}

bool sameValue(const FieldValue &a, const FieldValue &b)
{
    if (a.index() != b.index())
        return false;
    if (const auto *number = std::get_if<NumberValue>(&a)) {
        const NumberValue &other = std::get<NumberValue>(b);
        if (number->isTyped() || other.isTyped())
            return number->text() == other.text();
        return number->stored() == other.stored();
    }
    return a == b;
}

bool setValue(Values &page, const Column &column, const FieldValue &value)
{
    Values *entry = entryOf(page, column);
    if (!entry)
        return false;
    const int at = column.path.back().item;
    entry->field(at) = value;
    // A flag that says whether a block is there gives or takes the block, so that the record
    // says what it holds.
    const Layout &layout = layoutOf(column);
    for (int i = 0; i < layout.size(); ++i) {
        const Item &item = layout[i];
        if (item.sort != Item::Sort::FlaggedBlock ||
            QLatin1StringView(item.dependsOn) != QLatin1StringView(column.field->key))
            continue;
        std::vector<Values> &entries = entry->entries(i);
        const bool flagged = (maskOf(value) & item.flagMask) == item.flagMask;
        if (flagged && entries.empty())
            entries.push_back(blankValues(*item.block));
        else if (!flagged)
            entries.clear();
    }
    return true;
}

bool takes(const Column &column, Edit::Op op)
{
    if (!isEditable(column))
        return false;
    const FieldEncoding encoding = column.field->encoding;
    switch (op) {
    case Edit::Op::Set:
        return true;
    case Edit::Op::Add:
    case Edit::Op::Multiply:
        return isNumber(encoding);
    case Edit::Op::Replace:
        return encoding == FieldEncoding::String;
    case Edit::Op::SetFlag:
    case Edit::Op::ClearFlag:
        return isBitSet(encoding);
    }
    return false;
}

Parsed edited(const Column &column, const Cell &cell, const Edit &edit)
{
    if (!cell.value)
        return u"this page has no such field"_s;
    const FieldSpec &field = *column.field;
    switch (edit.op) {
    case Edit::Op::Set:
        return parse(column, cell, edit.text, Form::Shown);
    case Edit::Op::Replace: {
        if (edit.text.isEmpty())
            return u"there is nothing to find"_s;
        QString text = textFromBytes(textOf(*cell.value));
        return shownText(text.replace(edit.text, edit.with));
    }
    case Edit::Op::SetFlag:
    case Edit::Op::ClearFlag: {
        const quint32 bit = 1u << edit.bit;
        const quint32 mask = maskOf(*cell.value);
        return edit.op == Edit::Op::SetFlag ? mask | bit : mask & ~bit;
    }
    case Edit::Op::Add:
    case Edit::Op::Multiply:
        break;
    }
    const NumberText::FloatResult operand = NumberText::toFloat(edit.text);
    bool ok = false;
    const double by = edit.text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(by) || operand.status == NumberText::FloatStatus::Invalid)
        return u"\"%1\" is not a number"_s.arg(edit.text.trimmed());
    const double value = *numberOf(column, cell);
    const double result = edit.op == Edit::Op::Add ? value + by : value * by;
    if (field.encoding == FieldEncoding::Float) {
        const auto single = float(result);
        if (std::isfinite(value) && !std::isfinite(single))
            return u"%1 is out of the range of a float"_s.arg(result);
        if (single == floatFromBits(std::get<NumberValue>(*cell.value).stored()))
            return *cell.value; // keeps -0 and a NaN's bits
        return NumberValue(field.encoding, bitsFromFloat(single));
    }
    const double rounded = std::round(result);
    if (rounded < -9.2e18 || rounded > 9.2e18)
        return u"%1 is out of range"_s.arg(result);
    return integerValue(field, qint64(rounded));
}

} // namespace PageColumns
