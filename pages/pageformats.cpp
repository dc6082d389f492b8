#include "pageformats.h"

#include "doorpage.h"
#include "genericpage.h"
#include "shippage.h"
#include "soundpage.h"
#include "texturepage.h"
#include "weaponpage.h"

#include "tableerror.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

const std::array<PageFormat, kEditedKinds.size()> kFormats = { {
    { PageKind::Texture,
      "Textures",
      "List of textures",
      "New Texture",
      "itp",
      "Individual Texture Page(*.itp)|*.itp|All files(*.*)|*.*",
      "This page uses a different version of the texture pages. Data ignored.",
      "Add a new texture page.",
      "Delete selected texture page.",
      "Apply modifications made to current entry.",
      "Close the texture dialog.",
      &TexturePage::layout,
      TexturePage::Name,
      { 24, 88, 121, 89 },
      { 96, 128 } },
    { PageKind::Sound,
      "Sounds",
      "List of sounds",
      "New Sound",
      "isp",
      "Individual Sound Page(*.isp)|*.isp|All files(*.*)|*.*",
      "This page uses a different version of the sound pages. Data ignored.",
      "Add a new sound page.",
      "Delete selected sound page.",
      "Apply modifications made to current entry.",
      "Close the sound dialog.",
      &SoundPage::layout,
      SoundPage::Name,
      { 192, 200, 105, 89 },
      { 224, 264 } },
    { PageKind::Weapon,
      "Weapons",
      "List of weapons",
      "New Weapon",
      "iwp",
      "Individual Weapon Page(*.iwp)|*.iwp|All files(*.*)|*.*",
      "This page uses a different version of the weapons pages. Data ignored.",
      "Add a new weapon page.",
      "Delete selected weapon page.",
      "Apply modifications made to current entry.",
      "Close the weapons dialog.",
      &WeaponPage::layout,
      WeaponPage::Name,
      { 320, 96, 177, 89 },
      { 328, 136 } },
    { PageKind::Generic,
      "Generics",
      "List of generics",
      "New Generic",
      "igp",
      "Individual Generic Page(*.igp)|*.igp|All files(*.*)|*.*",
      "This page uses a different version of the generics pages. Data ignored.",
      "Add a new generic page.",
      "Delete selected generic page.",
      "Apply modifications made to current entry.",
      "Close the generics dialog.",
      &GenericPage::layout,
      GenericPage::Name,
      { 192, 80, 97, 105 },
      { 216, 160 } },
    { PageKind::Door,
      "Doors",
      "List of doors",
      "New Door",
      "idp",
      "Individual Door Page(*.idp)|*.idp|All files(*.*)|*.*",
      "This page uses a different version of the doors pages. Data ignored.",
      "Add a new door page.",
      "Delete selected door page.",
      "Apply modifications to current entry.",
      "Close the doors dialog.",
      &DoorPage::layout,
      DoorPage::Name,
      { 24, 200, 121, 89 },
      { 96, 240 } },
    { PageKind::Ship,
      "Ships",
      "List of ships",
      "New Ship",
      "ihp",
      "Individual Ship Page(*.ihp)|*.ihp|All files(*.*)|*.*",
      "This page uses a different version of the ships pages. Data ignored.",
      "Add a new ship page.",
      "Delete selected ship page.",
      "Apply modifications made to current entry.",
      "",
      &ShipPage::layout,
      ShipPage::Name,
      { 320, 184, 177, 105 },
      { 344, 232 } },
} };

} // namespace

const PageFormat &pageFormat(PageKind kind)
{
    Q_ASSERT(isEdited(kind));
    const PageFormat &format = kFormats[size_t(kindIndex(kind))];
    Q_ASSERT(format.kind == kind);
    return format;
}

PageBody PageBody::blank(const PageFormat &format)
{
    PageBody body { blankValues(*format.layout), {} };
    body.values.field(format.nameItem) = QByteArray(format.newPageName);
    return body;
}

PageBody PageBody::read(const PageFormat &format, RecordReader &reader)
{
    Values values = readValues(*format.layout, reader);
    return { std::move(values), reader.ReadRest() };
}

std::optional<PageBody> PageBody::fromRecord(const PageFormat &format, const QByteArray &record,
                                            QString *why)
{
    try {
        RecordReader reader(record);
        if (reader.version() == format.info().version)
            return read(format, reader);
        if (why)
            *why = u"version %1; the program reads version %2"_s.arg(reader.version())
                       .arg(format.info().version);
    } catch (const TableError &error) {
        if (why)
            *why = error.message();
    }
    return std::nullopt;
}

void PageBody::write(const PageFormat &format, RecordWriter &writer) const
{
    writeValues(*format.layout, values, writer);
    writer.WriteBytes(trailing);
}

QByteArray PageBody::record(const PageFormat &format) const
{
    RecordWriter writer(format.kind);
    write(format, writer);
    return writer.record();
}

QByteArray PageBody::name(const PageFormat &format) const
{
    return textOf(values.field(format.nameItem));
}
