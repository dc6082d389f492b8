// Select, Apply and the undo and redo of an Apply in the page editor of every kind that has
// one, on the largest page of the kind in a table at full capacity; typing into the filter
// of a full list; and the moves of the settings windows that show one entry of many. Each
// must leave room within one frame (16 ms).
// Besides the time of the call, "paint_ms" is the repaint of the window that follows it.

#include "genericdialogs.h"
#include "genericpage.h"
#include "kindeditors.h"
#include "pageeditor.h"
#include "pagelists.h"
#include "scripteddialogs.h"
#include "sharedblocks.h"
#include "shareddialogs.h"
#include "shippage.h"
#include "shipweapons.h"
#include "tablebuilder.h"
#include "workspace.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

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

struct LargestPage
{
    PageKind kind;
    QByteArray (*largest)(const QByteArray &name);
    // The other pages that fill the kind's list to its capacity.
    QByteArray (*filler)(const QByteArray &name);
};

// The largest page of each kind: the one place to change when a kind's pages grow.
const LargestPage kLargestPages[] = {
    { PageKind::Texture, largestTexture, named<TexturePage> },
    { PageKind::Sound, largestSound, named<SoundPage> },
    { PageKind::Door, largestDoor, named<DoorPage> },
    { PageKind::Weapon, largestWeapon, [](const QByteArray &n) { return weaponPage(n); } },
    { PageKind::Generic, largestGeneric, [](const QByteArray &n) { return genericPage(n); } },
    { PageKind::Ship, largestShip, [](const QByteArray &n) { return shipPage(n); } },
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
        for (int i = 2; i < kindInfo(row.kind).capacity; ++i)
            records << row.filler("Page " + QByteArray::number(i));
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
        workspace.load(files().table);
        editor->reloadList();
        editor->show();
        QElapsedTimer wait;
        wait.start();
        while (!(editor->windowHandle() && editor->windowHandle()->isExposed()) &&
               wait.elapsed() < 5000)
            QApplication::processEvents();
        QApplication::processEvents();
        const QList<QByteArray> &names = workspace.pageNames(entry.kind);
        for (int p = 0; p < names.size(); ++p) {
            if (names[p].startsWith(kFirst))
                first = p;
            else if (names[p].startsWith(kSecond))
                second = p;
        }
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
            if (!text.contains(u"does not support propagateSizeHints"_s))
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
