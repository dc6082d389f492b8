// Writes the seed corpus of the fuzz targets from the test builder: whole tables and single
// pages of every kind, the damaged files the loader must refuse or survive, and the number texts
// at the edges of their forms. Usage: make_fuzz_seeds OUTPUT_DIR (gets table/, page/, numbers/).

#include "tablebuilder.h"
#include "tabletext.h"

#include <QDir>
#include <QList>
#include <QString>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <limits>
#include <stdexcept>
#include <utility>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

using Seeds = QList<std::pair<const char *, QByteArray>>;

QByteArray cut(QByteArray bytes, int count)
{
    bytes.chop(count);
    return bytes;
}

Seeds pages()
{
    SoundPage sound;
    sound.name = "Laser fire";
    sound.waveFile = "laser1.wav";
    sound.flags = qint32(0xffffffffu);
    sound.loopStart = std::numeric_limits<qint32>::min();
    sound.loopEnd = std::numeric_limits<qint32>::max();
    sound.outerConeVolume = 0.123456f;
    sound.maxDistance = 20000;
    sound.minDistance = 1e-5f;
    sound.importAdjust = 1234.56f;

    SoundPage extremes;
    extremes.name = QByteArray(40, 'n'); // read back capped at 35
    extremes.outerConeVolume = std::numeric_limits<float>::quiet_NaN();
    extremes.maxDistance = FLT_MAX;
    extremes.minDistance = -std::numeric_limits<float>::infinity();
    extremes.importAdjust = FLT_TRUE_MIN;

    SoundPage otherVersion;
    otherVersion.version = 2;

    TexturePage texture;
    texture.name = "Fire plasma";
    texture.procedural = ProceduralBlock();
    texture.procedural->elements = { { 1, 2, 3, 4, 5, 6, 7, 8 }, { 8, 7, 6, 5, 4, 3, 2, 1 } };
    TexturePage tooManyElements = texture;
    tooManyElements.procedural->elements.resize(8001);
    DoorPage door;
    door.name = "Blast grate";
    door.flags = 0xff;
    door.hitPoints = 65535;

    return {
        { "sound", sound.record() },
        { "sound-new", SoundPage().record() },
        { "sound-extremes", extremes.record() },
        { "sound-other-version", otherVersion.record() },
        { "sound-cut-short", cut(sound.record(), 3) },
        { "sound-name-without-nul", recordWithLength(kind::sound, 9, Bytes().u16(1).raw("abc")) },
        { "sound-extra-bytes", sound.record() + "extra" },
        { "texture", TexturePage().record() },
        { "texture-procedural", texture.record() },
        { "texture-too-many-elements", tooManyElements.record() },
        { "weapon", weaponPage("Laser") },
        { "weapon-awkward", awkwardPage(kind::weapon) },
        { "generic-robot", genericPage() },
        { "generic-powerup", genericPage("Shield orb", 7) },
        { "generic-clutter", genericPage("Cargo crate", 11) },
        { "generic-awkward", awkwardPage(kind::generic) },
        { "door", DoorPage().record() },
        { "door-every-flag", door.record() },
        { "ship", shipPage("Falcon") },
        { "ship-awkward", awkwardPage(kind::ship) },
        { "passthrough", passThroughRecord(Bytes().str("level").f32(9.81f)) },
    };
}

Seeds tables()
{
    const QByteArray head = sound("head");
    Seeds seeds = {
        { "demo", demoTable() },
        { "sorted-names", table({ sound("b"), sound("A"), sound("a"), sound({}) }) },
        { "unknown-kinds-and-versions",
          table({ record(3, 1, "unknown"), passThroughRecord("x", 3), sound("kept"),
                  record(200, 1, Bytes().str("also unknown")) }) },
        { "last-sound-cut-short", head + cut(sound("tail"), 10) },
        { "last-passthrough-cut-short", head + cut(passThroughRecord(QByteArray(40, 'p')), 20) },
        { "length-ffffffff-unknown", head + recordWithLength(3, 0xffffffff, "x") },
        { "length-ffffffff-sound",
          head + recordWithLength(kind::sound, 0xffffffff, Bytes().u16(1).str("huge")) },
        { "length-ffffffff-passthrough",
          head + recordWithLength(kind::passThrough, 0xffffffff, Bytes().u16(2)) },
        { "name-without-nul-at-end",
          head + recordWithLength(kind::sound, 49, Bytes().u16(1).raw("abc")) },
        { "name-into-next-record",
          recordWithLength(kind::sound, 8, Bytes().u16(1).raw("ab")) + head },
        { "generic-without-type", recordWithLength(kind::generic, 6180, Bytes().u16(27)) },
        { "kind-byte-only", QByteArray(1, char(kind::sound)) },
        { "header-cut-short", head + "\x07\x31\x00" },
        { "empty", {} },
    };
    const std::pair<const char *, quint32> lengths[] = {
        { "length-0", 0 }, { "length-1", 1 }, { "length-5", 5 }, { "length-6", 6 }
    };
    for (const auto &[name, length] : lengths)
        seeds.append(
            { name, head + recordWithLength(kind::sound, length, Bytes().u16(1).str("x")) });
    for (const auto &[name, page] : pages())
        seeds.append({ name, head + page });
    return seeds;
}

Seeds numbers()
{
    Seeds seeds;
    static const char *const texts[] = { "0",
                                         "1.5",
                                         "1234.56",
                                         "0.05",
                                         "1.235E4",
                                         "1E-5",
                                         "2E4",
                                         "0.1235",
                                         "INF",
                                         "-INF",
                                         "NAN",
                                         "nan",
                                         "3.403E38",
                                         "3.4035E38",
                                         "3.41E38",
                                         "1E39",
                                         "1.401E-45",
                                         "1E-46",
                                         "-0",
                                         "+7",
                                         " 12 ",
                                         "\t-3\t",
                                         "12abc",
                                         "",
                                         ".5",
                                         "5.",
                                         "1e",
                                         "E5",
                                         "1e+5",
                                         "1e-5",
                                         "00001.000",
                                         "2147483647",
                                         "-2147483648",
                                         "2147483648",
                                         "-2147483649",
                                         "99999999999999999999",
                                         "0.000000000000000000000000000000000000000000000000001",
                                         "1e999999999",
                                         "-",
                                         "+",
                                         "1.2.3",
                                         "1,5",
                                         "\xc2\xb2",
                                         "\xef\xbc\x91" };
    for (const char *text : texts) {
        seeds.append({ nullptr, QByteArray(text) });
    }
    // Floats as a page holds them.
    for (float value : { 0.0f, -0.0f, 1.0f, 0.123456f, 20000.0f, FLT_MAX, -FLT_MAX, FLT_MIN,
                         FLT_TRUE_MIN, 9999.5f, 0.00009995f, std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN() }) {
        char bits[sizeof value];
        std::memcpy(bits, &value, sizeof value);
        seeds.append({ nullptr, QByteArray(bits, sizeof bits) });
    }
    return seeds;
}

// A text with one part replaced, which must be there.
QByteArray replaced(QByteArray text, QByteArrayView part, QByteArrayView by)
{
    if (!text.contains(part))
        throw std::runtime_error("no " + part.toByteArray().toStdString() + " in the text");
    return text.replace(part, by);
}

// Tables as bytes, which the target dumps and builds, and as text, which it builds: every page
// alone as text, and a page's text with each fault build names. No whole table as text: the
// mutations of a text that long spend themselves on its list of pages, not on their values.
Seeds texts()
{
    Seeds seeds = tables();
    for (const auto &[name, page] : pages())
        seeds.append({ name, TableText::dumpTable(page) });
    DoorPage door;
    door.name = "Blast grate";
    door.hitPoints = 300;
    const QByteArray text = TableText::dumpTable(door.record());
    seeds.append({ "text-unknown-key", replaced(text, "\"door_name\"", "\"door_nmae\"") });
    seeds.append(
        { "text-out-of-range", replaced(text, "\"hit_points\": 300", "\"hit_points\": 70000") });
    seeds.append({ "text-cut-short", text.left(text.size() / 2) });
    seeds.append({ "text-awkward-pages",
                   TableText::dumpTable(table({ awkwardPage(kind::generic),
                                                awkwardPage(kind::ship),
                                                awkwardPage(kind::texture) })) });
    return seeds;
}

void write(const QString &directory, const Seeds &seeds)
{
    if (!QDir().mkpath(directory))
        throw std::runtime_error("cannot create " + directory.toStdString());
    int number = 0;
    for (const auto &[name, bytes] : seeds) {
        const QString file = u"%1-%2"_s.arg(++number, 3, 10, QChar(u'0'))
                                 .arg(name ? QString::fromLatin1(name) : u"seed"_s);
        writeFile(directory + u'/' + file, bytes);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: make_fuzz_seeds OUTPUT_DIR\n");
        return 1;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    try {
        write(out + u"/table"_s, tables());
        write(out + u"/page"_s, pages());
        write(out + u"/numbers"_s, numbers());
        write(out + u"/text"_s, texts());
    } catch (const std::exception &error) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
