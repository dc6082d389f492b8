// vktable: the command-line companion of VK Control Panel. It reads and writes table files
// with the same engine as the program, so what it lists is what the editors show.

#include "check.h"
#include "diff.h"
#include "loader.h"
#include "numbertext.h"
#include "pagecsv.h"
#include "pagetext.h"
#include "recordfile.h"
#include "savefile.h"
#include "tablecsv.h"
#include "tableerror.h"
#include "tablereferences.h"
#include "tabletext.h"
#include "workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
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
    "                   NAME is in UTF-8, spelled as dump spells texts (a control byte\n"
    "                   as \\xNN), so that each page is one line of four columns.\n"
    "                     vktable list levels.gam\n"
    "  resave IN OUT    Load IN and write it to OUT as Save table file does with no edits.\n"
    "                   OUT may be IN.\n"
    "                     vktable resave levels.gam levels-clean.gam\n"
    "  dump FILE [-o OUT]\n"
    "                   Print the table as JSON (to OUT if given), in the file's own page\n"
    "                   order: each page's kind, version and fields under their keys\n"
    "                   (version 3 of the text form), in UTF-8. Texts keep every byte:\n"
    "                   a byte as its Windows-1252 character, a backslash doubled, a\n"
    "                   control byte, DEL and the five bytes Windows-1252 leaves undefined\n"
    "                   as \\xNN.\n"
    "                   Floats are the shortest decimals that read back to the same bits.\n"
    "                   A page that does not decode, of another version or of a kind\n"
    "                   without fields is kept as base64 \"raw\" bytes with a \"note\"\n"
    "                   saying why.\n"
    "                     vktable dump levels.gam -o levels.json\n"
    "  build IN.json OUT\n"
    "                   Write the table that IN.json describes to OUT. dump then build\n"
    "                   gives back the file byte for byte. Nothing is written when IN.json\n"
    "                   is not valid; the message names the line, the page and the key.\n"
    "                   A text reads every character Windows-1252 has as its byte, \\\\\n"
    "                   as a backslash and \\xNN as any byte; any other character is\n"
    "                   refused by name. Texts of versions 1 and 2 build too, to the same\n"
    "                   bytes; a key renamed since version 1 is named with its new spelling.\n"
    "                     vktable build levels.json levels.gam\n"
    "  check FILE       Print one line per broken reference or damaged page:\n"
    "                   KIND \"NAME\": FIELD: PROBLEM. Sound names that name no sound page,\n"
    "                   weapon images that name no texture page, weapons, spawns and spews\n"
    "                   that name no weapon or generic page, names used twice in a kind,\n"
    "                   pages of another version and pages that do not decode. Names are\n"
    "                   compared exactly, case included: whether the game ignores case is\n"
    "                   not known. An empty name refers to nothing. Names and texts are\n"
    "                   spelled as in list. Exit status 0 when nothing is found, 1\n"
    "                   otherwise.\n"
    "                     vktable check levels.gam\n"
    "  diff A B         Print the pages added, removed, renamed and changed, per kind,\n"
    "                   matching pages by kind and name in order, and each field that\n"
    "                   differs with both values, under the keys of dump. A page only A has\n"
    "                   and a page of its kind only B has are one page renamed when more\n"
    "                   than half of the fields that each holds other than a new page would\n"
    "                   are the same in the other (the closest pairs first):\n"
    "                   KIND \"OLD\": renamed to \"NEW\", then its changed fields under its\n"
    "                   old name. Names are spelled as in list. Exit status 0 when the\n"
    "                   tables hold the same pages, 1 otherwise.\n"
    "                     vktable diff old.gam new.gam\n"
    "  refs FILE KIND NAME\n"
    "                   Print every field that names the KIND page called NAME, whether or\n"
    "                   not there is one: KIND<TAB>PAGE<TAB>KEY, the kind and name of the\n"
    "                   page that holds the field and the field's key in dump, pages in file\n"
    "                   order. KIND is texture, sound, weapon, generic, door or ship; NAME\n"
    "                   is compared exactly, case included. Pages that cannot be read are\n"
    "                   named on standard error. Exit status 0 when a field names it, 1\n"
    "                   when none does.\n"
    "                     vktable refs levels.gam sound \"Laser fire\"\n"
    "  rename FILE KIND OLD NEW -o OUT\n"
    "                   Write to OUT the table with the KIND page called OLD, and every field\n"
    "                   that names it, renamed NEW; every other byte stays as it was, in the\n"
    "                   file's own page order. OUT may be FILE. Prints\n"
    "                   renamed KIND \"OLD\" to \"NEW\" and N references in M pages\n"
    "                   Nothing is written when there is no such page, when NEW is empty,\n"
    "                   OLD, another KIND page's name or holds a character Windows-1252\n"
    "                   lacks. When several KIND pages are named OLD, they keep the name and\n"
    "                   only the references are renamed. Standard error says so, names the\n"
    "                   pages that cannot be read (they keep their bytes) and warns of\n"
    "                   renamed fields that may name a page of another kind of either name.\n"
    "                     vktable rename levels.gam sound \"Laser fire\" Zap -o levels.gam\n"
    "  csv FILE KIND [-o OUT] [--columns KEY,KEY,...]\n"
    "                   Print the KIND pages as CSV (to OUT if given), in list order: a row\n"
    "                   of keys, then a row per page. The first column is the name; then the\n"
    "                   columns of the KEYs, or every field of the page and of its blocks that\n"
    "                   is not in a list. A KEY is a key of dump, the entries of a list\n"
    "                   included (weapons[3].max_ammo). Cells are written as dump writes\n"
    "                   values: a float as the shortest decimal that reads back to the same\n"
    "                   bits, a choice as its item, a bit set as its items joined by \"|\", a\n"
    "                   text with \\\\ and \\xNN. UTF-8, RFC 4180 quoting, rows end with CR LF.\n"
    "                   Pages that cannot be read are left out and named on standard error.\n"
    "                     vktable csv levels.gam weapon -o weapons.csv\n"
    "  csv-import FILE KIND IN.csv -o OUT\n"
    "                   Write to OUT the table with the KIND pages changed as IN.csv says:\n"
    "                   its rows are matched to pages by the name column, which it must have,\n"
    "                   and only the values that differ are written; every other byte stays\n"
    "                   as it was. OUT may be FILE. Prints\n"
    "                   N pages, M values will change; K names not found\n"
    "                   and names the rows' names no page has on standard error. Nothing is\n"
    "                   written when a key is no column of KIND, a name is on two rows or is\n"
    "                   the name of two pages, a cell is no value of its field, or IN.csv is\n"
    "                   not CSV in UTF-8; the message names the row and the column.\n"
    "                     vktable csv-import levels.gam weapon weapons.csv -o levels.gam\n"
    "\n"
    "Options:\n"
    "  -h, --help       Show this help.\n"
    "\n"
    "Errors go to standard error; the exit status is 2 for a command used wrongly and 1 for\n"
    "a command that failed.\n";

void printError(const QString &message)
{
    std::fprintf(stderr, "vktable: %s\n", message.toLocal8Bit().constData());
}

void writeLine(PageKind kind, int position, int slot, QByteArrayView name)
{
    const QByteArray line = kindInfo(kind).name.toString().toUtf8() + '\t' +
        QByteArray::number(position) + '\t' + QByteArray::number(slot) + '\t' +
        TableText::escapedText(name).toUtf8() + '\n';
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
        const NameList &names = workspace.pageNames(kind);
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

void writeWhole(const QString &path, const QByteArray &bytes)
{
    SafeSave file(path);
    file.write(bytes);
    file.commit();
}

QByteArray readTableFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TableError(u"Cannot open the table file \"%1\": %2"_s.arg(
            QDir::toNativeSeparators(path), file.errorString()));
    return file.readAll();
}

// A table file's bytes, once the program's loader accepts them.
QByteArray tableBytes(const QString &path)
{
    const QByteArray bytes = readTableFile(path);
    LoadTableBytes(bytes);
    return bytes;
}

// A table file, once the program's loader accepts it, read a window at a time.
RecordFile openTable(const QString &path)
{
    LoadTableFile(path);
    return RecordFile(path, u"table file"_s, 256 * 1024);
}

int dump(const QString &path, const QString &out)
{
    RecordFile table = openTable(path);
    if (out.isEmpty()) {
        TableText::dumpTable(table, [](QByteArrayView text) {
            std::fwrite(text.data(), 1, size_t(text.size()), stdout);
        });
        return 0;
    }
    SafeSave file(out);
    TableText::dumpTable(table, [&file](QByteArrayView text) { file.write(text); });
    file.commit();
    return 0;
}

int build(const QString &in, const QString &out)
{
    // The table is written as it is built, but a fault of the text is said before one of the
    // save: the save is opened at the first write, and a save that fails is said once the text
    // is read through.
    std::optional<SafeSave> file;
    std::optional<TableError> saveFault;
    const auto write = [&](QByteArrayView table) {
        if (saveFault)
            return;
        try {
            if (!file)
                file.emplace(out);
            file->write(table);
        } catch (const TableError &error) {
            saveFault = error;
            file.reset();
        }
    };
    try {
        QFile text(in);
        if (!text.open(QIODevice::ReadOnly))
            throw TableError(u"Cannot read \"%1\": %2"_s.arg(in, text.errorString()));
        TableText::buildTable(text, write);
    } catch (const TableError &error) {
        throw TableError(u"\"%1\": %2"_s.arg(in, error.message()));
    }
    write({});
    if (saveFault)
        throw *saveFault;
    file->commit();
    return 0;
}

void printLines(const QStringList &lines)
{
    for (const QString &line : lines) {
        const QByteArray text = line.toUtf8() + '\n';
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    }
}

int check(const QString &path)
{
    RecordFile table = openTable(path);
    bool found = false;
    checkTable(table, [&found](const Finding &finding) {
        printLines({ finding.line() });
        found = true;
    });
    return found ? 1 : 0;
}

// The edited kind a command line names, spelled as list spells it.
std::optional<PageKind> kindNamed(const QString &name)
{
    for (const PageKind kind : kEditedKinds)
        if (kindInfo(kind).name == name)
            return kind;
    return std::nullopt;
}

int noKindNamed(const QString &name)
{
    printError(
        u"no kind is called \"%1\": texture, sound, weapon, generic, door or ship"_s.arg(name));
    return 2;
}

// A page name as typed, in the file's bytes.
QByteArray nameBytes(const QString &text)
{
    try {
        return bytesFromText(text);
    } catch (const TableError &error) {
        throw TableError(u"\"%1\": %2"_s.arg(text, error.message()));
    }
}

void noteUnreadable(const QStringList &pages, const QString &what)
{
    if (!pages.isEmpty())
        printError(u"%1 could not be read; not %2: %3"_s.arg(
            NumberText::counted(pages.size(), u"page"_s, u"pages"_s), what, pages.join(u", "_s)));
}

int refs(const QString &path, PageKind kind, const QString &name)
{
    const QByteArray bytes = nameBytes(name);
    const TableUses found = tableUsesOf(tableBytes(path), kind, bytes);
    QStringList lines;
    for (const TableUse &use : found.uses)
        lines.append(kindInfo(use.kind).name + u'\t' + TableText::escapedText(use.pageName) +
                     u'\t' + use.key);
    printLines(lines);
    noteUnreadable(found.unreadable, u"searched"_s);
    return lines.isEmpty() ? 1 : 0;
}

int rename(const QString &path, PageKind kind, const QString &oldText, const QString &newText,
           const QString &out)
{
    const QByteArray oldName = nameBytes(oldText), newName = nameBytes(newText);
    const TableRename renamed = renameInTable(tableBytes(path), kind, oldName, newName);
    writeWhole(out, renamed.table);

    const QString kindName = kindInfo(kind).name.toString();
    const QString oldShown = TableText::escapedText(oldName);
    const QString newShown = TableText::escapedText(newName);
    const QString references =
        u"%1 in %2"_s.arg(NumberText::counted(renamed.references, u"reference"_s, u"references"_s),
                          NumberText::counted(renamed.pages, u"page"_s, u"pages"_s));
    if (renamed.named == 1)
        printLines({ u"renamed %1 \"%2\" to \"%3\" and %4"_s.arg(kindName, oldShown, newShown,
                                                                 references) });
    else
        printLines({ u"renamed %1 from %2 \"%3\" to \"%4\""_s.arg(references, kindName, oldShown,
                                                                  newShown) });
    if (renamed.named > 1)
        printError(u"%1 pages are named \"%2\": the name is shared, so the pages keep it and "
                   u"only the references were renamed"_s.arg(renamed.named)
                       .arg(oldShown));
    if (renamed.ambiguous > 0)
        printError(u"%1 may name a page of another kind called \"%2\" or \"%3\": check "
                   u"them"_s.arg(NumberText::counted(renamed.ambiguous, u"renamed reference"_s,
                                                     u"renamed references"_s),
                                 oldShown, newShown));
    if (newName.size() > kShownTextLength)
        printError(u"\"%1\" is longer than the %2 characters the game's lists show: kept whole"_s
                       .arg(newShown)
                       .arg(kShownTextLength));
    noteUnreadable(renamed.unreadable, u"changed"_s);
    return 0;
}

int csv(const QString &path, PageKind kind, const QStringList &keys, const QString &out)
{
    QString unknown;
    const QList<PageColumns::Column> columns = TableCsv::csvColumns(kind, keys, &unknown);
    if (columns.isEmpty()) {
        printError(
            u"no column of a %1 page has the key \"%2\""_s.arg(kindInfo(kind).name, unknown));
        return 2;
    }
    const TableCsv::KindPages pages(readTableFile(path), kind);
    const QByteArray text = PageCsv::exportCsv(columns, pages.pages());
    if (out.isEmpty())
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    else
        writeWhole(out, text);
    QStringList unreadable;
    for (const PageCsv::Page &page : pages.pages())
        if (!page.values)
            unreadable.append(
                u"%1 \"%2\""_s.arg(kindInfo(kind).name, TableText::escapedText(page.name)));
    noteUnreadable(unreadable, u"written"_s);
    return 0;
}

int csvImport(const QString &path, PageKind kind, const QString &in, const QString &out)
{
    const TableCsv::KindPages pages(readTableFile(path), kind);
    const QByteArray text = PageCsv::readCsvFile(in);
    PageCsv::Import import;
    try {
        import = PageCsv::planImport(kind, pages.pages(), text);
    } catch (const TableError &error) {
        throw TableError(u"\"%1\": %2"_s.arg(in, error.message()));
    }
    writeWhole(out, pages.changed(import));
    printLines({ import.summary() });
    if (!import.notFound.isEmpty())
        printError(u"no %1 page is named \"%2\": %3 left out"_s.arg(
            kindInfo(kind).name, import.notFound.join(u"\", \""_s),
            import.notFound.size() == 1 ? u"its row was"_s : u"their rows were"_s));
    return 0;
}

int diff(const QString &a, const QString &b)
{
    const QStringList lines = diffTables(tableBytes(a), tableBytes(b));
    printLines(lines);
    return lines.isEmpty() ? 0 : 1;
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
        if (args.size() == 2 && args[0] == u"dump"_s)
            return dump(args[1], {});
        if (args.size() == 4 && args[0] == u"dump"_s && args[2] == u"-o"_s)
            return dump(args[1], args[3]);
        if (args.size() == 3 && args[0] == u"build"_s)
            return build(args[1], args[2]);
        if (args.size() == 2 && args[0] == u"check"_s)
            return check(args[1]);
        if (args.size() == 3 && args[0] == u"diff"_s)
            return diff(args[1], args[2]);
        if (args.size() >= 3 && args[0] == u"csv"_s) {
            QString out;
            QStringList keys;
            bool understood = true;
            for (qsizetype i = 3; i < args.size() && understood; i += 2) {
                understood = i + 1 < args.size();
                if (understood && args[i] == u"-o"_s)
                    out = args[i + 1];
                else if (understood && args[i] == u"--columns"_s)
                    keys = args[i + 1].split(u',', Qt::SkipEmptyParts);
                else
                    understood = false;
            }
            if (understood) {
                const std::optional<PageKind> kind = kindNamed(args[2]);
                if (!kind)
                    return noKindNamed(args[2]);
                return csv(args[1], *kind, keys, out);
            }
        }
        if (args.size() == 6 && args[0] == u"csv-import"_s && args[4] == u"-o"_s) {
            const std::optional<PageKind> kind = kindNamed(args[2]);
            if (!kind)
                return noKindNamed(args[2]);
            return csvImport(args[1], *kind, args[3], args[5]);
        }
        const bool isRefs = args.size() == 4 && args[0] == u"refs"_s;
        const bool isRename = args.size() == 7 && args[0] == u"rename"_s && args[5] == u"-o"_s;
        if (isRefs || isRename) {
            const std::optional<PageKind> kind = kindNamed(args[2]);
            if (!kind)
                return noKindNamed(args[2]);
            return isRefs ? refs(args[1], *kind, args[3])
                          : rename(args[1], *kind, args[3], args[4], args[6]);
        }
    } catch (const TableError &error) {
        printError(error.message());
        return 1;
    }
    std::fputs(kUsage, stderr);
    return 2;
}
