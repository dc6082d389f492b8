// The table of a kind's pages: opened from its editor, edited a cell and many cells at a time,
// undone byte for byte, sorted, filtered, copied and pasted, and CSV out and in.

#include "columnchooser.h"
#include "editorfixture.h"
#include "frozentableview.h"
#include "pagecolumns.h"
#include "pagecsv.h"
#include "pagelistmodel.h"
#include "pagetable.h"
#include "tablewindow.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCompleter>
#include <QHeaderView>
#include <QListWidget>
#include <QScrollBar>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTreeWidget>
#include <QUndoStack>

#include <bit>

#include <sys/stat.h>

using namespace testsupport;
using namespace Qt::StringLiterals;
using namespace PageColumns;

namespace {

class TableTest : public KindEditorTest
{
protected:
    // Opens the table with Ctrl+T or the button, runs the steps in it, closes it.
    void inTable(const std::function<void(TableWindow &)> &steps, bool byKey = true)
    {
        bool ran = false;
        QTimer::singleShot(0, editor.get(), [&] {
            auto *window = qobject_cast<TableWindow *>(QApplication::activeModalWidget());
            if (!window)
                return;
            EXPECT_TRUE(QTest::qWaitFor([&] { return window->isActiveWindow(); }));
            steps(*window);
            ran = true;
            window->close();
        });
        if (byKey) {
            QTest::keyClick(editor.get(), Qt::Key_T, Qt::ControlModifier);
        } else {
            for (QPushButton *button : editor->findChildren<QPushButton *>())
                if (button->text() == u"&Table"_s)
                    button->click();
        }
        EXPECT_TRUE(ran) << "the table did not open";
    }

    static int numberColumn(const PageTableModel &model)
    {
        for (int column = 1; column < model.columnCount(); ++column) {
            const Column &shown = model.columns()[column];
            if (isNumber(shown.field->encoding) && isEditable(shown) && model.cell(0, column).value)
                return column;
        }
        return -1;
    }

    // The record the page's editor would write with the cell's value typed as text.
    QByteArray withValue(const QByteArray &record, const Column &column, const QString &text)
    {
        PageBody body = *PageBody::fromRecord(format(), record);
        const Parsed value = parse(column, cellOf(body.values, column), text, Form::Shown);
        EXPECT_TRUE(std::holds_alternative<FieldValue>(value)) << text.toStdString();
        setValue(body.values, column, std::get<FieldValue>(value));
        return body.record(format());
    }
};

// A weapon named name whose player damage is damage.
QByteArray weapon(const QByteArray &name, float damage, quint32 flags = 0)
{
    const PageFormat &format = pageFormat(PageKind::Weapon);
    PageBody body = PageBody::blank(format);
    body.values.field(format.nameItem) = name;
    const Layout &layout = *format.layout;
    body.values.field(layout.indexOf("player_damage"_L1)) =
        NumberValue(FieldEncoding::Float, std::bit_cast<quint32>(damage));
    body.values.field(layout.indexOf("weapon_flags"_L1)) = flags;
    return body.record(format);
}

QList<double> numbers(const QAbstractItemModel &rows, int column)
{
    QList<double> numbers;
    for (int row = 0; row < rows.rowCount(); ++row)
        numbers.append(rows.index(row, column).data(PageTableModel::SortRole).toDouble());
    return numbers;
}

QStringList columnTexts(const QAbstractItemModel &rows, int column)
{
    QStringList texts;
    for (int row = 0; row < rows.rowCount(); ++row)
        texts.append(rows.index(row, column).data().toString());
    return texts;
}

} // namespace

// A cell typed in writes its page as Apply would, a refused one keeps the typing, and a bulk
// edit is one change that Ctrl+Z takes back to the very bytes.
TEST_P(TableTest, EditsWriteAsApplyAndUndoRestoresEveryByte)
{
    const QByteArray awkward = awkwardPage(quint8(kind()));
    load({ page("Zulu"), awkward, page("Zebra") }); // listed by name: the awkward page first
    inTable(
        [&](TableWindow &table) {
            EXPECT_EQ(table.windowTitle(), QString::fromLatin1(format().windowTitle) + u" table"_s);
            QStringList defaults;
            for (const Column &column : columnsOf(kind()))
                if (!column.isName && !column.repeated)
                    defaults.append(column.key);
            EXPECT_EQ(table.shownKeys(), defaults);
            const int column = numberColumn(table.model());
            ASSERT_GT(column, 0);
            const Column &shown = table.model().columns()[column];
            QTableView &view = table.view();
            const QModelIndex cell = table.rows().index(0, column);
            const QString typed = cell.data().toString() == u"1"_s ? u"2"_s : u"1"_s;

            view.setCurrentIndex(cell);
            view.edit(cell);
            auto *line = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            ASSERT_TRUE(line);
            line->setText(u"x1"_s);
            QTest::keyClick(line, Qt::Key_Return);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.isEmpty(); }));
            const QStringList refused = dialogs.takeMessages();
            ASSERT_EQ(refused.size(), 1);
            EXPECT_TRUE(refused[0].startsWith(kProgramTitle)) << refused[0].toStdString();
            line = qobject_cast<QLineEdit *>(QApplication::focusWidget());
            ASSERT_TRUE(line) << "the cell's editor did not open again";
            EXPECT_EQ(line->text(), u"x1"_s);
            EXPECT_EQ(editor->history().count(), 0);

            line->setText(typed);
            QTest::keyClick(line, Qt::Key_Return); // the view commits once the key is handled
            EXPECT_TRUE(QTest::qWaitFor([&] { return editor->history().count() == 1; }));
            EXPECT_EQ(lastWritten(), withValue(awkward, shown, typed));
            const QList<QByteArray> before = saved();

            // The rows chosen by their names: the column last current.
            view.selectionModel()->select(
                QItemSelection(table.rows().index(0, 0), table.rows().index(2, 0)),
                QItemSelectionModel::ClearAndSelect);
            ASSERT_EQ(table.targetCells().size(), 3);
            dialogs.textAnswers = { QStringList { u"2"_s } };
            table.bulkEdit(Edit::Op::Multiply);
            EXPECT_TRUE(dialogs.takeMessages().join(u'\n').startsWith(u"Multiply by: "_s));
            EXPECT_EQ(editor->history().count(), 2);
            const QList<QByteArray> after = saved();
            EXPECT_NE(after, before);
            EXPECT_EQ(table.rows().index(0, column).data(PageTableModel::SortRole).toDouble(),
                      2 * typed.toDouble());

            for (const auto modifiers : { Qt::ControlModifier | Qt::ShiftModifier,
                                          Qt::KeyboardModifiers(Qt::ControlModifier) }) {
                QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
                EXPECT_EQ(saved(), before);
                QTest::keyClick(&view, modifiers == Qt::ControlModifier ? Qt::Key_Y : Qt::Key_Z,
                                modifiers);
                EXPECT_EQ(saved(), after);
            }
        },
        kind() == PageKind::Texture);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.takeMessages().join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryKind, TableTest,
                         testing::ValuesIn(kindEditors().begin(), kindEditors().end()), kindName);

class WeaponTable : public TableTest
{
public:
    static KindEditor weapons()
    {
        for (const KindEditor &kind : kindEditors())
            if (kind.kind == PageKind::Weapon)
                return kind;
        return {};
    }
};

// A bit set is edited in a check list, a choice in a drop-down, a name of a page with the names
// to pick from and a mark when it names none; each writes only its own bits.
TEST_P(WeaponTable, ChoicesBitsAndNamesAreEditedWithTheirOwnControls)
{
    const QList<QByteArray> records = { weapon("Laser", 1), sound("Zap") };
    load(records);
    lists.model(PageKind::Sound).reload();
    inTable([&](TableWindow &table) {
        table.showColumns(
            { u"weapon_flags"_s, u"lighting.lighting_render_type"_s, u"sounds.sound_slot_1"_s });
        QTableView &view = table.view();
        const auto editCell = [&](int column) {
            // The names' popup takes the activation with it when it closes offscreen.
            table.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&table));
            const QModelIndex cell = table.rows().index(0, column);
            view.setCurrentIndex(cell);
            view.edit(cell);
            return QApplication::focusWidget();
        };
        const auto commit = [&](QWidget *control, int changes) {
            QTest::keyClick(control, Qt::Key_Return);
            EXPECT_TRUE(QTest::qWaitFor([&] { return editor->history().count() == changes; }));
            return *PageBody::fromRecord(format(), lastWritten());
        };

        auto *flags = qobject_cast<QListWidget *>(editCell(1));
        ASSERT_TRUE(flags);
        flags->item(1)->setCheckState(Qt::Checked);
        PageBody written = commit(flags, 1);
        EXPECT_EQ(maskOf(*cellOf(written.values, table.model().columns()[1]).value), 2u);

        auto *render = qobject_cast<QComboBox *>(editCell(2));
        ASSERT_TRUE(render);
        ASSERT_EQ(render->count(), 3);
        render->setCurrentIndex(2);
        written = commit(render, 2);
        EXPECT_EQ(maskOf(*cellOf(written.values, table.model().columns()[2]).value), 2u);

        auto *sound = qobject_cast<QLineEdit *>(editCell(3));
        ASSERT_TRUE(sound && sound->findChild<QCompleter *>());
        QTest::keyClicks(sound, u"za"_s);
        QAbstractItemView &offered = *sound->findChild<QCompleter *>()->popup();
        EXPECT_TRUE(QTest::qWaitFor([&] { return offered.isVisible(); }));
        EXPECT_EQ(offered.model()->index(0, 0).data().toString(), u"Zap"_s);
        offered.hide();
        sound->setText(u"Zap"_s);
        written = commit(sound, 3);
        EXPECT_EQ(textOf(*cellOf(written.values, table.model().columns()[3]).value), "Zap");
        EXPECT_FALSE(table.rows().index(0, 3).data(Qt::DecorationRole).isValid());
        sound = qobject_cast<QLineEdit *>(editCell(3));
        ASSERT_TRUE(sound);
        sound->setText(u"Zip"_s);
        commit(sound, 4);
        EXPECT_TRUE(table.rows().index(0, 3).data(Qt::DecorationRole).isValid());
        EXPECT_EQ(table.rows().index(0, 3).data(Qt::ToolTipRole).toString(),
                  u"No sound page is named \"Zip\""_s);
    });
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.takeMessages().join(u'\n').toStdString();
}

// Numbers sort as numbers, names as words whatever their case; the filter is the page list's;
// the names stay in view; cells copy and paste as a spreadsheet's, refused whole at a bad one.
TEST_P(WeaponTable, SortFilterFrozenNamesCopyAndPaste)
{
    load({ weapon("beta", 10), weapon("Alpha", 9.5), weapon("Gamma", 100) });
    inTable([&](TableWindow &table) {
        QTableView &view = table.view();
        QAbstractItemModel &rows = table.rows();
        int damage = -1;
        for (int column = 1; column < table.model().columnCount(); ++column)
            if (table.model().columns()[column].key == u"player_damage"_s)
                damage = column;
        ASSERT_GT(damage, 0);
        EXPECT_EQ(columnTexts(rows, 0), columnTexts(*editor->pageList().model(), 0));
        view.sortByColumn(damage, Qt::AscendingOrder);
        EXPECT_EQ(columnTexts(rows, 0), QStringList({ u"Alpha"_s, u"beta"_s, u"Gamma"_s }));
        view.sortByColumn(damage, Qt::DescendingOrder);
        EXPECT_EQ(columnTexts(rows, 0), QStringList({ u"Gamma"_s, u"beta"_s, u"Alpha"_s }));
        view.sortByColumn(0, Qt::DescendingOrder);
        EXPECT_EQ(columnTexts(rows, 0), QStringList({ u"Gamma"_s, u"beta"_s, u"Alpha"_s }));
        view.sortByColumn(0, Qt::AscendingOrder);
        EXPECT_EQ(columnTexts(rows, 0), QStringList({ u"Alpha"_s, u"beta"_s, u"Gamma"_s }));
        view.sortByColumn(0, Qt::DescendingOrder);

        QTest::keyClick(&view, Qt::Key_F, Qt::ControlModifier);
        EXPECT_TRUE(table.filterField().hasFocus());
        QTest::keyClicks(&table.filterField(), u"ET"_s);
        EXPECT_EQ(columnTexts(rows, 0), QStringList({ u"beta"_s }));
        QTest::keyClick(&table.filterField(), Qt::Key_Escape);
        EXPECT_EQ(rows.rowCount(), 3);
        EXPECT_TRUE(table.isVisible()); // Escape cleared the filter, and only that

        QTableView &frozen = static_cast<FrozenTableView &>(view).frozenView();
        view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum());
        QCoreApplication::processEvents();
        EXPECT_GT(view.horizontalScrollBar()->value(), 0);
        EXPECT_FALSE(frozen.isColumnHidden(0));
        EXPECT_TRUE(frozen.isColumnHidden(damage));
        EXPECT_EQ(frozen.selectionModel(), view.selectionModel());
        EXPECT_EQ(frozen.columnWidth(0), view.columnWidth(0));
        EXPECT_EQ(frozen.viewport()->mapTo(&view, QPoint()).x(),
                  view.viewport()->mapTo(&view, QPoint()).x());

        // Gamma 100, beta 10 copied; pasted over beta and Alpha.
        view.selectionModel()->select(QItemSelection(rows.index(0, 0), rows.index(1, damage)),
                                      QItemSelectionModel::ClearAndSelect);
        table.copy();
        const QString copied = QApplication::clipboard()->text();
        EXPECT_TRUE(copied.startsWith(u"Gamma\t"_s)) << copied.toStdString();
        view.setCurrentIndex(rows.index(1, 0));
        table.paste();
        QStringList messages = dialogs.takeMessages();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains(u"\"beta\", Weapon name"_s)) << messages[0].toStdString();
        view.setCurrentIndex(rows.index(1, damage));
        QApplication::clipboard()->setText(u"100\n10\n"_s);
        table.paste();
        EXPECT_EQ(numbers(rows, damage), QList<double>({ 100, 100, 10 }));
        EXPECT_EQ(editor->history().count(), 1);
        QApplication::clipboard()->setText(u"5\nlots\n"_s);
        table.paste();
        messages = dialogs.takeMessages();
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].contains(u"\"Alpha\", Player damage: "_s))
            << messages[0].toStdString();
        EXPECT_EQ(numbers(rows, damage), QList<double>({ 100, 100, 10 }));
        EXPECT_EQ(editor->history().count(), 1);
    });
}

// Import shows what it would change and writes it only on Apply, as one change; a file too
// large is refused unread; the columns chosen are the kind's next time.
TEST_P(WeaponTable, CsvImportAskedFirstAndColumnsRemembered)
{
    load({ weapon("Laser", 10), weapon("Flak", 20) });
    const QList<QByteArray> before = saved();
    const QString csv = dir.path(u"in.csv"_s);
    writeFile(csv, "weapon_name,player_damage\r\nFlak,25\r\nNone,1\r\n");
    inTable([&](TableWindow &table) {
        dialogs.fileAnswers = { csv };
        dialogs.answers = { UserDialogs::Answer::Cancel };
        table.importCsv();
        QStringList asked = dialogs.takeMessages();
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].startsWith(u"Import CSV: 1 page, 1 value will change; 1 name not "
                                        "found"_s))
            << asked[0].toStdString();
        EXPECT_TRUE(asked[0].contains(u"\"None\""_s));
        EXPECT_EQ(saved(), before);

        dialogs.fileAnswers = { csv };
        dialogs.answers = { UserDialogs::Answer::Apply };
        table.importCsv();
        dialogs.takeMessages();
        EXPECT_EQ(editor->history().count(), 1);
        const QList<QByteArray> after = saved();
        EXPECT_EQ(after, QList<QByteArray>({ weapon("Flak", 25), before[1] }));

        const QString large = dir.path(u"large.csv"_s);
        QFile file(large);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(PageCsv::kMaxCsvSize + 1));
        file.close();
        dialogs.fileAnswers = { large };
        table.importCsv();
        asked = dialogs.takeMessages();
        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked[0].contains(u"MB) a CSV file of pages may have"_s))
            << asked[0].toStdString();
        // A pipe is refused, not opened to wait for a writer.
        const QString pipe = dir.path(u"pipe.csv"_s);
        ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        dialogs.fileAnswers = { pipe };
        table.importCsv();
        EXPECT_EQ(dialogs.takeMessages().size(), 1);
        EXPECT_EQ(saved(), after);

        const QString out = dir.path(u"out.csv"_s);
        dialogs.fileAnswers = { out };
        table.showColumns({ u"player_damage"_s, u"no_such_key"_s });
        table.exportCsv();
        EXPECT_EQ(readFile(out), "weapon_name,player_damage\r\nFlak,25\r\nLaser,10\r\n");

        QTimer::singleShot(0, &table, [] {
            auto *chooser = qobject_cast<ColumnChooser *>(QApplication::activeModalWidget());
            ASSERT_TRUE(chooser);
            QTest::keyClicks(&chooser->filterField(), u"size"_s);
            QTest::mouseClick(chooser->findChild<QPushButton *>(u"none"_s), Qt::LeftButton);
            for (int row = 0; row < chooser->list().topLevelItemCount(); ++row)
                if (chooser->list().topLevelItem(row)->text(1) == u"particle_size"_s)
                    chooser->list().topLevelItem(row)->setCheckState(0, Qt::Checked);
            chooser->accept();
        });
        table.chooseColumns();
        // The filter hid player_damage from None.
        EXPECT_EQ(table.shownKeys(), QStringList({ u"particle_size"_s, u"player_damage"_s }));
    });
    inTable(
        [&](TableWindow &table) {
            EXPECT_EQ(table.shownKeys(), QStringList({ u"particle_size"_s, u"player_damage"_s }));
            table.showColumns({});
        },
        false);
    QSettings(u"vkcp"_s, u"vkcp"_s).remove(u"table"_s);
}

INSTANTIATE_TEST_SUITE_P(Weapons, WeaponTable, testing::Values(WeaponTable::weapons()), kindName);
