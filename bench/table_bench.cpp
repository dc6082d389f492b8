// Load and save of a table at full capacity, each against the plain file operation that moves
// the same bytes: the load against a sequential read, the save against a copy written through
// the same atomic save. Prints the two ratios at the end. Then the table as text: dump, build,
// check and diff of the same table, beside the load.

#include "check.h"
#include "diff.h"
#include "fulltable.h"
#include "loader.h"
#include "savefile.h"
#include "tablebuilder.h"
#include "tabletext.h"
#include "workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>

using namespace testsupport;
using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kBlock = 64 * 1024;

// The plain operations read into a buffer aligned as the record file's window is: a buffer that
// is not would take several times as long to fill on some processors and flatter the ratios.
struct Block
{
    alignas(64) char bytes[kBlock];
};

struct Files
{
    QTemporaryDir dir;
    QString table = dir.filePath(u"full.gam"_s);
    QString target = dir.filePath(u"saved.gam"_s);
    Files() { writeFile(table, bench::fullTable()); }
};

Files &files()
{
    static Files f;
    return f;
}

void PlainRead(benchmark::State &state)
{
    const auto buffer = std::make_unique<Block>();
    for (auto _ : state) {
        QFile file(files().table);
        file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        qint64 total = 0;
        for (qint64 n; (n = file.read(buffer->bytes, kBlock)) > 0;)
            total += n;
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * QFile(files().table).size());
}

void Load(benchmark::State &state)
{
    for (auto _ : state) {
        LoadedTable table = LoadTableFile(files().table);
        benchmark::DoNotOptimize(table);
    }
    state.SetBytesProcessed(state.iterations() * QFile(files().table).size());
}

void PlainCopy(benchmark::State &state)
{
    const auto buffer = std::make_unique<Block>();
    for (auto _ : state) {
        QFile in(files().table);
        in.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        SafeSave out(files().target);
        for (qint64 n; (n = in.read(buffer->bytes, kBlock)) > 0;)
            out.write(QByteArrayView(buffer->bytes, n));
        out.commit();
    }
    state.SetBytesProcessed(state.iterations() * QFile(files().table).size());
}

void Save(benchmark::State &state)
{
    Workspace workspace(files().dir.path());
    workspace.load(files().table);
    for (auto _ : state)
        workspace.save(files().target);
    state.SetBytesProcessed(state.iterations() * QFile(files().table).size());
}

QByteArray tableBytes()
{
    QFile file(files().table);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void Dump(benchmark::State &state)
{
    const QByteArray table = tableBytes();
    qsizetype size = 0;
    for (auto _ : state)
        size = TableText::dumpTable(table).size();
    state.counters["json_mb"] = double(size) / 1e6;
}

void Build(benchmark::State &state)
{
    const QByteArray json = TableText::dumpTable(tableBytes());
    for (auto _ : state) {
        SafeSave out(files().target);
        out.write(TableText::buildTable(json));
        out.commit();
    }
    QFile built(files().target);
    built.open(QIODevice::ReadOnly);
    if (built.readAll() != tableBytes())
        state.SkipWithError("the built table is not the one dumped");
}

void Check(benchmark::State &state)
{
    const QByteArray table = tableBytes();
    qsizetype findings = 0;
    for (auto _ : state)
        findings = checkTable(table).size();
    state.counters["findings"] = double(findings);
}

void Diff(benchmark::State &state)
{
    // One page differs; every page is matched.
    const QByteArray a = tableBytes();
    QByteArray b = a;
    b[b.size() - 3] = char(b[b.size() - 3] ^ 1);
    qsizetype lines = 0;
    for (auto _ : state)
        lines = diffTables(a, b).size();
    state.counters["lines"] = double(lines);
}

// The journal a session of 10,000 changes leaves (Apply, undo and redo pointing pages back and
// forth, Add and Delete, in every kind) read and restored onto the full table, as the start
// after a crash does.
void RestoreJournal(benchmark::State &state)
{
    static const QString work = files().dir.filePath(u"journal/"_s);
    static const QString copy = files().dir.filePath(u"restored/"_s);
    static const int changes = [] {
        QDir().mkpath(work);
        Workspace workspace(work);
        workspace.startJournal();
        workspace.load(files().table);
        std::mt19937 random(7);
        int made = 0;
        while (made < 10000) {
            const PageKind kind = kEditedKinds[random() % kEditedKinds.size()];
            const int count = workspace.pages().pageCount(kind);
            const int position = int(random() % unsigned(count));
            const qint64 before = workspace.recordOf(kind, position);
            const QByteArray name = workspace.pageNames(kind)[position].toByteArray();
            if (random() % 10 == 0) {
                const int slot = workspace.slotOf(kind, position);
                workspace.removePage(kind, position);
                workspace.restorePage(kind, position, slot, name);
                made += 2;
                continue;
            }
            workspace.applyPage(kind, position, workspace.readPage(kind, position), name);
            workspace.pointAt(kind, position, before, name);
            workspace.pointAt(kind, position, workspace.recordOf(kind, position), name);
            made += 3;
        }
        return made;
    }();
    for (auto _ : state) {
        state.PauseTiming();
        QDir(copy).removeRecursively();
        QDir().mkpath(copy);
        for (const QString &file : QDir(work).entryList(QDir::Files))
            QFile::copy(work + file, copy + file);
        state.ResumeTiming();
        Workspace workspace(copy);
        workspace.restore(*lastSession(copy));
        benchmark::DoNotOptimize(workspace);
    }
    state.counters["changes"] = changes;
}

BENCHMARK(PlainRead)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(RestoreJournal)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Load)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(PlainCopy)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(Save)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(Dump)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(Build)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(Check)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(Diff)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

// Keeps each benchmark's median real time per iteration, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::printf("Table file: %lld bytes\n", QFile(files().table).size());
    // For the whole-process comparison in resave_vs_copy.sh.
    if (const QString keep = qEnvironmentVariable("VK_BENCH_KEEP_TABLE"); !keep.isEmpty()) {
        QFile::remove(keep);
        return QFile::copy(files().table, keep) ? 0 : 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char *a, const char *b) {
        const auto x = reporter.times.find(a), y = reporter.times.find(b);
        return x == reporter.times.end() || y == reporter.times.end() ? 0.0 : x->second / y->second;
    };
    std::printf("load / plain read: %.2fx (goal: within 2x)\n", ratio("Load", "PlainRead"));
    std::printf("save / plain copy: %.2fx (goal: within 2x)\n", ratio("Save", "PlainCopy"));
    std::printf("dump %.0f ms, build %.0f ms (goal: under 1000 each); check %.0f ms, diff %.0f ms "
                "(goal: under 200 each); load %.1f ms\n",
                reporter.times["Dump"], reporter.times["Build"], reporter.times["Check"],
                reporter.times["Diff"], reporter.times["Load"]);
    benchmark::Shutdown();
    return 0;
}
