#include "pageeditor.h"

#include "fieldcodecs.h"
#include "fieldform.h"
#include "hoverhelp.h"
#include "pagechanges.h"
#include "pagefile.h"
#include "pagefilter.h"
#include "pagelistmodel.h"
#include "savefile.h"
#include "tableerror.h"
#include "userdialogs.h"
#include "workspace.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QUndoStack>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr std::array kShortcutKeys = { QKeyCombination(Qt::CTRL, Qt::Key_C),
                                       QKeyCombination(Qt::CTRL, Qt::Key_V),
                                       QKeyCombination(Qt::CTRL, Qt::Key_I),
                                       QKeyCombination(Qt::CTRL, Qt::Key_E) };

// Edit fields claim Ctrl+C and Ctrl+V for themselves; the editor's shortcuts must win, since
// they act on the whole window. Watched application-wide, so that fields a kind adds after the
// workflow is built are covered too.
class ShortcutPriority : public QObject
{
    Q_OBJECT

public:
    explicit ShortcutPriority(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        const auto *widget = qobject_cast<const QWidget *>(watched);
        if (!widget || widget->window() != m_window)
            return false;
        const QKeyCombination keys = static_cast<QKeyEvent *>(event)->keyCombination();
        if (std::find(kShortcutKeys.begin(), kShortcutKeys.end(), keys) == kShortcutKeys.end())
            return false;
        event->ignore();
        return true;
    }

private:
    QWidget *m_window;
};

// Escape in the filter field clears the filter, rather than close the window; with the field
// empty it does what it does anywhere in the window.
class ClearOnEscape : public QObject
{
public:
    explicit ClearOnEscape(QLineEdit *field)
        : QObject(field)
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool escape =
            (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
            static_cast<QKeyEvent *>(event)->keyCombination() == QKeyCombination(Qt::Key_Escape);
        // Checked, not cast blindly: a field being destroyed still gets events, as a QWidget.
        auto *field = escape ? qobject_cast<QLineEdit *>(watched) : nullptr;
        if (!field || field->text().isEmpty())
            return false;
        if (event->type() == QEvent::KeyPress)
            field->clear();
        event->accept();
        return true;
    }
};

QFrame *panel(QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(u"panel"_s);
    frame->setFrameShape(QFrame::StyledPanel);
    return frame;
}

} // namespace

PageEditor::PageEditor(Workspace &workspace, UserDialogs &dialogs, PageKind pageKind,
                       std::span<const int> columnStarts, QWidget *parent)
    : EditorWindow(dialogs, QString::fromLatin1(pageFormat(pageKind).windowTitle),
                   QString::fromLatin1(kindInfo(pageKind).workingFile).section(u'.', 0, 0), parent)
    , m_workspace(workspace)
    , m_format(pageFormat(pageKind))
    , m_body(PageBody::blank(m_format))
{
    QFrame *listPanel = panel(this);
    help().addArea(listPanel);
    auto *listLayout = new QVBoxLayout(listPanel);
    auto *listCaption = new QLabel(QString::fromLatin1(m_format.listCaption), listPanel);
    m_model = new PageListModel(m_workspace, kind(), this);
    m_filter = new PageFilterModel(this);
    m_filter->setSourceModel(m_model);
    m_filterField = new QLineEdit(listPanel);
    m_filterField->setPlaceholderText(u"Filter"_s);
    m_filterField->setAccessibleName(u"Filter"_s);
    m_filterField->setClearButtonEnabled(true);
    help().addHint(m_filterField,
                   u"Type part of a page name to list only the pages whose names contain it. "
                   "Escape clears the filter."_s);
    new ClearOnEscape(m_filterField);
    connect(m_filterField, &QLineEdit::textChanged, this, &PageEditor::filterList);
    m_list = new QListView(listPanel);
    m_list->setModel(m_filter);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setMinimumWidth(180);
    m_list->setAccessibleName(listCaption->text());
    listCaption->setBuddy(m_list);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PageEditor::selectPage);
    auto *listButtons = new QHBoxLayout;
    auto *addPage = makeButton(u"Add"_s, QString::fromLatin1(m_format.addHint));
    auto *deleteSelected = makeButton(u"Delete"_s, QString::fromLatin1(m_format.deleteHint));
    connect(addPage, &QPushButton::clicked, this, &PageEditor::add);
    connect(deleteSelected, &QPushButton::clicked, this, &PageEditor::deletePage);
    listButtons->addWidget(addPage);
    listButtons->addWidget(deleteSelected);
    listLayout->addWidget(listCaption);
    listLayout->addWidget(m_filterField);
    listLayout->addWidget(m_list, 1);
    listLayout->addLayout(listButtons);

    QFrame *fieldPanel = panel(this);
    help().addArea(fieldPanel);
    auto *fieldLayout = new QVBoxLayout(fieldPanel);
    m_form = new FieldForm(*m_format.layout, columnStarts, help(), check(), fieldPanel);
    help().addArea(m_form);
    fieldLayout->addWidget(m_form);
    fieldLayout->addStretch(1);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    m_kindButtons = new QGridLayout;
    buttonRow->addLayout(m_kindButtons);
    auto *applyPage = makeButton(u"&Apply"_s, QString::fromLatin1(m_format.applyHint));
    auto *closeEditor = makeButton(u"&Close"_s, QString::fromLatin1(m_format.closeHint));
    connect(applyPage, &QPushButton::clicked, this, &PageEditor::apply);
    connect(closeEditor, &QPushButton::clicked, this, &QDialog::accept);
    buttonRow->addWidget(applyPage, 0, Qt::AlignBottom);
    buttonRow->addWidget(closeEditor, 0, Qt::AlignBottom);
    fieldLayout->addLayout(buttonRow);

    auto *panels = new QHBoxLayout;
    panels->addWidget(listPanel);
    panels->addWidget(fieldPanel, 1);
    setContent(panels);

    addShortcut(u"Copy"_s, kShortcutKeys[0], &PageEditor::copy);
    addShortcut(u"Paste"_s, kShortcutKeys[1], &PageEditor::paste);
    addShortcut(u"Import"_s, kShortcutKeys[2], &PageEditor::importPage);
    addShortcut(u"Export"_s, kShortcutKeys[3], &PageEditor::exportPage);
    new ShortcutPriority(this);
    auto *find = new QAction(u"Find"_s, this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        m_filterField->setFocus(Qt::ShortcutFocusReason);
        m_filterField->selectAll();
    });
    addAction(find);
    buildHistory();
}

void PageEditor::buildHistory()
{
    m_history = new QUndoStack(this);
    // On the list only: in an edit field the keys undo typing.
    QAction *undo = m_history->createUndoAction(this, u"Undo"_s);
    undo->setShortcut(QKeyCombination(Qt::CTRL, Qt::Key_Z));
    QAction *redo = m_history->createRedoAction(this, u"Redo"_s);
    redo->setShortcuts(
        { QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z), QKeyCombination(Qt::CTRL, Qt::Key_Y) });
    for (QAction *action : { undo, redo }) {
        action->setShortcutContext(Qt::WidgetShortcut);
        m_list->addAction(action);
    }
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *menu = new QMenu(m_list);
    menu->addAction(undo);
    menu->addAction(redo);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint &at) { menu->popup(m_list->viewport()->mapToGlobal(at)); });
}

void PageEditor::filterList(const QString &text)
{
    // The page being edited stays listed: hidden, it could not be applied, and selecting it
    // again would read it afresh over what was typed.
    const int selected = selectedPosition();
    m_filter->setText(text, selected < 0 ? QList<int>() : QList<int> { selected });
}

QPushButton *PageEditor::makeButton(const QString &text, const QString &hint)
{
    return withHint(new QPushButton(text, this), hint);
}

QPushButton *PageEditor::addButton(const QString &text, const QString &hint)
{
    // Four to a row, so that a kind with many dialogs keeps the window narrow.
    constexpr int perRow = 4;
    QPushButton *button = makeButton(text, hint);
    const int added = m_kindButtons->count();
    m_kindButtons->addWidget(button, added / perRow, added % perRow);
    return button;
}

void PageEditor::addShortcut(const QString &text, const QKeySequence &keys,
                             void (PageEditor::*command)())
{
    auto *action = new QAction(text, this);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, command);
    addAction(action);
}

void PageEditor::reloadList()
{
    m_history->clear();
    m_model->reload();
    m_filterField->clear();
    m_list->clearSelection();
    m_shown = -1;
}

int PageEditor::selectedPosition() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : m_filter->mapToSource(selected.constFirst()).row();
}

QModelIndex PageEditor::viewIndex(int position) const
{
    return m_filter->mapFromSource(m_model->index(position));
}

int PageEditor::shownPosition() const
{
    const int position = selectedPosition();
    return position == m_shown ? position : -1;
}

void PageEditor::selectPosition(int position)
{
    m_filter->keep(position);
    const QModelIndex index = viewIndex(position);
    m_list->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    m_list->setCurrentIndex(index);
    m_list->scrollTo(index);
}

void PageEditor::revealPage(int position)
{
    m_filterField->clear();
    showPage(position);
}

void PageEditor::showPage(int position)
{
    if (selectedPosition() == position)
        selectPage();
    else
        selectPosition(position);
}

PageBody PageEditor::shownBody() const
{
    PageBody body = m_body;
    m_form->keep(body.values);
    putBlocks(body);
    return body;
}

Values *PageEditor::shownBlock(int item)
{
    Values *page = shownValues();
    return page && !page->entries(item).empty() ? &page->entries(item).front() : nullptr;
}

Values *PageEditor::shownValues()
{
    return shownPosition() < 0 ? nullptr : &m_body.values;
}

QByteArray PageEditor::buildRecord() const
{
    return shownBody().record(m_format);
}

void PageEditor::selectPage()
{
    const int position = selectedPosition();
    if (position < 0 || m_deleting)
        return;
    m_shown = -1;
    guarded(dialogs(), this, [&] {
        RecordReader reader(m_workspace.readPage(kind(), position));
        if (reader.version() != m_format.info().version) {
            dialogs().message(this, u"Warning"_s, QString::fromLatin1(m_format.versionMessage),
                              UserDialogs::Icon::Warning);
            return;
        }
        // Read whole before anything is shown: a damaged page leaves the editor as it was.
        try {
            m_body = PageBody::read(m_format, reader);
        } catch (const TableError &error) {
            const QString name =
                m_model->data(m_model->index(position), Qt::DisplayRole).toString();
            throw TableError(u"The page \"%1\" cannot be shown: %2"_s.arg(name, error.message()));
        }
        m_form->show(m_body.values);
        m_shown = position;
        m_workspace.setPageName(kind(), position, m_body.name(m_format));
        m_model->rowChanged(position);
    });
}

void PageEditor::apply()
{
    const int position = shownPosition();
    if (position < 0)
        return;
    guarded(dialogs(), this, [&] {
        const PageBody body = shownBody();
        auto change = std::make_unique<RecordChange>(*this, position);
        m_workspace.applyPage(kind(), position, body.record(m_format), body.name(m_format));
        // A new name that the filter does not match keeps the page listed.
        m_filter->keep(position);
        m_model->rowChanged(position);
        m_history->push(change.release());
    });
}

void PageEditor::add()
{
    guarded(dialogs(), this, [&] {
        const QByteArray record = PageBody::blank(m_format).record(m_format);
        m_model->appendRow(
            [&] { m_workspace.addPage(kind(), record, QByteArray(m_format.newPageName)); });
        selectLast();
        m_history->push(new ListChange(*this, u"Add"_s, ListChange::In, m_model->rowCount() - 1));
    });
}

void PageEditor::selectLast()
{
    selectPosition(m_model->rowCount() - 1);
}

void PageEditor::pointPageAt(int position, qint64 record, const QByteArray &name)
{
    m_workspace.pointAt(kind(), position, record, name);
    m_model->rowChanged(position);
    showPage(position);
}

void PageEditor::removePageAt(int position)
{
    // The view moves the selection to a neighbour; that page is not read, nothing is selected.
    const QScopedValueRollback quiet(m_deleting, true);
    m_model->removeRow(position, [&] { m_workspace.removePage(kind(), position); });
    m_list->clearSelection();
    m_shown = -1;
}

void PageEditor::restorePageAt(int position, int slot, const QByteArray &name)
{
    m_model->insertRow(position, [&] { m_workspace.restorePage(kind(), position, slot, name); });
    showPage(position);
}

void PageEditor::deletePage()
{
    const int position = selectedPosition();
    if (position < 0)
        return;
    auto change = std::make_unique<ListChange>(*this, u"Delete"_s, ListChange::Out, position);
    removePageAt(position);
    m_history->push(change.release());
}

void PageEditor::copy()
{
    if (shownPosition() < 0)
        return;
    guarded(dialogs(), this, [&] {
        const QString clipboard = m_workspace.filePath(WorkspaceFile::clipboard);
        m_workspace.checkWriteTarget(clipboard, Workspace::Write::Clipboard);
        saveRecord(clipboard);
    });
}

void PageEditor::saveRecord(const QString &path) const
{
    const QByteArray record = buildRecord();
    SafeSave file(path);
    file.write(record);
    file.commit();
}

void PageEditor::paste()
{
    const QString clipboard = m_workspace.filePath(WorkspaceFile::clipboard);
    if (!QFileInfo::exists(clipboard))
        return;
    guarded(dialogs(), this, [&] { appendPageFile(clipboard, u"Paste"_s, u"page clipboard"_s); });
}

void PageEditor::exportPage()
{
    const int position = shownPosition();
    if (position < 0)
        return;
    QString proposed = m_model->data(m_model->index(position), Qt::DisplayRole).toString();
    proposed.replace(u'/', u'_');
    // A page without a name proposes none: the last export's name would invite replacing it.
    const QString target =
        dialogs().saveFileName(this,
                               { u"Export page"_s, QString::fromLatin1(m_format.pageFileFilter),
                                 QString::fromLatin1(m_format.pageFileExtension), proposed, true });
    if (target.isEmpty())
        return;
    guarded(dialogs(), this, [&] {
        m_workspace.checkWriteTarget(target, Workspace::Write::Page);
        saveRecord(target);
    });
}

void PageEditor::importPage()
{
    const QString source =
        dialogs().openFileName(this,
                               { u"Import page"_s, QString::fromLatin1(m_format.pageFileFilter),
                                 QString::fromLatin1(m_format.pageFileExtension), QString() });
    if (source.isEmpty())
        return;
    guarded(dialogs(), this,
            [&] { appendPageFile(source, u"Import"_s, u"page file \"%1\""_s.arg(source)); });
}

void PageEditor::appendPageFile(const QString &path, const QString &verb,
                                const QString &description)
{
    const std::optional<QByteArray> record = readPageFile(path, kind(), description);
    if (!record)
        return;
    m_model->appendRow([&] { m_workspace.addPage(kind(), *record, QByteArray()); });
    selectLast();
    // Named as reading the page named it in the list.
    m_history->push(new ListChange(*this, verb, ListChange::In, m_model->rowCount() - 1));
}

#include "pageeditor.moc"
