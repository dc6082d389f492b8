#pragma once

#include "tabletext.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <span>
#include <variant>
#include <vector>

// A kind's pages as a table: a column for each field of its pages, shown and typed as the
// editors show and take them, and written as the text form writes them. The table window, its
// CSV and `vktable csv` all read and write cells through here.
namespace PageColumns {

struct Column
{
    // The way from the page body to the field: at each level the item's position and the entry
    // of its block (0 for a block of one entry); the field's own step last, entry -1.
    struct Step
    {
        int item;
        int entry;
    };
    PageKind kind = PageKind::Texture;
    std::vector<Step> path;
    const FieldSpec *field = nullptr;
    QString key; // as dump writes it: "weapons[3].max_ammo"
    QString caption; // the field's caption as its label shows it: "Max ammo"
    QString captions; // the way to it through the windows: "Ship weapons #4 > Max ammo"
    bool repeated = false; // in an entry of a list (ship weapons, death types, elements)
    bool isName = false; // the page's name
};

// How many entries of a list get columns, given the list's key ("weapons", or
// "weapons[3].masks" within an entry) and its item.
using ListEntries = std::function<int(const QString &listKey, const Item &list)>;

// The columns of a kind in layout order: every field of its pages and of their blocks of one
// entry, and of the entries ListEntries gives of each list (none without it). Counts are left
// out: a list's length is what it holds.
QList<Column> columnsOf(PageKind kind, const ListEntries &entries = {});
// Every entry of every list that one of these pages has: what a column chooser offers.
ListEntries entriesOf(PageKind kind, std::span<const Values *const> pages);
// The column of a key as columnsOf gives it (an entry's too), or std::nullopt.
std::optional<Column> columnOf(PageKind kind, QStringView key);

// A cell: the field's value in a page, and the entry that holds it (which a choice's list may
// depend on). value is nullptr when the page has no such field: its list is shorter, its block
// absent, or the field is there only when earlier values say so.
struct Cell
{
    const FieldValue *value = nullptr;
    const Values *entry = nullptr;
};
Cell cellOf(const Values &page, const Column &column);

// Whether the table may change the column: not the page's name (the editor renames, with the
// pages that name it), nor a value whose meaning nobody knows.
bool isEditable(const Column &column);

enum class Form {
    Shown, // as the editor's control shows it: a float to four digits
    Exact, // as CSV and the clipboard write it: a float as the shortest text of its bits
};
// A cell's text: a page text as its characters (Exact: as the text form writes it, "\x01" for a
// control byte), a number as its field shows it, a choice as its item (its code when it has
// none), a bit set as its checked items joined by "|" (bits without an item as a number). An
// empty string for an absent field.
QString textOf(const Column &column, const Cell &cell, Form form);
// A number's value for sorting; std::nullopt for a text, a choice and a bit set.
std::optional<double> numberOf(const Column &column, const Cell &cell);

// The value a text in the form stands for, or the message why it stands for none: the field's
// own check with its messages (an empty number is refused, not taken as 0), the range of what
// it stores, an item a list does not have, a character Windows-1252 lacks. A number or choice
// may also be given in the other form, and a float as the 0xNNNNNNNN of its bits. A text that
// is the current value's own keeps that value exactly.
using Parsed = std::variant<FieldValue, QString>;
Parsed parse(const Column &column, const Cell &cell, const QString &text, Form form);

// Whether two values of a field store the same bytes.
bool sameValue(const FieldValue &a, const FieldValue &b);

// Writes a value into a page; false when the page has no such field. A flag that gives its page
// a block adds a new one when set, and drops it when cleared, as the editors do.
bool setValue(Values &page, const Column &column, const FieldValue &value);

// An edit of many cells at once.
struct Edit
{
    enum class Op { Set, Add, Multiply, Replace, SetFlag, ClearFlag };
    Op op;
    QString text {}; // Set: the value's text; Add, Multiply: the number; Replace: what to find
    QString with {}; // Replace: what it becomes
    int bit = 0; // SetFlag, ClearFlag: the item
};
// Which edits a column takes: Set every editable one; Add and Multiply numbers; Replace texts;
// the flags bit sets.
bool takes(const Column &column, Edit::Op op);
// A cell's value after the edit, checked as a typed value is; integers are rounded to the
// nearest. The message why not when the result is out of range or not a number.
Parsed edited(const Column &column, const Cell &cell, const Edit &edit);

} // namespace PageColumns
