#include "pageeditor.h"

#include "fieldcodecs.h"
#include "fieldform.h"
#include "hoverhelp.h"
#include "pagefile.h"
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
#include <QPushButton>
#include <QScopedValueRollback>
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
    m_list = new QListView(listPanel);
    m_list->setModel(m_model);
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
    m_model->reload();
    m_list->clearSelection();
    m_shown = -1;
}

int PageEditor::selectedPosition() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

int PageEditor::shownPosition() const
{
    const int position = selectedPosition();
    return position == m_shown ? position : -1;
}

void PageEditor::selectPosition(int position)
{
    const QModelIndex index = m_model->index(position);
    m_list->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    m_list->setCurrentIndex(index);
    m_list->scrollTo(index);
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
    std::vector<Values> *entries = shownEntries(item);
    return entries && !entries->empty() ? &entries->front() : nullptr;
}

std::vector<Values> *PageEditor::shownEntries(int item)
{
    return shownPosition() < 0 ? nullptr : &m_body.values.entries(item);
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
        m_workspace.applyPage(kind(), position, body.record(m_format), body.name(m_format));
        m_model->rowChanged(position);
    });
}

void PageEditor::add()
{
    guarded(dialogs(), this, [&] {
        const QByteArray record = PageBody::blank(m_format).record(m_format);
        m_model->appendRow(
            [&] { m_workspace.addPage(kind(), record, QByteArray(m_format.newPageName)); });
        selectLast();
    });
}

void PageEditor::selectLast()
{
    selectPosition(m_model->rowCount() - 1);
}

void PageEditor::deletePage()
{
    const int position = selectedPosition();
    if (position < 0)
        return;
    // The view moves the selection to a neighbour; that page is not read, nothing is selected.
    const QScopedValueRollback quiet(m_deleting, true);
    m_model->removeRow(position, [&] { m_workspace.removePage(kind(), position); });
    m_list->clearSelection();
    m_shown = -1;
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
    guarded(dialogs(), this, [&] { appendPageFile(clipboard, u"page clipboard"_s); });
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
    guarded(dialogs(), this, [&] { appendPageFile(source, u"page file \"%1\""_s.arg(source)); });
}

void PageEditor::appendPageFile(const QString &path, const QString &description)
{
    const std::optional<QByteArray> record = readPageFile(path, kind(), description);
    if (!record)
        return;
    m_model->appendRow([&] { m_workspace.addPage(kind(), *record, QByteArray()); });
    selectLast();
}

#include "pageeditor.moc"
