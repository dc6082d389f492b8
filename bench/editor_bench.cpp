// Select, Apply and the undo and redo of an Apply in the page editor of every kind that has
// one, on the largest page of the kind in a table at full capacity; typing into the filter
// of a full list; and the moves of the settings windows that show one entry of many. Each
// must leave room within one frame (16 ms). And what the pages say of each other, on the same
// table, where one sound is named by 500 pages: the index of it after a load (within 50 ms), a
// keystroke in a field that names pages (2 ms), "Used by" of that sound (5 ms) and Rename all
// of it (300 ms).
// And the table of a kind (3000 textures, 1500 generic objects): opening it (200 ms), a sort by
// a number column (100 ms), a scroll by a page (16 ms), "Multiply by" on 1000 rows with their
// writes (500 ms), and CSV export and import of every page of the kind (1 s each); and the
// column chooser with a column for every entry of every list the pages have.
// Besides the time of the call, "paint_ms" is the repaint of the window that follows it.

#include "fieldform.h"
#include "genericdialogs.h"
#include "genericpage.h"
#include "kindeditors.h"
#include "pageeditor.h"
#include "pagelistmodel.h"
#include "pagelists.h"
#include "pagetable.h"
#include "scripteddialogs.h"
#include "sharedblocks.h"
#include "shareddialogs.h"
#include "shippage.h"
#include "shipweapons.h"
#include "columnchooser.h"
#include "tablewindow.h"
#include "tablebuilder.h"
#include "usedby.h"
#include "workspace.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCompleter>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUndoStack>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <tuple>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

// Longer than the editor shows, so the record read and the text kept are as long as they get.
QByteArray longText(const QByteArray &start)
{
    return start + QByteArray(255 - start.size(), 'x');
}

QByteArray largestTexture(const QByteArray &name)
{
    TexturePage page = proceduralTexture(8000);
    page.name = longText(name);
    page.bitmap = longText("bitmap ");
    page.destroyedBitmap = longText("destroyed ");
    page.soundName = longText("sound ");
    return page.record();
}

QByteArray largestSound(const QByteArray &name)
{
    SoundPage page;
    page.name = longText(name);
    page.waveFile = longText("wave ");
    page.flags = 0x1ff;
    page.loopStart = -2147483647;
    page.loopEnd = 2147483647;
    page.outerConeVolume = -0.123456789f;
    page.innerConeAngle = -359;
    page.outerConeAngle = 359;
    page.maxDistance = 123456.789f;
    page.minDistance = 1.17549435e-38f;
    page.importAdjust = 3.40282347e38f;
    return page.record();
}

QByteArray largestWeapon(const QByteArray &name)
{
    WeaponPage page;
    page.name = longText(name);
    for (QByteArray *text :
         { &page.hudImage, &page.fireImage, &page.particleName, &page.spawnName, &page.robotSpawn,
           &page.alternate, &page.explosionImage, &page.smokeName, &page.scorchImage, &page.icon })
        *text = longText("text ");
    for (QByteArray &sound : page.sounds)
        sound = longText("sound ");
    page.flags = -1;
    page.particleLife = 1.23456789f;
    page.physics.fill(0x3f9e0419u);
    page.lighting.fill(0x3dcccccdu);
    page.explosion.fill(123456.789f);
    return page.record();
}

QByteArray largestDoor(const QByteArray &name)
{
    DoorPage page;
    page.name = longText(name);
    page.model = longText("model ");
    page.openingTime = 1.23456789f;
    page.closingTime = -9876.54321f;
    page.timeOpen = 3.40282347e38f;
    page.flags = 0x03;
    page.hitPoints = 65535;
    page.openSound = longText("open ");
    page.closeSound = longText("close ");
    page.module = longText("module ");
    return page.record();
}

QByteArray largestShip(const QByteArray &name)
{
    testsupport::ShipPage page;
    page.name = longText(name);
    for (QByteArray &model : page.models)
        model = longText("model ");
    page.mediumLod = 1.23456789f;
    page.physics.fill(0x3f9e0419u);
    page.flags = -1;
    for (ShipWeapon &weapon : page.weapons) {
        weapon.fireFlags = 0xff;
        weapon.fireSound = weapon.releaseSound = weapon.spewPowerup = longText("sound ");
        weapon.maxAmmo = -2147483647;
        Battery &battery = weapon.battery;
        battery.energyUsage = battery.ammoUsage = 1.23456789f;
        battery.gunpointIndex.fill(65535);
        battery.masks.fill({ 255, { 1.23456789f, 2, 3, 4, 5 } });
        battery.maskCount = 8;
        battery.aiming = { 0.70710678f, 12345.6789f, -0.5f };
        battery.flags = 0xffff;
        weapon.maskSounds.fill(longText("mask sound "));
        weapon.gunpointNames.fill(longText("weapon "));
    }
    return page.record();
}

// Every text 35 characters, the most the editor shows; every block filled; four death types.
QByteArray largestGeneric(const QByteArray &name)
{
    const auto text35 = [](const QByteArray &start) {
        return start + QByteArray(35 - start.size(), 'x');
    };
    testsupport::GenericPage page = awkwardGeneric();
    page.name = text35(name);
    for (QByteArray *text :
         { &page.spareA, &page.moduleName, &page.scriptOverride, &page.spareB, &page.spareC })
        *text = text35("text ");
    for (QByteArray &image : page.images)
        image = text35("image ");
    for (auto &slot : page.spew)
        slot.object = text35("spew ");
    for (auto *run : { &page.gunpointNames, &page.maskSounds })
        for (QByteArray &text : *run)
            text = text35("battery ");
    for (QByteArray &text : page.sounds)
        text = text35("sound ");
    for (QByteArray &text : page.animationSounds)
        text = text35("animation ");
    page.deaths.resize(4, page.deaths.front());
    return page.record();
}

// The sound the most pages name: the first fillers of five kinds name it, 500 pages in all.
const QByteArray kUsedSound = "Used sound";

template<typename Page, typename Set> QByteArray namingUsedSound(const QByteArray &name, Set set)
{
    Page page;
    page.name = name;
    set(page);
    return page.record();
}

struct LargestPage
{
    PageKind kind;
    QByteArray (*largest)(const QByteArray &name);
    // The other pages that fill the kind's list to its capacity; the first `users` of them
    // are made by `user`, which names kUsedSound.
    QByteArray (*filler)(const QByteArray &name);
    int users = 0;
    QByteArray (*user)(const QByteArray &name) = nullptr;
};

// The largest page of each kind: the one place to change when a kind's pages grow.
const LargestPage kLargestPages[] = {
    { PageKind::Texture, largestTexture, named<TexturePage>, 100,
      [](const QByteArray &n) {
          return namingUsedSound<TexturePage>(n, [](auto &p) { p.soundName = kUsedSound; });
      } },
    { PageKind::Sound, largestSound, named<SoundPage> },
    { PageKind::Door, largestDoor, named<DoorPage>, 50,
      [](const QByteArray &n) {
          return namingUsedSound<DoorPage>(n, [](auto &p) { p.openSound = kUsedSound; });
      } },
    { PageKind::Weapon, largestWeapon, [](const QByteArray &n) { return weaponPage(n); }, 100,
      [](const QByteArray &n) {
          return namingUsedSound<WeaponPage>(n, [](auto &p) { p.sounds[0] = kUsedSound; });
      } },
    { PageKind::Generic, largestGeneric, [](const QByteArray &n) { return genericPage(n); }, 200,
      [](const QByteArray &n) {
          return namingUsedSound<testsupport::GenericPage>(
              n, [](auto &p) { p.sounds[0] = kUsedSound; });
      } },
    { PageKind::Ship, largestShip, [](const QByteArray &n) { return shipPage(n); }, 50,
      [](const QByteArray &n) {
          return namingUsedSound<testsupport::ShipPage>(
              n, [](auto &p) { p.weapons[0].fireSound = kUsedSound; });
      } },
};

const LargestPage *largestPage(PageKind kind)
{
    for (const LargestPage &row : kLargestPages) {
        if (row.kind == kind)
            return &row;
    }
    return nullptr;
}

// Two largest pages per kind, so that each select reads a page other than the one shown.
const QByteArray kFirst = "Largest page A ", kSecond = "Largest page B ";

QByteArray fullTable()
{
    QList<QByteArray> records;
    for (const LargestPage &row : kLargestPages) {
        records << row.largest(kFirst) << row.largest(kSecond);
        int i = 2;
        if (row.kind == PageKind::Sound) {
            records << named<SoundPage>(kUsedSound);
            ++i;
        }
        for (; i < kindInfo(row.kind).capacity; ++i) {
            const QByteArray name = "Page " + QByteArray::number(i);
            records << (i - 2 < row.users ? row.user(name) : row.filler(name));
        }
    }
    return table(records);
}

struct Files
{
    QTemporaryDir dir;
    QString table = dir.filePath(u"full.gam"_s);
    Files() { writeFile(table, fullTable()); }
};

Files &files()
{
    static Files f;
    return f;
}

// An editor of one kind, shown, over a workspace of its own with the full table loaded.
struct EditorSetup
{
    explicit EditorSetup(const KindEditor &entry)
        : editor(entry.make(lists, dialogs, shared, nullptr))
    {
        // As the program runs: every change journaled, durably.
        workspace.startJournal();
        workspace.load(files().table);
        editor->reloadList();
        editor->show();
        QElapsedTimer wait;
        wait.start();
        while (!(editor->windowHandle() && editor->windowHandle()->isExposed()) &&
               wait.elapsed() < 5000)
            QApplication::processEvents();
        QApplication::processEvents();
        const NameList &names = workspace.pageNames(entry.kind);
        for (int p = 0; p < names.size(); ++p) {
            if (names[p].startsWith(kFirst))
                first = p;
            else if (names[p].startsWith(kSecond))
                second = p;
        }
    }

    // The lists of the other kinds too, as the program shows them all after a load: what the
    // fields that name pages offer and mark, and the pages that name the one shown.
    void reloadAllLists()
    {
        for (const PageKind kind : kEditedKinds)
            if (kind != editor->kind())
                lists.model(kind).reload();
    }

    // What went wrong, or empty: a message box shown, a page not found.
    QString fault()
    {
        if (first < 0 || second < 0)
            return u"the largest pages are not in the list"_s;
        const QStringList shown = dialogs.takeMessages();
        return shown.isEmpty() ? QString() : shown.join(u"; "_s);
    }

    QTemporaryDir dir;
    Workspace workspace { dir.path() };
    PageLists lists { workspace };
    ScriptedDialogs dialogs;
    QWidget sharedParent;
    SharedDialogs shared { dialogs, sharedParent };
    std::unique_ptr<PageEditor> editor;
    int first = -1;
    int second = -1;
};

// Times command and, apart, the repaint it leaves pending.
template<typename Command> void timeWithPaint(benchmark::State &state, Command &&command)
{
    double paintMs = 0;
    QElapsedTimer paint;
    for (auto _ : state) {
        command();
        state.PauseTiming();
        paint.start();
        QApplication::processEvents();
        paintMs += paint.nsecsElapsed() / 1e6;
        state.ResumeTiming();
    }
    state.counters["paint_ms"] = benchmark::Counter(paintMs, benchmark::Counter::kAvgIterations);
}

void Select(benchmark::State &state, const KindEditor *entry)
{
    EditorSetup setup(*entry);
    if (const QString fault = setup.fault(); !fault.isEmpty()) {
        state.SkipWithError(qPrintable(fault));
        return;
    }
    int next = setup.first;
    timeWithPaint(state, [&] {
        setup.editor->selectPosition(next);
        next = next == setup.first ? setup.second : setup.first;
    });
    if (const QString fault = setup.fault(); !fault.isEmpty())
        state.SkipWithError(qPrintable(fault));
    else if (setup.editor->selectedPosition() != (next == setup.first ? setup.second : setup.first))
        state.SkipWithError("the page selected last is not the one selected");
}

void Apply(benchmark::State &state, const KindEditor *entry)
{
    EditorSetup setup(*entry);
    setup.editor->selectPosition(setup.first);
    if (const QString fault = setup.fault(); !fault.isEmpty()) {
        state.SkipWithError(qPrintable(fault));
        return;
    }
    QFile working(setup.workspace.workingFilePath(entry->kind));
    const qint64 before = working.size();
    timeWithPaint(state, [&] { setup.editor->apply(); });
    const qint64 written = working.size() - before;
    if (const QString fault = setup.fault(); !fault.isEmpty())
        state.SkipWithError(qPrintable(fault));
    else if (written <= 0 || written % state.iterations() != 0)
        state.SkipWithError("Apply did not append one record each time");
    else
        state.counters["record_bytes"] = double(written / state.iterations());
}

// Undo and redo of an Apply, in turn: each points the page at another record and reads it.
void UndoRedoApply(benchmark::State &state, const KindEditor *entry)
{
    EditorSetup setup(*entry);
    setup.editor->selectPosition(setup.first);
    setup.editor->apply();
    QUndoStack &history = setup.editor->history();
    if (const QString fault = setup.fault(); !fault.isEmpty() || history.count() != 1) {
        state.SkipWithError(fault.isEmpty() ? "Apply made no change to undo" : qPrintable(fault));
        return;
    }
    timeWithPaint(state, [&] { history.canUndo() ? history.undo() : history.redo(); });
    if (const QString fault = setup.fault(); !fault.isEmpty())
        state.SkipWithError(qPrintable(fault));
    else if (setup.editor->shownPosition() != setup.first)
        state.SkipWithError("the page undone is not the one shown");
}

// One keystroke into the filter of a full list: the filter typed letter by letter, then
// erased the same way. Every keystroke filters the whole list again.
void FilterKeystroke(benchmark::State &state, const KindEditor *entry)
{
    EditorSetup setup(*entry);
    QLineEdit &field = setup.editor->filterField();
    const QString typed = u"page 12"_s;
    qsizetype at = 0;
    bool typing = true;
    timeWithPaint(state, [&] {
        typing ? field.insert(typed.mid(at, 1)) : field.backspace();
        at += typing ? 1 : -1;
        if (at == typed.size() || at == 0)
            typing = !typing;
    });
    field.setText(u"page 12"_s);
    const int shown = setup.editor->pageList().model()->rowCount();
    state.counters["pages"] = double(setup.workspace.pageNames(entry->kind).size());
    if (const QString fault = setup.fault(); !fault.isEmpty())
        state.SkipWithError(qPrintable(fault));
    else if (shown == 0 || shown >= setup.workspace.pageNames(entry->kind).size())
        state.SkipWithError("the filter does not show the pages it matches");
}

// Moving through the 21 weapons of the largest ship and through the gunpoints and firing masks
// of one, in the ship weapons window: each move keeps the fields shown and shows the next.
void ShipWeaponMoves(benchmark::State &state, Navigator &(BatteryWindow::*level)() const)
{
    ScriptedDialogs dialogs;
    ShipWeaponsWindow window(dialogs);
    const QByteArray record = largestShip(kFirst);
    RecordReader reader(record);
    PageBody ship = PageBody::read(pageFormat(PageKind::Ship), reader);
    window.load(ship.values);
    window.show();
    QApplication::processEvents();
    Navigator &navigator = (window.*level)();
    bool forward = true;
    timeWithPaint(state, [&] {
        if (!(forward ? navigator.next() : navigator.previous())) {
            forward = !forward;
            forward ? navigator.next() : navigator.previous();
        }
    });
    if (const QStringList shown = dialogs.takeMessages(); !shown.isEmpty())
        state.SkipWithError(qPrintable(shown.join(u"; "_s)));
    else if (!window.apply() || ship.values.entries(ShipPage::Weapons).size() != 21)
        state.SkipWithError("the moves left the weapons unfit to hand back");
}

// Every one of the 21 x 8 x 8 positions of the generic weapon batteries window in turn, on
// the largest generic page: the firing masks forth and back, a gunpoint on at each end, the
// next battery after the last gunpoint. Then Apply hands all of it back.
void GenericBatteryMoves(benchmark::State &state)
{
    ScriptedDialogs dialogs;
    GenericBatteryWindow window(dialogs);
    const QByteArray record = largestGeneric(kFirst);
    RecordReader reader(record);
    PageBody generic = PageBody::read(pageFormat(PageKind::Generic), reader);
    window.load(generic.values);
    window.show();
    QApplication::processEvents();
    std::vector<std::pair<Navigator *, bool>> moves; // the level, forward
    for (int b = 0; b < WeaponBattery::count; ++b) {
        for (int g = 0; g < WeaponBattery::gunpoints; ++g) {
            for (int m = 1; m < WeaponBattery::masks; ++m)
                moves.emplace_back(&window.maskNavigator(), g % 2 == 0);
            if (g + 1 < WeaponBattery::gunpoints)
                moves.emplace_back(&window.gunpointNavigator(), true);
        }
        moves.emplace_back(&window.batteryNavigator(), b + 1 < WeaponBattery::count);
    }
    size_t next = 0;
    int refused = 0;
    timeWithPaint(state, [&] {
        const auto &[level, forward] = moves[next];
        // The last move goes back a battery, so that the sequence can start again.
        refused += !(forward ? level->next() : level->previous());
        next = (next + 1) % moves.size();
    });
    state.counters["positions"] = double(moves.size());
    if (refused)
        state.SkipWithError("a move was refused");
    else if (!window.apply())
        state.SkipWithError("Apply refused the batteries");
}

// What the pages name of each other, indexed for the first question after a load: the lists
// of every kind shown afresh, then asked. "load_ms" is the load and the lists' reload.
void IndexAtLoad(benchmark::State &state)
{
    QTemporaryDir dir;
    Workspace workspace(dir.path());
    std::optional<PageLists> lists;
    double loadMs = 0;
    QElapsedTimer load;
    for (auto _ : state) {
        state.PauseTiming();
        lists.reset();
        lists.emplace(workspace);
        load.start();
        workspace.load(files().table);
        for (const PageKind kind : kEditedKinds)
            lists->model(kind).reload();
        loadMs += load.nsecsElapsed() / 1e6;
        state.ResumeTiming();
        lists->index();
    }
    state.counters["load_ms"] = benchmark::Counter(loadMs, benchmark::Counter::kAvgIterations);
    if (lists->index().usersOf(PageKind::Sound, kUsedSound) != 500)
        state.SkipWithError("the index does not know the 500 pages that name the sound");
}

// A key pressed and released in the widget: a character, or backspace for '\b'.
void typeKey(QWidget &widget, QChar typed)
{
    const bool erase = typed == u'\b';
    const int key = erase ? int(Qt::Key_Backspace) : typed.toUpper().unicode();
    const Qt::KeyboardModifiers shift = typed.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
    for (const QEvent::Type type : { QEvent::KeyPress, QEvent::KeyRelease }) {
        QKeyEvent event(type, key, shift, erase ? QString() : QString(typed));
        QApplication::sendEvent(&widget, &event);
    }
}

// One keystroke in the weapon's spawn name, which names any of the 1650 weapon and generic
// pages: the names that match it offered, and the field marked while it names none. "Page 12"
// typed key by key and erased the same way; the last key of it names a page.
void ReferenceKeystroke(benchmark::State &state, const KindEditor *entry)
{
    EditorSetup setup(*entry);
    setup.reloadAllLists();
    setup.editor->selectPosition(setup.first);
    const int item = pageFormat(entry->kind).layout->indexOf("spawn_name"_L1);
    QLineEdit *field = item < 0 ? nullptr : setup.editor->form().edit(item);
    setup.editor->activateWindow();
    QElapsedTimer wait;
    wait.start();
    while (QApplication::activeWindow() != setup.editor.get() && wait.elapsed() < 5000)
        QApplication::processEvents();
    if (!field || (*pageFormat(entry->kind).layout)[item].field.refersTo != objectPages) {
        state.SkipWithError("the weapon has no spawn name that names weapon or generic pages");
        return;
    }
    field->setFocus();
    field->clear();
    if (const QString fault = setup.fault(); !fault.isEmpty() || !field->hasFocus()) {
        state.SkipWithError(fault.isEmpty() ? "the spawn name has no focus" : qPrintable(fault));
        return;
    }
    const QString typed = u"Page 12"_s;
    qsizetype at = 0;
    bool typing = true;
    timeWithPaint(state, [&] {
        typeKey(*field, typing ? typed[at] : u'\b');
        at += typing ? 1 : -1;
        if (at == typed.size() || at == 0)
            typing = !typing;
    });
    field->clear();
    for (const QChar key : typed)
        typeKey(*field, key);
    QApplication::processEvents();
    const QCompleter *completer = field->findChild<QCompleter *>();
    const int names = setup.lists.names(objectPages).rowCount();
    const int offered = completer && completer->popup()->isVisible()
                            ? completer->completionModel()->rowCount()
                            : 0;
    const QString named = setup.editor->form().problem(item);
    typeKey(*field, u'x');
    const QString unnamed = setup.editor->form().problem(item);
    state.counters["names"] = double(names);
    state.counters["offered"] = double(offered);
    if (const QString fault = setup.fault(); !fault.isEmpty())
        state.SkipWithError(qPrintable(fault));
    else if (offered == 0 || offered >= names)
        state.SkipWithError("the spawn name does not offer the names that match it");
    else if (!named.isEmpty() || unnamed.isEmpty())
        state.SkipWithError("the spawn name is not marked as the names it holds say");
}

// The page the most pages name, shown in its editor, and "Used by" of it: the count the
// editor shows and the list of the fields that name it, filled afresh.
void UsedBy(benchmark::State &state, const KindEditor *entry)
{
    EditorSetup setup(*entry);
    setup.reloadAllLists();
    setup.editor->selectPosition(setup.lists.positionOf(entry->kind, kUsedSound));
    UsedByWindow window(setup.lists, setup.dialogs, setup.editor.get());
    window.show();
    QApplication::processEvents();
    int users = 0;
    timeWithPaint(state, [&] {
        users = setup.lists.index().usersOf(entry->kind, kUsedSound);
        window.showUses(entry->kind, kUsedSound);
    });
    if (const QString fault = setup.fault(); !fault.isEmpty())
        state.SkipWithError(qPrintable(fault));
    else if (users != 500 || window.list().topLevelItemCount() != 500 ||
             setup.editor->usedByButton().text() != u"Used by 500")
        state.SkipWithError("Used by does not show the 500 pages that name the sound");
}

// Rename all of the sound the most pages name: a new name typed into its name field, then
// Apply answered "Rename all", which writes it and the 500 pages that name it as one change.
// The name goes back and forth, so that each Apply renames.
void RenameAll(benchmark::State &state, const KindEditor *entry)
{
    EditorSetup setup(*entry);
    setup.reloadAllLists();
    setup.editor->selectPosition(setup.lists.positionOf(entry->kind, kUsedSound));
    QLineEdit &name = *setup.editor->form().edit(pageFormat(entry->kind).nameItem);
    const QString names[] = { u"Renamed sound"_s, QString::fromLatin1(kUsedSound) };
    int next = 0;
    timeWithPaint(state, [&] {
        name.selectAll();
        name.insert(names[next]);
        setup.dialogs.answers = { UserDialogs::Answer::Apply };
        setup.editor->apply();
        next = 1 - next;
    });
    // Each Apply asks once; nothing else is said.
    const QStringList said = setup.dialogs.takeMessages();
    const QByteArray last = names[1 - next].toLatin1();
    if (said.size() != state.iterations() ||
        said.filter(u"500 pages name"_s).size() != said.size())
        state.SkipWithError(qPrintable(u"not one question per Apply: "_s + said.join(u"; "_s)));
    else if (setup.editor->history().count() != state.iterations() ||
             setup.lists.index().usersOf(entry->kind, last) != 500)
        state.SkipWithError("Rename all did not rename the 500 pages each time");
}

// Undo and redo of a Rename all of the sound 500 pages name, in turn: each points the 501
// pages at other records.
void UndoRedoRenameAll(benchmark::State &state, const KindEditor *entry)
{
    EditorSetup setup(*entry);
    setup.reloadAllLists();
    setup.editor->selectPosition(setup.lists.positionOf(entry->kind, kUsedSound));
    QLineEdit &name = *setup.editor->form().edit(pageFormat(entry->kind).nameItem);
    name.selectAll();
    name.insert(u"Renamed sound"_s);
    setup.dialogs.answers = { UserDialogs::Answer::Apply };
    setup.editor->apply();
    setup.dialogs.takeMessages();
    QUndoStack &history = setup.editor->history();
    if (history.count() != 1) {
        state.SkipWithError("Rename all made no change to undo");
        return;
    }
    timeWithPaint(state, [&] { history.canUndo() ? history.undo() : history.redo(); });
    const QByteArray now = history.canUndo() ? "Renamed sound" : kUsedSound;
    if (const QString fault = setup.fault(); !fault.isEmpty())
        state.SkipWithError(qPrintable(fault));
    else if (setup.lists.index().usersOf(entry->kind, now) != 500)
        state.SkipWithError("the 500 pages do not name the sound as the history says");
}

// The table of the editor's kind, opened over the full table and painted.
struct TableSetup : EditorSetup
{
    explicit TableSetup(const KindEditor &entry)
        : EditorSetup(entry)
    {
        reloadAllLists();
    }

    std::unique_ptr<TableWindow> open()
    {
        auto window = std::make_unique<TableWindow>(*editor, lists, dialogs);
        window->show();
        QApplication::processEvents();
        return window;
    }

    // The first number column the table may multiply, from its first page.
    static int numberColumn(const TableWindow &window)
    {
        const PageTableModel &model = window.model();
        for (int column = 1; column < model.columnCount(); ++column)
            if (PageColumns::takes(model.columns()[column], PageColumns::Edit::Op::Multiply) &&
                model.cell(0, column).value)
                return column;
        return -1;
    }

    // Selects the cells of the column in the first rows the view shows.
    static void selectRows(TableWindow &window, int column, int rows)
    {
        QSortFilterProxyModel &shown = window.rows();
        const QModelIndex first = shown.mapFromSource(window.model().index(0, column));
        const QModelIndex last = shown.index(rows - 1, first.column());
        window.view().selectionModel()->select(QItemSelection(shown.index(0, first.column()), last),
                                               QItemSelectionModel::ClearAndSelect);
    }

    // Whether an error box was shown: the requests for typed values are said too.
    bool refused()
    {
        const QStringList said = dialogs.takeMessages();
        return std::any_of(said.begin(), said.end(), [](const QString &message) {
            return message.startsWith(kProgramTitle);
        });
    }

    // A bulk edit of the selected cells, typed as the user would.
    bool edit(TableWindow &window, PageColumns::Edit::Op op, const QString &typed)
    {
        dialogs.textAnswers = { QStringList { typed } };
        const int changes = editor->history().count();
        window.bulkEdit(op);
        return editor->history().count() == changes + 1 && !refused();
    }
};

void TableOpen(benchmark::State &state, const KindEditor *entry)
{
    TableSetup setup(*entry);
    double paintMs = 0;
    QElapsedTimer paint;
    for (auto _ : state) {
        auto window = std::make_unique<TableWindow>(*setup.editor, setup.lists, setup.dialogs);
        window->show();
        paint.start();
        QApplication::processEvents();
        paintMs += paint.nsecsElapsed() / 1e6;
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["paint_ms"] = benchmark::Counter(paintMs, benchmark::Counter::kAvgIterations);
}

// Each sort by another number column than the last, so that every one reads its keys.
void TableSort(benchmark::State &state, const KindEditor *entry)
{
    TableSetup setup(*entry);
    const std::unique_ptr<TableWindow> window = setup.open();
    const int first = TableSetup::numberColumn(*window);
    int second = -1;
    for (int column = first + 1; column < window->model().columnCount() && second < 0; ++column)
        if (isNumber(window->model().columns()[column].field->encoding))
            second = column;
    if (first < 0 || second < 0) {
        state.SkipWithError("the table has no two number columns");
        return;
    }
    int sorts = 0;
    timeWithPaint(state, [&] {
        const int column = sorts % 2 ? first : second;
        window->view().sortByColumn(window->rows().mapFromSource(window->model().index(0, column)).column(),
                                    (sorts / 2) % 2 ? Qt::AscendingOrder : Qt::DescendingOrder);
        ++sorts;
    });
}

void TableScroll(benchmark::State &state, const KindEditor *entry)
{
    TableSetup setup(*entry);
    const std::unique_ptr<TableWindow> window = setup.open();
    QScrollBar &bar = *window->view().verticalScrollBar();
    for (auto _ : state) {
        bar.setValue(bar.value() + bar.pageStep() > bar.maximum() ? 0 : bar.value() + bar.pageStep());
        window->view().viewport()->repaint();
    }
}

// Alternately doubles and halves one number of 1000 pages, so that each run writes them all.
void TableMultiply(benchmark::State &state, const KindEditor *entry)
{
    TableSetup setup(*entry);
    const std::unique_ptr<TableWindow> window = setup.open();
    const int column = TableSetup::numberColumn(*window);
    TableSetup::selectRows(*window, column, 1000);
    if (column < 0 || !setup.edit(*window, PageColumns::Edit::Op::Set, u"1"_s)) {
        state.SkipWithError("the cells could not be set");
        return;
    }
    bool twice = true;
    timeWithPaint(state, [&] {
        if (!setup.edit(*window, PageColumns::Edit::Op::Multiply, twice ? u"2"_s : u"0.5"_s))
            state.SkipWithError("Multiply by changed nothing or was refused");
        twice = !twice;
    });
}

// The column chooser, with a column for every entry of every list the kind's pages have.
void TableColumns(benchmark::State &state, const KindEditor *entry)
{
    TableSetup setup(*entry);
    const std::unique_ptr<TableWindow> window = setup.open();
    qsizetype columns = 0;
    for (auto _ : state) {
        ColumnChooser chooser(window->allColumns(), window->shownKeys(), window.get());
        chooser.show();
        QApplication::processEvents();
        columns = chooser.findChild<QTreeWidget *>()->topLevelItemCount();
    }
    state.counters["columns"] = double(columns);
}

// Export of every page of the kind, then import of the two files by turns, each changing one
// number of every page.
void TableCsv(benchmark::State &state, const KindEditor *entry)
{
    TableSetup setup(*entry);
    const std::unique_ptr<TableWindow> window = setup.open();
    const int column = TableSetup::numberColumn(*window);
    const int rows = window->rows().rowCount();
    const QString files[] = { setup.dir.filePath(u"a.csv"_s), setup.dir.filePath(u"b.csv"_s) };
    double exportMs = 0;
    QElapsedTimer exported;
    for (int i = 0; i < 2; ++i) {
        TableSetup::selectRows(*window, column, rows);
        if (column < 0 || !setup.edit(*window, PageColumns::Edit::Op::Set, i ? u"2"_s : u"1"_s)) {
            state.SkipWithError("the cells could not be set");
            return;
        }
        setup.dialogs.fileAnswers = { files[i] };
        exported.start();
        window->exportCsv();
        exportMs += exported.nsecsElapsed() / 1e6;
    }
    int runs = 0;
    for (auto _ : state) {
        setup.dialogs.fileAnswers = { files[runs % 2] };
        setup.dialogs.answers = { UserDialogs::Answer::Apply };
        const int changes = setup.editor->history().count();
        window->importCsv();
        if (setup.editor->history().count() != changes + 1 || setup.refused())
            state.SkipWithError("the import changed nothing or was refused");
        ++runs;
    }
    state.counters["export_ms"] = benchmark::Counter(exportMs / 2);
    state.counters["rows"] = rows;
}

const KindEditor *editorOf(PageKind kind)
{
    for (const KindEditor &entry : kindEditors())
        if (entry.kind == kind)
            return &entry;
    return nullptr;
}

void NoLargestPage(benchmark::State &state)
{
    state.SkipWithError("this kind has an editor but no largest page in kLargestPages");
}

void registerBenchmarks()
{
    for (const KindEditor &entry : kindEditors()) {
        const std::string kind(kindInfo(entry.kind).name.data(), kindInfo(entry.kind).name.size());
        if (!largestPage(entry.kind)) {
            benchmark::RegisterBenchmark(("Select/" + kind).c_str(), NoLargestPage);
            continue;
        }
        using Run = void (*)(benchmark::State &, const KindEditor *);
        for (const auto &[name, run] :
             { std::pair<std::string, Run> { "Select/", Select },
               std::pair<std::string, Run> { "Apply/", Apply },
               std::pair<std::string, Run> { "UndoRedoApply/", UndoRedoApply },
               std::pair<std::string, Run> { "FilterKeystroke/", FilterKeystroke } })
            // A fixed count: a minimum time would not count the untimed repaints, and with
            // them a run of the fast kinds would last minutes.
            benchmark::RegisterBenchmark((name + kind).c_str(), run, &entry)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(200)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true);
    }
    for (const auto &[name, level] :
         { std::pair { "ShipWeapons/weapon", &BatteryWindow::batteryNavigator },
           std::pair { "ShipWeapons/gunpoint", &BatteryWindow::gunpointNavigator },
           std::pair { "ShipWeapons/mask", &BatteryWindow::maskNavigator } })
        benchmark::RegisterBenchmark(name, ShipWeaponMoves, level)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(200)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    // The figures of the references the pages make, on the same full table.
    benchmark::RegisterBenchmark("References/index_at_load", IndexAtLoad)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    using Run = void (*)(benchmark::State &, const KindEditor *);
    for (const auto &[name, run, kind, iterations] :
         { std::tuple<const char *, Run, PageKind, int> { "References/keystroke",
                                                          ReferenceKeystroke, PageKind::Weapon,
                                                          14 * 15 },
           std::tuple<const char *, Run, PageKind, int> { "References/used_by", UsedBy,
                                                          PageKind::Sound, 50 },
           std::tuple<const char *, Run, PageKind, int> { "References/rename_all", RenameAll,
                                                          PageKind::Sound, 4 },
           std::tuple<const char *, Run, PageKind, int> { "References/undo_redo_rename_all",
                                                          UndoRedoRenameAll, PageKind::Sound,
                                                          10 } }) {
        if (const KindEditor *entry = editorOf(kind))
            benchmark::RegisterBenchmark(name, run, entry)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(iterations)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true);
    }
    // The table of the kind with the most pages, and of the one with the largest pages.
    using Run = void (*)(benchmark::State &, const KindEditor *);
    for (const PageKind kind : { PageKind::Texture, PageKind::Generic }) {
        const KindEditor *entry = editorOf(kind);
        const std::string name(kindInfo(kind).name.data(), kindInfo(kind).name.size());
        for (const auto &[what, run, iterations] :
             { std::tuple<const char *, Run, int> { "Table/open/", TableOpen, 10 },
               std::tuple<const char *, Run, int> { "Table/sort/", TableSort, 10 },
               std::tuple<const char *, Run, int> { "Table/scroll_page/", TableScroll, 100 },
               std::tuple<const char *, Run, int> { "Table/multiply_1000/", TableMultiply, 4 },
               std::tuple<const char *, Run, int> { "Table/csv_import/", TableCsv, 2 },
               std::tuple<const char *, Run, int> { "Table/column_chooser/", TableColumns, 2 } })
            benchmark::RegisterBenchmark((what + name).c_str(), run, entry)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(iterations)
                ->Repetitions(3)
                ->ReportAggregatesOnly(true);
    }
    benchmark::RegisterBenchmark("GenericBatteries/every_position", GenericBatteryMoves)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(WeaponBattery::count * WeaponBattery::gunpoints * WeaponBattery::masks)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
}

} // namespace

int main(int argc, char **argv)
{
    // The offscreen platform says so for every window shown, drowning the results.
    static QtMessageHandler standard = nullptr;
    standard = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (!text.startsWith(u"This plugin does not support"_s))
                standard(type, context, text);
        });
    // The time of our code, not of a window system: offscreen unless told otherwise.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::printf("Table file: %lld bytes\n", QFile(files().table).size());
    registerBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
