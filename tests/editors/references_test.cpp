// The names pages give each other, as the editors show and change them: every declared
// reference found and marked, Used by, go to, and Rename all with its undo.

#include "editorfixture.h"
#include "pagelistmodel.h"
#include "tablereferences.h"
#include "usedby.h"

#include <QTreeWidget>
#include <QUndoStack>

#include <map>
#include <random>
#include <set>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Every field of every layout that names a page, found from the declarations alone.
void declaredReferences(const Layout &layout, std::set<const Item *> &found)
{
    for (const Item &item : layout.items) {
        if (item.isBlock())
            declaredReferences(*item.block, found);
        else if (!item.field.refersTo.isEmpty())
            found.insert(&item);
    }
}

// A page's reference field, by the way down to it.
struct ReferenceAt
{
    std::vector<int> items;
    std::vector<TableText::FieldAt::Step> steps;
    KindSet targets;

    FieldValue &in(Values &values) const
    {
        Values *entry = &values;
        for (size_t i = 0; i + 1 < items.size(); ++i)
            entry = &entry->entries(items[i])[size_t(qMax<qsizetype>(steps[i].entry, 0))];
        return entry->field(items.back());
    }
};

// Every editor over one workspace, as the program has them.
class Editors : public testing::Test, protected Scratch
{
protected:
    Editors()
    {
        for (const KindEditor &entry : kindEditors())
            owned.emplace_back(entry.make(lists, dialogs, shared, nullptr));
    }
    PageEditor &editor(PageKind kind) const { return *lists.madeEditor(kind); }
    void load(const QList<QByteArray> &records)
    {
        loadTable(records);
        for (const auto &each : owned)
            each->reloadList();
    }

    std::vector<std::unique_ptr<PageEditor>> owned;
};

PageBody bodyOf(const QByteArray &record)
{
    RecordReader reader(record);
    return PageBody::read(pageFormat(PageKind(record[0])), reader);
}

QByteArray named(PageKind kind, const QByteArray &name)
{
    const PageFormat &format = pageFormat(kind);
    PageBody body = PageBody::blank(format);
    body.values.field(format.nameItem) = name;
    return body.record(format);
}

} // namespace

// Every reference field of each kind, on one page, each naming a page of its own: while that
// page is there, Used by, refs and the marks find it; once it is gone the field is marked.
TEST_F(Editors, EveryDeclaredReferenceIsFoundAndMarkedUntilItsPageGoes)
{
    std::set<const Item *> declared, covered;
    for (const PageKind kind : kEditedKinds)
        declaredReferences(*pageFormat(kind).layout, declared);
    for (const PageKind kind : kEditedKinds) {
        const PageFormat &format = pageFormat(kind);
        PageBody page = bodyOf(awkwardPage(quint8(kind)));
        std::vector<ReferenceAt> fields;
        TableText::forEachField(kind, page.values, [&](const TableText::FieldAt &at) {
            if (!at.field.refersTo.isEmpty())
                fields.push_back({ { at.items.begin(), at.items.end() },
                                   { at.steps.begin(), at.steps.end() },
                                   at.field.refersTo });
        });
        // Each field names "Target page", a page of its last target kind (another kind than its
        // own, if any).
        std::map<PageKind, QStringList> keys;
        for (const ReferenceAt &field : fields) {
            PageKind target = kind;
            for (const PageKind each : kEditedKinds)
                if (field.targets.contains(each) && (target == kind || each != kind))
                    target = each;
            keys[target].append(TableText::keyOf(field.steps));
            field.in(page.values) = "Target page";
            covered.insert(field.steps.back().item);
        }
        QList<QByteArray> records = { page.record(format) };
        for (const auto &[target, named] : keys)
            records.append(::named(target, "Target page"));
        load(records);
        editor(kind).selectPosition(0);
        for (const auto &[target, named] : keys) {
            SCOPED_TRACE(
                (kindInfo(kind).name + u" naming "_s + kindInfo(target).name).toStdString());
            QStringList found;
            for (const ReferenceIndex::Use &use : lists.index().usesOf(target, "Target page"))
                found.append(use.reference->path.key());
            EXPECT_EQ(found, named);
            found.clear();
            for (const TableUse &use : tableUsesOf(table(records), target, "Target page").uses)
                found.append(use.key);
            EXPECT_EQ(found, named);
        }
        const auto marks = [&] {
            QStringList shown;
            for (const ReferenceAt &field : fields)
                if (field.items.size() == 1)
                    shown.append(editor(kind).form().problem(field.items[0]));
            return shown;
        };
        QStringList expected;
        for (const ReferenceAt &field : fields)
            if (field.items.size() == 1)
                expected.append(QString());
        EXPECT_EQ(marks(), expected);
        // The target pages go: every field on the editor's form is marked.
        for (const auto &[target, named] : keys) {
            editor(target).selectPosition(target == kind ? 1 : 0);
            editor(target).deletePage();
        }
        expected.clear();
        for (const ReferenceAt &field : fields) {
            EXPECT_FALSE(lists.isNamed(field.targets, "Target page"));
            if (field.items.size() == 1)
                expected.append(
                    u"No %1 page is named \"Target page\""_s.arg(kindNames(field.targets)));
        }
        EXPECT_EQ(marks(), expected);
    }
    EXPECT_EQ(covered, declared) << "the awkward pages leave some references out";
}

// Used by lists the fields that name the page shown, by their captions; Enter on one opens its
// page in its editor, over this one; Ctrl+Enter in a field opens the page it names.
TEST_F(Editors, UsedByAndGoToOpenTheNamingAndTheNamedPage)
{
    testsupport::ShipPage ship;
    ship.name = "Cruiser";
    ship.weapons[0].gunpointNames[0] = "Laser";
    DoorPage door;
    door.name = "Gate";
    door.openSound = door.closeSound = "Laser fire";
    load({ sound("Laser fire"), weaponPage("Laser"), door.record(), ship.record() });

    PageEditor &weapons = editor(PageKind::Weapon);
    weapons.selectPosition(0);
    EXPECT_EQ(weapons.usedByButton().text(), u"Used by 1");
    UsedByWindow usedBy(lists, dialogs, &weapons);
    usedBy.showUses(PageKind::Weapon, "Laser");
    ASSERT_EQ(usedBy.list().topLevelItemCount(), 1);
    const QTreeWidgetItem *row = usedBy.list().topLevelItem(0);
    EXPECT_EQ(row->text(0), u"ship");
    EXPECT_EQ(row->text(1), u"Cruiser");
    EXPECT_EQ(row->text(2), u"Ship weapons #1 > Gunpoint 1 > Weapon name");
    EXPECT_EQ(row->toolTip(2), u"weapons[0].gunpoint_names[0]");

    // Enter on the row: the ship editor opens over the weapons editor, on the ship.
    PageEditor &ships = editor(PageKind::Ship);
    weapons.show();
    QString shipShown;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *list = modal && modal != &ships ? modal->findChild<QTreeWidget *>() : nullptr) {
            QTest::keyClick(list, Qt::Key_Return);
        } else if (modal == &ships) {
            shipShown = ships.form().edit(pageFormat(PageKind::Ship).nameItem)->text();
            ships.close();
        }
    });
    watch.start(20);
    weapons.showUsers();
    watch.stop();
    EXPECT_EQ(shipShown, u"Cruiser");

    // Ctrl+Enter in the door's sound field: the sound editor, on "Laser fire".
    PageEditor &doors = editor(PageKind::Door);
    doors.show();
    doors.selectPosition(0);
    const Layout &doorLayout = *pageFormat(PageKind::Door).layout;
    QLineEdit *openSound = doors.form().edit(doorLayout.indexOf("open_sound"_L1));
    ASSERT_TRUE(openSound);
    PageEditor &sounds = editor(PageKind::Sound);
    int soundShown = -2;
    EXPECT_TRUE(inModal(
        sounds, [&] { QTest::keyClick(openSound, Qt::Key_Return, Qt::ControlModifier); },
        [&] { soundShown = sounds.shownPosition(); }));
    EXPECT_EQ(soundShown, 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// Random renames of sounds, with Rename all, undos and redos: after each step the saved table is
// the one `vktable rename` makes by replaying the renames that survive on the table loaded.
TEST_F(Editors, RenameAllUndoAndRedoSaveWhatReplayingTheSurvivingRenamesBuilds)
{
    DoorPage door;
    door.name = "Gate";
    door.openSound = door.closeSound = "Sound 0"; // one page, two fields
    WeaponPage weapon = awkwardWeapon();
    weapon.name = "Gun";
    weapon.sounds.fill("Sound 1");
    GenericPage generic = awkwardGeneric();
    generic.name = "Robot";
    generic.sounds.fill("Sound 2");
    generic.sounds[0] = "Sound 0";
    // Loaded in the order a save writes, so that the replay keeps the order a save makes.
    QList<QByteArray> records = { sound("Sound 0"), sound("Sound 1"), sound("Sound 2"),
                                  weapon.record(),  generic.record(), door.record() };
    load(records);
    const QByteArray loaded = table(records);

    PageEditor &sounds = editor(PageKind::Sound);
    QLineEdit *nameField = sounds.form().edit(pageFormat(PageKind::Sound).nameItem);
    struct Rename
    {
        QByteArray from, to;
    };
    QList<Rename> renames; // the history's, in order
    int done = 0; // how many of them survive
    qsizetype asked = 0;
    std::mt19937 random(23);
    for (int step = 0; step < 40; ++step) {
        const int choice = int(random() % 4);
        if (choice == 0 && done > 0) {
            sounds.history().undo();
            --done;
        } else if (choice == 1 && done < renames.size()) {
            sounds.history().redo();
            ++done;
        } else {
            const int position = int(random() % 3);
            sounds.selectPosition(position);
            const QByteArray from = lists.model(PageKind::Sound).name(position).toByteArray();
            const QByteArray to = "Sound " + QByteArray::number(step + 3);
            nameField->setText(QString::fromLatin1(to));
            dialogs.answers = { UserDialogs::Answer::Apply };
            ASSERT_TRUE(nameField->text() == QString::fromLatin1(to));
            sounds.apply();
            ++asked;
            renames.resize(done);
            renames.append({ from, to });
            ++done;
            EXPECT_EQ(sounds.history().count(), done);
        }
        QByteArray expected = loaded;
        for (int r = 0; r < done; ++r)
            expected =
                renameInTable(expected, PageKind::Sound, renames[r].from, renames[r].to).table;
        ASSERT_EQ(saved(), splitRecords(expected)) << "step " << step;
    }
    // Each rename asked, and nothing failed.
    EXPECT_EQ(dialogs.messages.size(), asked);
}

// Rename all writes every page or none: a page whose record cannot be written stops it before
// anything changed. Only this page renames the page alone; Cancel applies nothing.
TEST_F(Editors, RenameAllIsAllOrNothingAndTheQuestionOffersTheOtherWays)
{
    DoorPage door;
    door.name = "Gate";
    door.openSound = "Hum";
    door.closeSound = "Hum";
    const QList<QByteArray> records = { sound("Hum"), sound("Hum"), door.record() };
    load(records);
    PageEditor &sounds = editor(PageKind::Sound);
    const int nameItem = pageFormat(PageKind::Sound).nameItem;
    QLineEdit *nameField = sounds.form().edit(nameItem);
    sounds.selectPosition(0);
    const PageListModel &list = lists.model(PageKind::Sound);
    const auto marked = [&] {
        return std::pair(list.index(1).data(Qt::DecorationRole).isValid(),
                         sounds.form().problem(nameItem));
    };
    EXPECT_EQ(marked(), std::pair(true, u"Another sound page is named \"Hum\""_s));
    const auto rename = [&](UserDialogs::Answer answer) {
        nameField->setText(u"Buzz"_s);
        dialogs.answers = { answer };
        return sounds.apply();
    };

    // The doors' working file cannot be written: a directory stands in its place.
    ASSERT_TRUE(QDir().mkpath(workspace.workingFilePath(PageKind::Door)));
    rename(UserDialogs::Answer::Apply);
    const QStringList shown = dialogs.takeMessages();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0],
              u"Sounds: 1 page names \"Hum\", a name another sound page also has. "
              "Change it to \"Buzz\" too?");
    EXPECT_TRUE(shown[1].contains(u"doors.$$$"_s)) << shown[1].toStdString();
    EXPECT_EQ(sounds.history().count(), 0);
    EXPECT_EQ(saved(), records);
    ASSERT_TRUE(QDir(workspace.workingFilePath(PageKind::Door)).removeRecursively());

    rename(UserDialogs::Answer::Cancel);
    EXPECT_EQ(sounds.history().count(), 0);
    EXPECT_EQ(saved(), records);
    rename(UserDialogs::Answer::Discard);
    EXPECT_EQ(saved(), QList<QByteArray>({ sound("Buzz"), sound("Hum"), door.record() }));
    EXPECT_EQ(marked(), std::pair(false, QString()));
    EXPECT_EQ(dialogs.takeMessages().size(), 2); // the two questions
}
