#include "texturepage.h"

#include "editorkinds.h"
#include "tableerror.h"

using namespace Qt::StringLiterals;

namespace TexturePage {

const std::array<const char *, 4> coronaItems = { "A", "B", "C", "D" };

const std::array<const char *, 32> flagItems = {
    "Volatile",
    "Water",
    "Metal",
    "Marble",
    "Plastic",
    "Forcefield",
    "Animated",
    "Destroyable",
    "Effect",
    "HUD Cockpit",
    "Mine",
    "Terrain",
    "Object",
    "Texture 64bits",
    "TMap2",
    "Texture 32bits",
    "Fly through",
    "Pass through",
    "Ping Pong",
    "Light",
    "Breakable",
    "Saturate",
    "Alpha",
    "Don't use",
    "Procedural",
    "Water Procedural",
    "Force Lightmap",
    "Saturate Lightmap",
    "Texture 256 colors",
    "Lava",
    "Rubble",
    "Smooth Specular",
};

using enum FieldEncoding;
constexpr auto integer = NumberField::Integer;
constexpr auto floating = NumberField::Float;

const std::array<FieldSpec, FieldCount> fields = { {
    { String, "Name", "VK Tablefile name for this texture." },
    { String, "Bitmap name", "Filename of the .QBF file for this texture." },
    { String, "Destroy name",
      "Filename of the .QBF file to be used as a 'destroyed' version of this texture." },
    { Float, "Red", "Red component of the light this texture gives off (0 to 1.0)", floating },
    { Float, "Green", "Green component of the light this texture gives off (0 to 1.0)", floating },
    { Float, "Blue", "Blue component of the light this texture gives off (0 to 1.0)", floating },
    { Float, "Alpha", "Alpha value of the entire texture (0 to 1.0, 0 being transparent)",
      floating },
    { Float, "Speed", "Speed of the texture (?\?\?\?) (0 to 1.0)", floating },
    { Float, "U Slide", "Speed of the sliding of this texture in the U direction.", floating },
    { Float, "V Slide", "Speed of the sliding of this texture in the V direction.", floating },
    { Float, "Reflectivity",
      "Reflectivity value of this texture, used during radiosity lighting (0 to 1.0)", floating },
    { Choice, "Corona Style",
      "Which type of corona this texture should give off (used if the texture gives off light).",
      std::nullopt, coronaItems },
    { Int, "Damage", "Amount of damage per second this texture does if an object collides with it.",
      integer },
    { IntBits, "Flags",
      "Texture flags. For more details, see the flags.txt file in VKCP directory.", std::nullopt,
      flagItems },
    { String, "Sound name", "VK Table Name of the sound to be associated with this texture." },
    { Float, "Volume", "Volume of the sound(from 0 to 1).", floating },
} };

const PageFormat format = { PageKind::Texture,
                            QLatin1StringView(editorTexts(PageKind::Texture).newPageName), fields };

const std::array<FieldSpec, Procedural::settingCount> settingFields = { {
    { Byte, "Heat", "'Heat' intensity", integer },
    { Byte, "Light", "???", integer },
    { Byte, "Thickness", "???", integer },
    { Float, "Evaluation time", "???", floating },
    { Float, "Osc. time", "???", floating },
    { Byte, "Osc. value", "???", integer },
} };

const std::array<FieldSpec, Procedural::elementValueCount> elementFields = { {
    { Byte, "Type", "Type of procedural element.", integer },
    { Byte, "Freq", "Frequency of procedural element", integer },
    { Byte, "Speed", "Speed of procedural element", integer },
    { Byte, "Size", "Size of procedural element", integer },
    { Byte, "X1", "X1 value of procedural element", integer },
    { Byte, "Y1", "Y1 value of procedural element", integer },
    { Byte, "X2", "X2 value of procedural element", integer },
    { Byte, "Y2", "Y2 value of procedural element", integer },
} };

const FieldSpec colourField = { Word, "16 bit color", "", integer };
const FieldSpec elementCountField = { Word, "Number of procedural elements",
                                      "Number of procedural elements. Max is 8000.", integer };

namespace {

// The straight runs of declared fields around the block.
constexpr qsizetype blockAfter = Flags + 1;
const std::span<const FieldSpec> fieldsBefore = std::span(fields).first(blockAfter);
const std::span<const FieldSpec> fieldsAfter = std::span(fields).subspan(blockAfter);

} // namespace

Procedural::Element Procedural::zeroElement()
{
    Element element;
    element.fill(u"0"_s);
    return element;
}

Procedural Procedural::defaults()
{
    Procedural block;
    block.settings.fill(u"0"_s);
    block.elements = { zeroElement() };
    return block;
}

Procedural Procedural::read(RecordReader &reader)
{
    Procedural block;
    for (quint16 &colour : block.palette)
        colour = reader.ReadWord();
    for (int setting = 0; setting < settingCount; ++setting)
        block.settings[setting] = std::get<QString>(readField(settingFields[setting], reader));
    const int count = reader.ReadWord();
    if (count > maxElements)
        throw TableError(u"damaged page: its procedural block lists %1 elements; at most %2 "
                         u"are allowed"_s.arg(count)
                             .arg(maxElements));
    block.elements.resize(count);
    for (Element &element : block.elements)
        for (int value = 0; value < elementValueCount; ++value)
            element[value] = std::get<QString>(readField(elementFields[value], reader));
    return block;
}

void Procedural::write(RecordWriter &writer) const
{
    for (quint16 colour : palette)
        writer.WriteWord(colour);
    for (int setting = 0; setting < settingCount; ++setting)
        writeField(settingFields[setting], settings[setting], writer);
    writer.WriteWord(quint16(elements.size()));
    for (const Element &element : elements)
        for (int value = 0; value < elementValueCount; ++value)
            writeField(elementFields[value], element[value], writer);
}

Body Body::blank()
{
    return { PageBody::blank(format), std::nullopt };
}

Body Body::read(RecordReader &reader)
{
    Body body;
    body.fields.readRun(fieldsBefore, reader);
    if (std::get<quint32>(body.fields.values[Flags]) & proceduralFlag)
        body.procedural = Procedural::read(reader);
    body.fields.readRun(fieldsAfter, reader);
    return body;
}

void Body::write(RecordWriter &writer) const
{
    Q_ASSERT(fields.values.size() == FieldCount);
    fields.writeRun(fieldsBefore.first(Flags), 0, writer);
    const quint32 flags = std::get<quint32>(fields.values[Flags]);
    writer.WriteInt(qint32(procedural ? flags | proceduralFlag : flags & ~proceduralFlag));
    if (procedural) {
        Q_ASSERT(procedural->elements.size() <= Procedural::maxElements);
        procedural->write(writer);
    }
    fields.writeRun(fieldsAfter, blockAfter, writer);
}

QByteArray Body::record() const
{
    RecordWriter writer(format.kind);
    write(writer);
    return writer.record();
}

} // namespace TexturePage
