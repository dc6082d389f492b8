// A kind's pages as a table model: edits of many cells are one change that writes only the pages
// whose values differ, and undo gives back the table byte for byte.

#include "editorfixture.h"
#include "pagetable.h"

#include <QFile>
#include <QFileInfo>
#include <QUndoStack>

using namespace testsupport;
using namespace Qt::StringLiterals;
using namespace PageColumns;

namespace {

class TableModel : public KindEditorTest
{
protected:
    // The table saved, in an order that does not depend on the list's.
    QList<QByteArray> table()
    {
        QList<QByteArray> records = saved();
        std::sort(records.begin(), records.end());
        return records;
    }
    static QList<QByteArray> sorted(QList<QByteArray> records)
    {
        std::sort(records.begin(), records.end());
        return records;
    }
    qint64 written() const { return QFileInfo(workspace.workingFilePath(kind())).size(); }
    QList<QByteArray> records() const
    {
        // A page larger than the pages the model keeps read is read and written all the same.
        PageBody huge = PageBody::blank(format());
        huge.values.field(format().nameItem) = QByteArray("Huge");
        for (const Column &column : columnsOf(kind()))
            if (takes(column, Edit::Op::Replace) &&
                setValue(huge.values, column, QByteArray(1536 * 1024, 'h')))
                break;
        QList<QByteArray> pages { page("Alpha"), page("Beta"), huge.record(format()) };
        if (const QByteArray awkward = awkwardPage(quint8(kind())); !awkward.isEmpty())
            pages.append(awkward);
        return pages;
    }
    // The first column of the kind whose cells an edit takes.
    int columnTaking(const PageTableModel &model, Edit::Op op, FieldEncoding encoding) const
    {
        for (int column = 1; column < model.columnCount(); ++column)
            if (takes(model.columns()[column], op) &&
                model.columns()[column].field->encoding == encoding)
                return column;
        return -1;
    }
    // The page's record with one cell set as a separate decode and write make it.
    QByteArray withCell(const QByteArray &record, const Column &column, const FieldValue &value)
    {
        PageBody body = *PageBody::fromRecord(format(), record);
        if (cellOf(body.values, column).value)
            setValue(body.values, column, value);
        return body.record(format());
    }
};

} // namespace

TEST_P(TableModel, ABulkEditIsOneChangeOfTheChangedPagesAndUndoGivesTheTableBack)
{
    const QList<QByteArray> original = records();
    load(original);
    PageTableModel model(lists, kind(), editor->history());
    model.setColumns(columnsOf(kind()));
    ASSERT_EQ(model.rowCount(), original.size());
    const int number = columnTaking(model, Edit::Op::Set, FieldEncoding::Float) > 0
        ? columnTaking(model, Edit::Op::Set, FieldEncoding::Float)
        : columnTaking(model, Edit::Op::Set, FieldEncoding::Int);
    ASSERT_GT(number, 0);
    const Column &column = model.columns()[number];
    const FieldEncoding encoding = column.field->encoding;
    const FieldValue seven(
        NumberValue(encoding, encoding == FieldEncoding::Float ? bitsFromFloat(7.0f) : 7u));
    QList<std::pair<int, int>> cells;
    for (int row = 0; row < model.rowCount(); ++row)
        cells.append({ row, number });

    // A refusal names the page and writes nothing.
    const qint64 before = written();
    const PageTableModel::Outcome refused =
        model.change(u"Set"_s, cells, [&](int, int, const Cell &cell) {
            return edited(column, cell, { Edit::Op::Set, u"seven"_s });
        });
    EXPECT_TRUE(refused.refusal.startsWith(
        u"\"%1\", %2: "_s.arg(model.index(0, 0).data().toString(), column.captions)))
        << refused.refusal.toStdString();
    EXPECT_EQ(written(), before);
    EXPECT_EQ(editor->history().count(), 0);

    const auto setSeven = [&](int, int, const Cell &cell) {
        return edited(column, cell, { Edit::Op::Set, u"7"_s });
    };
    PageTableModel::Outcome done = model.change(u"Set"_s, cells, setSeven);
    ASSERT_TRUE(done.refusal.isEmpty()) << done.refusal.toStdString();
    EXPECT_EQ(done.pages, original.size());
    EXPECT_EQ(editor->history().count(), 1);
    QList<QByteArray> expected;
    for (const QByteArray &record : original)
        expected.append(withCell(record, column, seven));
    EXPECT_EQ(table(), sorted(expected));
    EXPECT_EQ(model.data(model.index(0, number), PageTableModel::SortRole).toDouble(), 7.0);

    // Again: nothing differs, so nothing is written and the history stays as it is.
    const qint64 afterFirst = written();
    done = model.change(u"Set"_s, cells, setSeven);
    EXPECT_EQ(done.pages, 0);
    EXPECT_EQ(written(), afterFirst);
    EXPECT_EQ(editor->history().count(), 1);

    editor->history().undo();
    EXPECT_EQ(table(), sorted(original));
    editor->history().redo();
    EXPECT_EQ(table(), sorted(expected));

    // A typed cell is checked as its field is, and applied as one page's change.
    const int beta = int(model.match(model.index(0, 0), Qt::DisplayRole, u"Beta"_s).value(0).row());
    const int text = columnTaking(model, Edit::Op::Replace, FieldEncoding::String);
    ASSERT_GT(text, 0);
    QString refusal;
    QObject::connect(&model, &PageTableModel::refused, &model,
                     [&](const QString &why) { refusal = why; });
    EXPECT_FALSE(model.setData(model.index(beta, text), u"ő"_s, Qt::EditRole));
    EXPECT_FALSE(refusal.isEmpty());
    EXPECT_FALSE(model.setData(model.index(beta, 0), u"Renamed"_s, Qt::EditRole));
    ASSERT_TRUE(model.setData(model.index(beta, text), u"Zed"_s, Qt::EditRole));
    EXPECT_EQ(editor->history().count(), 2);
    EXPECT_EQ(editor->history().undoText(), u"Apply \"Beta\""_s);
    expected[1] = withCell(expected[1], model.columns()[text], QByteArray("Zed"));
    EXPECT_EQ(table(), sorted(expected));
    EXPECT_EQ(model.index(beta, text).data().toString(), u"Zed"_s);

    // A change whose journal entry cannot be written is refused whole: the table and the
    // history stay as they were.
    workspace.startJournal();
    ASSERT_TRUE(QFile::remove(workspace.filePath(WorkspaceFile::journal)));
    done = model.change(u"Set"_s, cells, [&](int, int, const Cell &cell) {
        return edited(column, cell, { Edit::Op::Set, u"9"_s });
    });
    EXPECT_TRUE(done.refusal.contains(u"session journal"_s)) << done.refusal.toStdString();
    EXPECT_EQ(editor->history().count(), 2);
    EXPECT_EQ(table(), sorted(expected));
}

INSTANTIATE_TEST_SUITE_P(EveryKind, TableModel,
                         testing::ValuesIn(kindEditors().begin(), kindEditors().end()), kindName);
