#include "check.h"

#include "doorpage.h"
#include "genericpage.h"
#include "sharedblocks.h"
#include "shippage.h"
#include "tabletext.h"
#include "texturepage.h"
#include "weaponpage.h"

#include <QSet>
#include <QStringList>
#include <QtConcurrent/QtConcurrentMap>
#include <QtEndian>

#include <algorithm>
#include <numeric>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// A field that names another page: the items that lead to it from the page body, and the kinds
// it may name. A path that ends at a block stands for every text in the block.
struct Reference
{
    PageKind kind;
    std::vector<int> path;
    std::vector<PageKind> targets;
};

const std::vector<PageKind> sound = { PageKind::Sound };
const std::vector<PageKind> texture = { PageKind::Texture };
// What fires, spawns or is spewed may be a weapon or a generic object.
const std::vector<PageKind> object = { PageKind::Weapon, PageKind::Generic };

const Reference kReferences[] = {
    { PageKind::Door, { DoorPage::OpenSound }, sound },
    { PageKind::Door, { DoorPage::CloseSound }, sound },
    { PageKind::Texture, { TexturePage::SoundName }, sound },
    { PageKind::Weapon, { WeaponPage::ParticleName }, texture },
    { PageKind::Weapon, { WeaponPage::SpawnName }, object },
    { PageKind::Weapon, { WeaponPage::RobotSpawn }, object },
    { PageKind::Weapon, { WeaponPage::Alternate }, object },
    { PageKind::Weapon, { WeaponPage::ExplosionImage }, texture },
    { PageKind::Weapon, { WeaponPage::Sounds }, sound },
    { PageKind::Weapon, { WeaponPage::SmokeName }, texture },
    { PageKind::Weapon, { WeaponPage::ScorchImage }, texture },
    { PageKind::Ship, { ShipPage::Weapons, ShipPage::Weapon::FireSound }, sound },
    { PageKind::Ship, { ShipPage::Weapons, ShipPage::Weapon::ReleaseSound }, sound },
    { PageKind::Ship, { ShipPage::Weapons, ShipPage::Weapon::SpewPowerup }, object },
    { PageKind::Ship, { ShipPage::Weapons, ShipPage::Weapon::MaskSounds }, sound },
    { PageKind::Ship, { ShipPage::Weapons, ShipPage::Weapon::GunpointNames }, object },
    { PageKind::Generic, { GenericPage::Spew, GenericPage::SpewSlot::Object }, object },
    { PageKind::Generic, { GenericPage::GunpointNames }, object },
    { PageKind::Generic, { GenericPage::Sounds }, sound },
    { PageKind::Generic, { GenericPage::MaskSounds }, sound },
    { PageKind::Generic, { GenericPage::AnimationSounds }, sound },
};

const Reference *referenceAt(PageKind kind, std::span<const int> items)
{
    for (const Reference &reference : kReferences)
        if (reference.kind == kind && reference.path.size() <= items.size() &&
            std::equal(reference.path.begin(), reference.path.end(), items.begin()))
            return &reference;
    return nullptr;
}

} // namespace

QString Finding::line() const
{
    return u"%1 \"%2\": %3: %4"_s.arg(kind, QString::fromLatin1(name), field, problem);
}

bool isLoadedPage(const QByteArray &record)
{
    const std::optional<PageKind> kind =
        record.isEmpty() ? std::nullopt : acceptedKind(quint8(record[0]));
    return kind && isEdited(*kind) && record.size() >= RecordHeader::size &&
        qFromLittleEndian<quint16>(record.constData() + RecordHeader::size - 2) ==
        kindInfo(*kind).version;
}

QList<Finding> checkTable(const QByteArray &table)
{
    QByteArray trailing;
    const QList<QByteArray> records = TableText::splitTable(table, &trailing);
    // The names of the pages the program loads, per kind: it skips pages of another version.
    // Read where the loader reads them, so that no page is decoded twice.
    std::array<QSet<QByteArray>, kKinds.size()> names;
    QList<bool> duplicate(records.size(), false);
    QList<int> loadedAt(records.size(), -1);
    std::array<int, kKinds.size()> loadedCount {};
    for (qsizetype r = 0; r < records.size(); ++r) {
        const QByteArray &record = records[r];
        if (!isLoadedPage(record))
            continue;
        const std::optional<PageKind> kind = acceptedKind(quint8(record[0]));
        loadedAt[r] = loadedCount[size_t(kindIndex(*kind))]++;
        QSet<QByteArray> &known = names[size_t(kindIndex(*kind))];
        const QByteArray name = TableText::recordName(record);
        duplicate[r] = known.contains(name);
        known.insert(name);
    }

    // Each page is decoded and looked through on its own, on every core.
    QList<qsizetype> positions(records.size());
    std::iota(positions.begin(), positions.end(), 0);
    const auto pageFindings = [&](qsizetype r) {
        QList<Finding> findings;
        const QByteArray &record = records[r];
        const std::optional<PageKind> pageKind = acceptedKind(quint8(record[0]));
        if (!pageKind || !isEdited(*pageKind))
            return findings;
        const QString kind = kindInfo(*pageKind).name.toString();
        const PageFormat &format = pageFormat(*pageKind);
        const TableText::Decoding decoding = TableText::decodeRecord(record);
        const std::optional<TableText::DecodedPage> &decoded = decoding.page;
        const QByteArray name =
            decoded ? decoded->body.name(format) : TableText::recordName(record);
        const auto found = [&](const QString &field, const QString &problem) {
            findings.append({ kind, name, field, problem, pageKind, loadedAt[r] });
        };
        if (!decoded)
            found(u"page"_s, decoding.reason);
        if (duplicate[r])
            found(TableText::keyOf(format.layout->items[size_t(format.nameItem)].field.caption),
                  u"another page of this kind has this name"_s);
        if (!decoded)
            return findings;
        TableText::forEachField(*decoded, [&](const TableText::FieldAt &at) {
            if (at.field.encoding != FieldEncoding::String)
                return;
            const QByteArray &text = textOf(at.value);
            const Reference *reference =
                text.isEmpty() ? nullptr : referenceAt(*pageKind, at.items);
            if (!reference)
                return;
            QStringList what;
            for (const PageKind target : reference->targets) {
                if (names[size_t(kindIndex(target))].contains(text))
                    return;
                what.append(kindInfo(target).name.toString());
            }
            found(
                at.key(),
                u"names no %1 page \"%2\""_s.arg(what.join(u" or "_s), QString::fromLatin1(text)));
        });
        return findings;
    };
    QList<Finding> findings;
    for (const QList<Finding> &found :
         QtConcurrent::blockingMapped<QList<QList<Finding>>>(positions, pageFindings))
        findings += found;

    // A page the file's end cuts short is lost on the next save; the program does not load it.
    if (!trailing.isEmpty()) {
        findings.append(
            { TableText::kindName(quint8(trailing[0])), TableText::recordName(trailing), u"page"_s,
              u"cut short: the file ends %1 bytes into this page"_s.arg(trailing.size()),
              acceptedKind(quint8(trailing[0])), -1 });
    }
    return findings;
}
