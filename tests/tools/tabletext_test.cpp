#include "tabletext.h"

#include "tablebuilder.h"
#include "testhelpers.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>

#include <map>

#include <functional>
#include <limits>
#include <vector>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Through the text and back, as dump then build do.
QByteArray throughText(const QByteArray &table)
{
    return TableText::buildTable(TableText::dumpTable(table));
}

// "line L, column C: " of the first place of `what` in the text.
QString placeOf(const QByteArray &text, const QByteArray &what)
{
    const QByteArray before = text.left(text.indexOf(what));
    return u"line %1, column %2: "_s.arg(before.count('\n') + 1)
        .arg(before.size() - before.lastIndexOf('\n'));
}

QJsonObject pageText(const QByteArray &record)
{
    return TableText::tableToJson(record)[u"pages"_s][0].toObject();
}

} // namespace

TEST(TableTextTest, EveryTableComesBackByteForByte)
{
    for (const quint8 kind :
         { kind::texture, kind::sound, kind::weapon, kind::door, kind::ship, kind::generic })
        EXPECT_EQ(throughText(awkwardPage(kind)), awkwardPage(kind)) << int(kind);
    EXPECT_EQ(throughText(demoTable()), demoTable());
}

TEST(TableTextTest, WhatDoesNotDecodeIsKeptRawWithItsReason)
{
    testsupport::SoundPage older;
    older.version = 2;
    testsupport::GenericPage hydra;
    hydra.deaths.resize(5);
    const QByteArray pass = passThroughRecord("level settings");
    const QByteArray unknown = record(3, 1, "unknown kind");
    const QByteArray rest = DoorPage().record().mid(5) + "x";
    const QByteArray leftOver = recordWithLength(kind::door, quint32(rest.size() + 4), rest);
    const QByteArray all =
        table({ sound("a"), older.record(), hydra.record(), pass, unknown, leftOver }) + "\x07\x01";
    EXPECT_EQ(throughText(all), all);

    const QJsonObject text = TableText::tableToJson(all);
    QStringList notes;
    for (const QJsonValue page : text[u"pages"_s].toArray())
        notes.append(page[u"note"_s].toString());
    EXPECT_EQ(notes,
              QStringList({ {},
                            u"version 2; the program reads version 1"_s,
                            u"damaged page: its death block lists 5 death types; at most "
                            u"4 are allowed"_s,
                            u"a page the program passes through"_s,
                            u"a kind the program does not know"_s,
                            u"bytes left over after its body"_s }));
    EXPECT_EQ(text[u"trailing"_s].toString(), u"BwE="_s);

    // A length too short for a header ends the pages: the rest is kept as it is, not as a page
    // for each byte.
    const QByteArray damaged = sound("a") + QByteArray(40, '\0') + sound("b");
    EXPECT_EQ(throughText(damaged), damaged);
    const QJsonObject cut = TableText::tableToJson(damaged);
    EXPECT_EQ(cut[u"pages"_s].toArray().size(), 1);
    EXPECT_EQ(QByteArray::fromBase64(cut[u"trailing"_s].toString().toLatin1()),
              damaged.mid(sound("a").size()));
}

TEST(TableTextTest, FieldsReadAsTheyAreStored)
{
    testsupport::SoundPage page;
    page.name = "back\\slash \xe9\t";
    page.flags = qint32(0x80000001u);
    page.outerConeVolume = 0.1f;
    page.minDistance = -0.0f;
    page.maxDistance = std::numeric_limits<float>::infinity();
    const QJsonObject fields = pageText(page.record())[u"fields"_s].toObject();
    EXPECT_EQ(fields[u"sound_name"_s].toString(), u"back\\\\slash \u00e9\\x09"_s);
    EXPECT_EQ(fields[u"flags"_s].toArray(), QJsonArray({ u"Looped"_s, 2147483648.0 }));
    EXPECT_EQ(
        QJsonDocument(QJsonArray { fields[u"outer_cone_volume"_s] }).toJson(QJsonDocument::Compact),
        "[0.1]"); // the shortest digits, not 0.10000000149
    EXPECT_EQ(fields[u"min_distance"_s].toString(), u"0x80000000"_s);
    EXPECT_EQ(fields[u"max_distance"_s].toString(), u"0x7f800000"_s);

    const QJsonObject generic = pageText(genericPage("Orb", 7))[u"fields"_s].toObject();
    EXPECT_EQ(generic[u"object_type"_s].toObject(),
              QJsonObject({ { u"entry"_s, u"Powerup"_s }, { u"code"_s, 7 } }));
    EXPECT_EQ(generic[u"ammo"_s].toInt(), 0);
    EXPECT_EQ(generic[u"deaths"_s][u"types"_s].toArray().size(), 1);
    EXPECT_EQ(generic[u"gunpoint_names"_s].toArray().size(), 168);
}

TEST(TableTextTest, ATextThatCannotBeAPageNamesThePageAndTheKey)
{
    const QJsonObject good = TableText::tableToJson(table({ sound("a"), genericPage("Crate") }));
    const auto edited = [&](const std::function<void(QJsonObject &)> &edit) {
        QJsonObject document = good;
        QJsonArray pages = document[u"pages"_s].toArray();
        QJsonObject page = pages[1].toObject();
        QJsonObject fields = page[u"fields"_s].toObject();
        edit(fields);
        page[u"fields"_s] = fields;
        pages[1] = page;
        document[u"pages"_s] = pages;
        return tableErrorOf([&] { TableText::tableFromJson(document); });
    };
    const QString at = u"page 2 (\"Crate\"): key "_s;
    EXPECT_EQ(edited([](QJsonObject &f) { f[u"scroe"_s] = 1; }), at + u"\"scroe\": no such key"_s);
    EXPECT_EQ(edited([](QJsonObject &f) { f.remove(u"score"_s); }), at + u"\"score\": missing"_s);
    EXPECT_EQ(edited([](QJsonObject &f) { f[u"score"_s] = 70000; }),
              at + u"\"score\": 70000 is out of range (0 to 65535)"_s);
    EXPECT_EQ(edited([](QJsonObject &f) { f[u"damage"_s] = u"lots"_s; }),
              at + u"\"damage\": a float is a number, or the bits of one as 0xNNNNNNNN"_s);
    EXPECT_EQ(edited([](QJsonObject &f) { f[u"ammo"_s] = 5; }),
              at + u"\"ammo\": this page has no such value (it depends on the ones before it)"_s);
    EXPECT_EQ(
        edited([](QJsonObject &f) {
            f[u"object_type"_s] = QJsonObject { { u"entry"_s, u"Powerup"_s }, { u"code"_s, 2 } };
        }),
        at + u"\"object_type\": the entry \"Powerup\" has the code 7, not 2"_s);
    EXPECT_EQ(edited([](QJsonObject &f) { f[u"flags"_s] = QJsonArray { u"Flying"_s }; }),
              at + u"\"flags\": \"Flying\" is not one of the items"_s);
    EXPECT_EQ(edited([](QJsonObject &f) { f[u"module_name"_s] = u"a\\b"_s; }),
              at + u"\"module_name\": a backslash starts \\\\ or \\xNN"_s);
    EXPECT_EQ(edited([](QJsonObject &f) {
                  QJsonObject deaths = f[u"deaths"_s].toObject();
                  deaths[u"types"_s] = QJsonArray { {}, {}, {}, {}, {} };
                  f[u"deaths"_s] = deaths;
              }),
              at + u"\"deaths.types\": 5 entries; at most 4 are allowed"_s);
    EXPECT_EQ(edited([](QJsonObject &f) {
                  QJsonObject deaths = f[u"deaths"_s].toObject();
                  deaths[u"number_of_deaths"_s] = 3; // was silently ignored
                  f[u"deaths"_s] = deaths;
              }),
              at +
                  u"\"deaths.number_of_deaths\": this is the length of \"types\"; it is not "
                  u"given"_s);
    EXPECT_EQ(edited([](QJsonObject &f) {
                  QJsonArray names = f[u"gunpoint_names"_s].toArray();
                  names[3] = 4;
                  f[u"gunpoint_names"_s] = names;
              }),
              at + u"\"gunpoint_names[3]\": not a text"_s);

    // A robot made a powerup gets its ammo.
    QJsonObject fields = good[u"pages"_s][1][u"fields"_s].toObject();
    fields[u"object_type"_s] = QJsonObject { { u"entry"_s, u"Powerup"_s } };
    fields[u"ammo"_s] = 0;
    EXPECT_EQ(TableText::pageFromJson(
                  { { u"kind"_s, u"generic"_s }, { u"version"_s, 27 }, { u"fields"_s, fields } }),
              genericPage("Crate", 7));
}

TEST(TableTextTest, EveryFieldOfEveryKindHasAKeyOfItsOwn)
{
    for (const quint8 kind :
         { kind::texture, kind::sound, kind::weapon, kind::door, kind::ship, kind::generic }) {
        const std::optional<TableText::DecodedPage> page = TableText::decodePage(awkwardPage(kind));
        ASSERT_TRUE(page);
        QSet<QString> keys;
        for (const auto &[key, value] : TableText::flatFields(*page)) {
            EXPECT_FALSE(keys.contains(key)) << key.toStdString();
            keys.insert(key);
        }
    }
}

TEST(TableTextTest, AFullTableComesBackByteForByte)
{
    // Every kind at its capacity; every hundredth page of a kind with fields is its awkward one.
    QList<QByteArray> records;
    for (const KindInfo &info : kKinds) {
        for (int n = 0; n < info.capacity; ++n) {
            const QByteArray name = "Page " + QByteArray::number(n);
            if (!isEdited(info.kind)) {
                records.append(passThroughRecord(name));
            } else if (n % 100 == 0) {
                records.append(awkwardPage(quint8(info.kind)));
            } else {
                const PageFormat &format = pageFormat(info.kind);
                PageBody body = PageBody::blank(format);
                body.values.field(format.nameItem) = name;
                records.append(body.record(format));
            }
        }
    }
    const QByteArray full = table(records);
    EXPECT_EQ(TableText::buildTable(TableText::dumpTable(full)), full);
}

// The text is read a piece at a time. In any whitespace, with brackets, quotes and backslashes
// in its texts, it builds to its table; where it is not JSON, even after many pages, it fails
// as parsing it whole does, at the same line and column.
TEST(TableTextTest, ATextBuildsOrSaysWhereItIsNotJsonWhereverThatIs)
{
    testsupport::SoundPage odd;
    odd.name = "\"pages\": [{\\\"}]\\";
    QList<QByteArray> records = { odd.record() };
    for (int i = 0; i < 1600; ++i) // more text than is built at a time
        records.append(passThroughRecord(QByteArray(1000, 'x')));
    odd.name = "]}\\";
    records += { odd.record(), sound("last") };
    const QByteArray file = table(records);
    const QByteArray text = TableText::dumpTable(file);
    const qsizetype comma = text.lastIndexOf("},\n    {") + 1, last = comma + 6;
    const auto asWhole = [](const QByteArray &text) {
        QJsonParseError error;
        QJsonDocument::fromJson(text, &error);
        return placeOf(text.left(error.offset) + '$', "$") + u"not valid JSON: "_s +
            error.errorString();
    };
    const std::pair<QByteArray, bool> cases[] = {
        { text, true },
        { QJsonDocument::fromJson(text).toJson(QJsonDocument::Compact), true },
        { QByteArray(text).replace("\n", "\r\n \t\n").replace("\"pages\": [", "\"pages\"\n :\t[\n"),
          true },
        { text.left(last + 30), false },
        { QByteArray(text).remove(comma, 1), false },
        { QByteArray(text).insert(last + 1, "\"kind\" \"sound\","), false },
        { text.left(text.size() - 12), false },
        { text + "x", false },
    };
    for (const auto &[given, builds] : cases) {
        if (builds)
            EXPECT_EQ(TableText::buildTable(given), file);
        else
            EXPECT_EQ(tableErrorOf([&] { TableText::buildTable(given); }), asWhole(given));
    }
    const QByteArray wrong = QByteArray(text).insert(last + 1, "\"kynd\": 1,");
    EXPECT_EQ(tableErrorOf([&] { TableText::buildTable(wrong); }),
              placeOf(wrong, "\"kynd\"") + u"page 1603 (\"last\"): key \"kynd\": no such key"_s);
}

TEST(TableTextTest, AFaultInAPageSaysItsLineAndAKeyGivenTwiceIsOne)
{
    DoorPage hatch;
    hatch.name = "Hatch";
    const QByteArray text = TableText::dumpTable(table({ sound("a"), hatch.record() }));
    QByteArray wrong = text;
    wrong.replace("\"hit_points\": 0", "\"hit_points\": -1");
    EXPECT_EQ(tableErrorOf([&] { TableText::buildTable(wrong); }),
              placeOf(wrong, "\"hit_points\"") +
                  u"page 2 (\"Hatch\"): key \"hit_points\": -1 is out of range (0 to 65535)"_s);

    // JSON parsers keep one of the two values silently; build names the second.
    QByteArray twice = text;
    twice.replace("\"open_time\": 0,", "\"open_time\": 1.5, \"close_time\": 2.5,");
    EXPECT_EQ(tableErrorOf([&] { TableText::buildTable(twice); }),
              placeOf(twice, "\"close_time\": 2.5") +
                  u"page 2 (\"Hatch\"): key \"close_time\": given twice"_s);
    // On one line, and at the top.
    QByteArray compact = QJsonDocument::fromJson(text).toJson(QJsonDocument::Compact);
    compact.replace("\"pages\":[", "\"pages\":[{\"raw\":\"\",\"raw\":\"\"},");
    EXPECT_EQ(tableErrorOf([&] { TableText::buildTable(compact); }),
              placeOf(compact, "\"raw\":\"\"}") + u"page 1: key \"raw\": given twice"_s);
    compact = QJsonDocument::fromJson(text).toJson(QJsonDocument::Compact);
    compact.replace(",\"vktable\":3}", ",\"vktable\":3,\"vktable\":3}");
    EXPECT_EQ(tableErrorOf([&] { TableText::buildTable(compact); }),
              placeOf(compact, "\"vktable\":3}") + u"key \"vktable\": given twice"_s);
}

TEST(TableTextTest, AKeyRenamedSinceVersionOneIsNamedWithItsNewSpelling)
{
    QByteArray text = TableText::dumpTable(table({ weaponPage("Laser") }));
    EXPECT_TRUE(text.contains("\"vktable\": 3"));
    const QByteArray current = TableText::buildTable(text);
    text.replace("\"vktable\": 3", "\"vktable\": 1");
    EXPECT_EQ(TableText::buildTable(text), current); // nothing else changed
    text.replace("\"rotational_velocity_y\"", "\"y\"");
    EXPECT_EQ(tableErrorOf([&] { TableText::buildTable(text); }),
              placeOf(text, "\"y\"") +
                  u"page 1 (\"Laser\"): key \"physics.y\": no such key; since version 2 of the "
                  u"text form it is \"rotational_velocity_y\""_s);
    text.replace("\"vktable\": 1", "\"vktable\": 4");
    EXPECT_EQ(tableErrorOf([&] { TableText::buildTable(text); }),
              u"not a table as text of a version this vktable reads: \"vktable\" is not 1 to 3"_s);
}

TEST(TableTextTest, TextsAreWindows1252CharactersAndAVersionTwoTextBuildsToTheSameBytes)
{
    testsupport::SoundPage hangar;
    hangar.name = "Hangar d\xf6or \x80\x01\x81";
    const QByteArray file = table({ hangar.record() });
    const QByteArray text = TableText::dumpTable(file);
    EXPECT_TRUE(text.contains("\"Hangar d\xc3\xb6or \xe2\x82\xac\\\\x01\\\\x81\"")) << text.data();
    EXPECT_EQ(TableText::buildTable(text), file);
    QByteArray older = text;
    older.replace("\"vktable\": 3", "\"vktable\": 2")
        .replace("d\xc3\xb6or \xe2\x82\xac", "d\\\\xf6or \\\\x80");
    EXPECT_EQ(TableText::buildTable(older), file);
    QByteArray wrong = text;
    wrong.replace("\"sound_filename\": \"", "\"sound_filename\": \"\xc5\x91");
    EXPECT_EQ(tableErrorOf([&] { TableText::buildTable(wrong); }),
              placeOf(wrong, "\"sound_filename\"") +
                  u"page 1 (\"Hangar d\u00f6or \u20ac\\x01\\x81\"): key \"sound_filename\": The "
                  u"character \"\u0151\" (U+0151) cannot be stored in a table file: its texts are "
                  u"Windows-1252"_s);
}

namespace {

// Every layout item a page of the kind holds, with the layout that holds it.
void forEachItem(const Layout &layout,
                 const std::function<void(const Layout &, const Item &)> &visit)
{
    for (const Item &item : layout.items) {
        visit(layout, item);
        if (item.isBlock())
            forEachItem(*item.block, visit);
    }
}

// Every field a page of the kind can hold, by the steps that lead to it: each entry of every
// list, a counted one at its longest.
void forEachPath(const Layout &layout, std::vector<TableText::FieldAt::Step> &steps,
                 const std::function<void()> &visit)
{
    for (const Item &item : layout.items) {
        const int entries = !item.isList()          ? 1
            : item.sort == Item::Sort::CountedBlock ? item.maxCount
                                                    : item.count;
        for (int n = 0; n < entries; ++n) {
            steps.push_back({ &item, item.isList() ? n : -1 });
            if (item.isBlock())
                forEachPath(*item.block, steps, visit);
            else
                visit();
            steps.pop_back();
        }
    }
}

} // namespace

// The windows and entries that lead to a field, as the windows name and count them: a list
// entry that shared its captions with another would send the user to the wrong one.
TEST(TableTextTest, EveryFieldHasCaptionsOfItsOwn)
{
    for (const PageKind kind : kEditedKinds) {
        std::vector<TableText::FieldAt::Step> steps;
        QHash<QString, QString> keys;
        const QRegularExpression unnumbered(u"%\\d"_s);
        forEachPath(*pageFormat(kind).layout, steps, [&] {
            const QString captions = TableText::captionsOf(steps);
            const QString key = TableText::keyOf(steps);
            for (const QString &caption : captions.split(u" > "_s))
                EXPECT_TRUE(!caption.isEmpty() && caption == caption.trimmed() &&
                            !caption.contains(u'&') && !caption.contains(unnumbered))
                    << key.toStdString() << ": " << captions.toStdString();
            EXPECT_EQ(keys.value(captions, key), key) << captions.toStdString();
            keys.insert(captions, key);
        });
        EXPECT_FALSE(keys.isEmpty());
    }
}

TEST(TableTextTest, KeysAreWordsOfTheirOwnAndEveryNameOfAnotherPageRefersToItsKind)
{
    // The words by which a caption or hint speaks of a page of a kind.
    const std::map<PageKind, QStringList> words = {
        { PageKind::Texture, { u"texture"_s } },
        { PageKind::Sound, { u"sound"_s } },
        { PageKind::Weapon, { u"weapon"_s } },
        { PageKind::Generic, { u"generic"_s, u"object"_s, u"robot"_s, u"powerup"_s } },
        { PageKind::Door, { u"door"_s } },
        { PageKind::Ship, { u"ship"_s } },
    };
    const QRegularExpression keyRule(u"^[a-z][a-z0-9]*(_[a-z0-9]+)*$"_s);
    for (const PageKind kind : kEditedKinds) {
        std::map<const Layout *, QSet<QString>> keys;
        forEachItem(*pageFormat(kind).layout, [&](const Layout &layout, const Item &item) {
            // An item left out of a layout's array is a field without a key.
            ASSERT_TRUE(item.isBlock() ? item.block != nullptr : item.field.key != nullptr)
                << kindInfo(kind).name.data() << " " << (layout.name ? layout.name : "page")
                << " has an item not declared";
            const QString key = TableText::keyOf(item);
            EXPECT_TRUE(keyRule.match(key).hasMatch()) << key.toStdString();
            EXPECT_FALSE(keys[&layout].contains(key)) << key.toStdString();
            keys[&layout].insert(key);
            if (item.isBlock())
                return;
            const FieldSpec &field = item.field;
            EXPECT_TRUE(field.refersTo.isEmpty() || field.encoding == FieldEncoding::String)
                << key.toStdString();
            if (field.encoding != FieldEncoding::String || !field.refersTo.isEmpty())
                return;
            const QString said =
                (QLatin1StringView(field.caption) + u' ' + QLatin1StringView(field.hint)).toLower();
            for (const auto &[other, its] : words)
                for (const QString &word : its)
                    EXPECT_TRUE(other == kind || !said.contains(word))
                        << kindInfo(kind).name.data() << " " << key.toStdString() << " speaks of a "
                        << word.toStdString() << " page but refers to none";
        });
    }
}
