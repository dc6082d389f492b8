// vktable: the command-line companion of VK Control Panel. It reads and writes table files
// with the same engine as the program, so what it lists is what the editors show.

#include "loader.h"
#include "tableerror.h"
#include "workspace.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr char kUsage[] =
    "Usage: vktable COMMAND ARGUMENTS\n"
    "Reads and writes table files (.gam) of VK Control Panel.\n"
    "\n"
    "Commands:\n"
    "  list FILE        Print one line per page: KIND<TAB>POSITION<TAB>SLOT<TAB>NAME.\n"
    "                   The six edited kinds come first, in the order and list order of\n"
    "                   the editors (texture, sound, weapon, generic, door, ship), then\n"
    "                   the pass-through pages by slot (their POSITION is SLOT - 1).\n"
    "  resave IN OUT    Load IN and write it to OUT as Save table file does with no edits.\n"
    "                   OUT may be IN.\n"
    "\n"
    "Options:\n"
    "  -h, --help       Show this help.\n";

void printError(const QString &message)
{
    std::fprintf(stderr, "vktable: %s\n", message.toLocal8Bit().constData());
}

void writeLine(PageKind kind, int position, int slot, const QByteArray &name)
{
    const QByteArray line = kindInfo(kind).name.toString().toLatin1() + '\t' +
        QByteArray::number(position) + '\t' + QByteArray::number(slot) + '\t' + name + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
}

// Loads path as the program does, with its warnings about pages of another version and a
// page cut short.
Workspace loaded(const QString &path)
{
    Workspace workspace(Workspace::programDirectory());
    if (workspace.load(path))
        std::fprintf(stderr, "%s\n", kVersionMismatchMessage.data());
    if (workspace.cutOffRecord() >= 0)
        printError(cutOffRecordMessage(workspace.cutOffRecord()));
    return workspace;
}

int list(const QString &path)
{
    const Workspace workspace = loaded(path);
    const PageDirectory &pages = workspace.pages();
    for (PageKind kind : kEditedKinds) {
        const QList<QByteArray> &names = workspace.pageNames(kind);
        for (int position = 0; position < names.size(); ++position)
            writeLine(kind, position, pages.slotAt(kind, position), names[position]);
    }
    for (int position = 0; position < pages.pageCount(PageKind::PassThrough); ++position)
        writeLine(PageKind::PassThrough, position, position + 1, {});
    return 0;
}

int resave(const QString &in, const QString &out)
{
    Workspace workspace = loaded(in);
    if (workspace.pages().totalPageCount() == 0) {
        std::fprintf(stderr, "Nothing to save!\n");
        return 1;
    }
    workspace.save(out);
    std::printf("Table file saved\n");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    if (args.contains(u"-h"_s) || args.contains(u"--help"_s)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    try {
        if (args.size() == 2 && args[0] == u"list"_s)
            return list(args[1]);
        if (args.size() == 3 && args[0] == u"resave"_s)
            return resave(args[1], args[2]);
    } catch (const TableError &error) {
        printError(error.message());
        return 1;
    }
    std::fputs(kUsage, stderr);
    return 1;
}
