#include "pageeditor.h"

#include "fieldcodecs.h"
#include "fieldform.h"
#include "hoverhelp.h"
#include "pagechanges.h"
#include "pagefile.h"
#include "pagelistmodel.h"
#include "pagelistpanel.h"
#include "pagelists.h"
#include "pagetext.h"
#include "references.h"
#include "savefile.h"
#include "settingswindow.h"
#include "tableerror.h"
#include "tablewindow.h"
#include "usedby.h"
#include "userdialogs.h"
#include "windowshortcuts.h"
#include "workspace.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PageEditor::PageEditor(PageLists &lists, UserDialogs &dialogs, PageKind pageKind,
                       std::span<const int> columnStarts, QWidget *parent)
    : EditorWindow(dialogs, QString::fromLatin1(pageFormat(pageKind).windowTitle),
                   QString::fromLatin1(kindInfo(pageKind).workingFile).section(u'.', 0, 0), parent)
    , m_lists(lists)
    , m_workspace(lists.workspace())
    , m_format(pageFormat(pageKind))
    , m_body(PageBody::blank(m_format))
    , m_title(windowTitle())
{
    m_model = &lists.model(kind());
    lists.setEditor(kind(), this);
    m_list = new PageListPanel(QString::fromLatin1(m_format.listCaption), *m_model, help(), this);
    connect(m_list, &PageListPanel::selectionChanged, this, &PageEditor::selectPage);
    auto *addPage = makeButton(u"Add"_s, QString::fromLatin1(m_format.addHint));
    auto *deleteSelected = makeButton(u"Delete"_s, QString::fromLatin1(m_format.deleteHint));
    connect(addPage, &QPushButton::clicked, this, &PageEditor::add);
    connect(deleteSelected, &QPushButton::clicked, this, &PageEditor::deletePage);
    m_list->addButton(addPage);
    m_list->addButton(deleteSelected);

    auto *panels = new QHBoxLayout;
    panels->addWidget(m_list);
    panels->addWidget(buildFieldPanel(columnStarts), 1);
    setContent(panels);

    addShortcuts();
    m_history = new PageHistory(m_list->list());
    m_history->setGuard([this] { return settleChanges(); });
    m_history->setFailure([this](const QString &message) { this->dialogs().error(this, message); });
    followList();
    connect(m_form, &FieldForm::edited, this, &PageEditor::touched);
    // With nothing left to undo in a field, its undo keys reach the page's history.
    for (QLineEdit *field : m_form->findChildren<QLineEdit *>())
        field->installEventFilter(this);
    m_form->setReferences(&lists);
    connect(&lists, &ReferenceTargets::changed, this, [this] {
        updateUsers();
        updateNameMark();
    });
    connect(m_form->edit(m_format.nameItem), &QLineEdit::textEdited, this,
            &PageEditor::updateNameMark);
    showNothing();
}

PageEditor::~PageEditor()
{
    if (m_lists.madeEditor(kind()) == this)
        m_lists.setEditor(kind(), nullptr);
}

QFrame *PageEditor::buildFieldPanel(std::span<const int> columnStarts)
{
    auto *fieldPanel = new QFrame(this);
    fieldPanel->setObjectName(u"panel"_s);
    fieldPanel->setFrameShape(QFrame::StyledPanel);
    help().addArea(fieldPanel);
    auto *fieldLayout = new QVBoxLayout(fieldPanel);
    m_form = new FieldForm(*m_format.layout, columnStarts, help(), check(), fieldPanel);
    help().addArea(m_form);
    fieldLayout->addWidget(m_form);
    fieldLayout->addStretch(1);
    auto *buttonRow = new QHBoxLayout;
    m_usedBy = makeButton(
        u"Used by 0"_s, u"The pages that name this one: open one with a double-click or Enter."_s);
    connect(m_usedBy, &QPushButton::clicked, this, &PageEditor::showUsers);
    buttonRow->addWidget(m_usedBy, 0, Qt::AlignBottom);
    auto *table = makeButton(u"&Table"_s,
                             u"Show every page of this kind as a table: sort and compare them, "
                             "change many at once, export and import CSV. Ctrl+T."_s);
    connect(table, &QPushButton::clicked, this, &PageEditor::showTable);
    buttonRow->addWidget(table, 0, Qt::AlignBottom);
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
    return fieldPanel;
}

void PageEditor::addShortcuts()
{
    auto *shortcuts = new WindowShortcuts(*this);
    shortcuts->add(u"Copy"_s, QKeyCombination(Qt::CTRL, Qt::Key_C), [this] { copy(); });
    shortcuts->add(u"Paste"_s, QKeyCombination(Qt::CTRL, Qt::Key_V), [this] { paste(); });
    shortcuts->add(u"Import"_s, QKeyCombination(Qt::CTRL, Qt::Key_I), [this] { importPage(); });
    shortcuts->add(u"Export"_s, QKeyCombination(Qt::CTRL, Qt::Key_E), [this] { exportPage(); });
    shortcuts->add(u"Table"_s, QKeyCombination(Qt::CTRL, Qt::Key_T), [this] { showTable(); });
    shortcuts->add(u"Find"_s, QKeySequence::Find, [this] {
        filterField().setFocus(Qt::ShortcutFocusReason);
        filterField().selectAll();
    });
}

void PageEditor::followList()
{
    connect(m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first) { showPage(first); });
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &PageEditor::showNothing);
    connect(m_model, &PageListModel::recordChanged, this, [this](int position) {
        // Apply's own change leaves the page as the controls show it; a page another editor
        // rewrote is read again when shown, and not shown otherwise.
        if (position == m_shown ? m_model->record(position) != m_shownRecord : m_model->isShown())
            showPage(position);
    });
}

QListView &PageEditor::pageList() const
{
    return m_list->list();
}

QLineEdit &PageEditor::filterField() const
{
    return m_list->filterField();
}

QUndoStack &PageEditor::history() const
{
    return *m_history;
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

void PageEditor::reloadList()
{
    m_history->clear();
    m_model->reload();
    filterField().clear();
    pageList().clearSelection();
    showNothing();
}

void PageEditor::showNothing()
{
    m_shown = -1;
    m_stored.reset();
    m_form->clear();
    m_form->setEnabled(false);
    setChangeMark(false);
    updateUsers();
    updateNameMark();
}

std::optional<QByteArrayView> PageEditor::shownName() const
{
    // A list may announce a change before this editor has followed it, or a load replace the
    // pages before the list is shown afresh.
    const NameList &names = m_workspace.pageNames(kind());
    const bool shown = m_shown >= 0 && m_shown < m_model->rowCount() && m_shown < names.size();
    return shown ? std::optional(names[m_shown]) : std::nullopt;
}

void PageEditor::updateUsers()
{
    const std::optional<QByteArrayView> name = shownName();
    const int users = name ? m_lists.index().usersOf(kind(), name->toByteArray()) : 0;
    m_usedBy->setText(u"Used by %1"_s.arg(users));
    m_usedBy->setEnabled(users > 0);
}

void PageEditor::updateNameMark()
{
    QString problem;
    if (const std::optional<QByteArrayView> stored = shownName()) {
        const QString typed = m_form->edit(m_format.nameItem)->text();
        if (!unstorableCharacter(typed)) {
            const QByteArray name = bytesFromText(typed);
            const int others = m_model->pagesNamed(name) - (*stored == name ? 1 : 0);
            if (!name.isEmpty() && others > 0)
                problem = u"Another %1 page is named \"%2\""_s.arg(kindInfo(kind()).name, typed);
        }
    }
    m_form->setProblem(m_format.nameItem, problem);
}

void PageEditor::showUsers()
{
    if (m_shown < 0)
        return;
    UsedByWindow window(m_lists, dialogs(), this);
    if (const std::optional<ReferenceIndex::Page> page =
            window.pick(kind(), m_model->name(m_shown).toByteArray()))
        m_lists.openPage(page->kind, m_lists.positionOf(page->kind, page->id), *this);
}

void PageEditor::showTable()
{
    if (!settleChanges())
        return;
    TableWindow window(*this, m_lists, dialogs());
    centreOnScreen(window, *this);
    window.exec();
}

bool PageEditor::isChanged() const
{
    // Comparing copies a page's blocks: only once something may have changed.
    if (m_shown < 0 || !m_touched)
        return false;
    try {
        return shownBody() != *m_stored;
    } catch (const TableError &) {
        return true; // a text that cannot be stored was typed
    }
}

void PageEditor::updateChangeMark()
{
    setChangeMark(isChanged());
}

void PageEditor::keepStored()
{
    // The controls never change m_body; only what changes it directly needs the copy first.
    if (!m_stored)
        m_stored = m_body;
}

void PageEditor::touched()
{
    keepStored();
    m_touched = true;
    updateChangeMark();
}

void PageEditor::setChangeMark(bool changed)
{
    if (!changed)
        m_touched = false;
    setWindowTitle(changed ? m_title + u" *"_s : m_title);
    m_model->setChanged(changed ? m_shown : -1);
}

bool PageEditor::settleChanges()
{
    if (!isChanged())
        return true;
    const QString name = textFromBytes(m_stored->name(m_format));
    switch (dialogs().ask(this, m_title, u"Apply the changes to \"%1\"?"_s.arg(name))) {
    case UserDialogs::Answer::Apply:
        return applyAt(m_shown);
    case UserDialogs::Answer::Discard:
        m_body = *m_stored;
        m_form->show(m_body.values);
        setChangeMark(false);
        updateNameMark();
        return true;
    case UserDialogs::Answer::Cancel:
        break;
    }
    return false;
}

void PageEditor::done(int result)
{
    if (settleChanges())
        EditorWindow::done(result);
}

bool PageEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const auto *field = static_cast<QLineEdit *>(watched);
        if (key->matches(QKeySequence::Undo) && !field->isUndoAvailable()) {
            m_history->userUndo();
            return true;
        }
        if (key->matches(QKeySequence::Redo) && !field->isRedoAvailable()) {
            m_history->userRedo();
            return true;
        }
    }
    return EditorWindow::eventFilter(watched, event);
}

void PageEditor::editSettings(SettingsWindow &window, Values *values)
{
    if (!values)
        return;
    const auto handed = connect(&window, &SettingsWindow::handedBack, this, &PageEditor::touched);
    window.setReferences(&m_lists);
    window.edit(*values);
    disconnect(handed);
}

int PageEditor::selectedPosition() const
{
    return m_list->selectedRow();
}

int PageEditor::shownPosition() const
{
    const int position = selectedPosition();
    return position == m_shown ? position : -1;
}

void PageEditor::selectPosition(int position)
{
    m_list->select(position);
}

void PageEditor::revealPage(int position)
{
    filterField().clear();
    showPage(position);
}

void PageEditor::openFrom(int position, QWidget &from)
{
    if (from.window() == this) {
        revealPage(position);
        return;
    }
    if (isVisible()) {
        dialogs().message(
            &from, m_title,
            u"The %1 window is open beneath this one: close this one to go to \"%2\"."_s.arg(
                m_title, textFromBytes(m_model->name(position))),
            UserDialogs::Icon::Information);
        return;
    }
    revealPage(position);
    showModal();
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

PageBody &PageEditor::shownPage()
{
    keepStored();
    return m_body;
}

Values *PageEditor::shownBlock(int item)
{
    Values *page = shownValues();
    return page && !page->entries(item).empty() ? &page->entries(item).front() : nullptr;
}

Values *PageEditor::shownValues()
{
    if (shownPosition() < 0)
        return nullptr;
    keepStored();
    return &m_body.values;
}

QByteArray PageEditor::buildRecord() const
{
    return shownBody().record(m_format);
}

void PageEditor::selectPage()
{
    const int position = selectedPosition();
    if (position < 0 || m_selecting)
        return;
    if (!settleChanges()) {
        // Cancel: the page being edited stays selected, and current once a click that chose
        // another row is over.
        const auto putBack = [this] {
            const QScopedValueRollback selecting(m_selecting, true);
            if (m_shown >= 0)
                selectPosition(m_shown);
        };
        putBack();
        QTimer::singleShot(0, this, putBack);
        return;
    }
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
            const QString name = textFromBytes(m_model->name(position));
            throw TableError(u"The page \"%1\" cannot be shown: %2"_s.arg(name, error.message()));
        }
        m_stored.reset();
        m_form->show(m_body.values);
        m_form->setEnabled(true);
        m_shown = position;
        m_shownRecord = m_model->record(position);
        m_model->rename(position, m_body.name(m_format));
    });
    // A page just read is as stored; one that could not be read is no longer shown.
    setChangeMark(false);
    updateUsers();
    updateNameMark();
}

void PageEditor::apply()
{
    applyAt(shownPosition());
}

bool PageEditor::applyAt(int position)
{
    if (position < 0)
        return false;
    const QByteArray oldName = m_model->name(position).toByteArray();
    bool applied = true;
    return guarded(
               dialogs(), this,
               [&] {
                   PageBody body = shownBody();
                   const QByteArray newName = body.name(m_format);
                   if (newName != oldName && !oldName.isEmpty() &&
                       m_lists.index().usersOf(kind(), oldName) > 0) {
                       const std::optional<bool> all = askRenameAll(oldName, newName);
                       if (!all || *all) {
                           applied = all && renameAll(position, std::move(body), oldName);
                           return;
                       }
                   }
                   // Written before the change is made: a record that cannot be written leaves the
                   // page and the history as they were.
                   const qint64 record = m_model->storeRecord(body.record(m_format));
                   m_shownRecord = record;
                   const QByteArray name = body.name(m_format);
                   // m_body keeps what the controls may bring back, such as a block a flag dropped.
                   m_stored = std::move(body);
                   m_form->endTyping();
                   pushChange(*m_history, new RecordChange(*m_model, position, { record, name }));
                   setChangeMark(false);
               }) &&
        applied;
}

std::optional<bool> PageEditor::askRenameAll(const QByteArray &oldName, const QByteArray &newName)
{
    const int users = m_lists.index().usersOf(kind(), oldName);
    const QString old = textFromBytes(oldName);
    QString question = users == 1 ? u"1 page names \"%1\""_s.arg(old)
                                  : u"%1 pages name \"%2\""_s.arg(users).arg(old);
    if (m_model->pagesNamed(oldName) > 1)
        question += u", a name another %1 page also has"_s.arg(kindInfo(kind()).name);
    question += u". Change %1 to \"%2\" too?"_s.arg(users == 1 ? u"it"_s : u"them"_s,
                                                    textFromBytes(newName));
    switch (dialogs().ask(this, m_title, question, { u"Rename all"_s, u"Only this page"_s })) {
    case UserDialogs::Answer::Apply:
        return true;
    case UserDialogs::Answer::Discard:
        return false;
    case UserDialogs::Answer::Cancel:
        break;
    }
    return std::nullopt;
}

bool PageEditor::renameAll(int position, PageBody body, const QByteArray &oldName)
{
    // What another editor shows unapplied of a page about to be rewritten would be read over.
    for (const PageKind other : kEditedKinds)
        if (PageEditor *editor = m_lists.madeEditor(other); editor && editor != this)
            if (!editor->settleChanges())
                return false;
    const QByteArray newName = body.name(m_format);
    const int slot = m_model->slot(position);
    // Every record is written before any page points at it: a write that fails leaves every
    // page, and the history, as they were.
    const bool ownFields = renameReferences(kind(), body, kind(), oldName, newName) > 0;
    QList<PagesChange::Page> pages = { { m_model,
                                         slot,
                                         { m_model->record(position), oldName },
                                         { m_model->storeRecord(body.record(m_format)),
                                           newName } } };
    QList<ReferenceIndex::Page> done = { { kind(), slot } };
    for (const ReferenceIndex::Use &use : m_lists.index().usesOf(kind(), oldName)) {
        if (done.contains(use.page))
            continue;
        done.append(use.page);
        PageListModel &model = m_lists.model(use.page.kind);
        const int row = model.rowOf(use.page.id);
        const PageFormat &format = pageFormat(use.page.kind);
        std::optional<PageBody> referring =
            PageBody::fromRecord(format, m_workspace.readPage(use.page.kind, row));
        if (!referring)
            continue; // the index keeps only pages it could read; this one changed since
        renameReferences(use.page.kind, *referring, kind(), oldName, newName);
        pages.append(
            { &model,
              use.page.id,
              { model.record(row), model.name(row).toByteArray() },
              { model.storeRecord(referring->record(format)), model.name(row).toByteArray() } });
    }
    // Pages that cannot be read may name it too: the user hears of each that holds the name.
    QStringList unread;
    QByteArray held = oldName;
    held.append('\0');
    for (const PageKind other : kEditedKinds)
        for (const int unreadable : m_lists.unreadable(other)) {
            const int row = m_lists.positionOf(other, unreadable);
            try {
                if (row >= 0 && m_workspace.readPage(other, row).contains(held))
                    unread.append(u"%1 \"%2\""_s.arg(
                        kindInfo(other).name, textFromBytes(m_lists.model(other).name(row))));
            } catch (const TableError &) { }
        }

    m_shownRecord = pages.front().after.record;
    if (ownFields) {
        m_body = body;
        m_form->show(m_body.values);
    }
    m_stored = std::move(body);
    m_form->endTyping();
    pushChange(*m_history, PagesChange::rename(oldName, newName, std::move(pages)));
    setChangeMark(false);
    if (!unread.isEmpty())
        dialogs().message(this, m_title,
                          u"These pages could not be read and were not changed; they may still "
                          "name \"%1\": %2."_s.arg(textFromBytes(oldName), unread.join(u", "_s)),
                          UserDialogs::Icon::Warning);
    return true;
}

void PageEditor::add()
{
    if (!settleChanges())
        return;
    guarded(dialogs(), this, [&] {
        appendPage(u"Add"_s, PageBody::blank(m_format).record(m_format),
                   QByteArray(m_format.newPageName));
    });
}

void PageEditor::appendPage(const QString &verb, const QByteArray &record, const QByteArray &name)
{
    const int slot = m_model->storeNewPage(record);
    pushChange(*m_history,
               new ListChange(*m_model, verb, ListChange::In, m_model->rowCount(), slot, name));
}

void PageEditor::deletePage()
{
    const int position = selectedPosition();
    if (position < 0)
        return;
    guarded(dialogs(), this, [&] {
        pushChange(*m_history,
                   new ListChange(*m_model, u"Delete"_s, ListChange::Out, position,
                                  m_model->slot(position), m_model->name(position).toByteArray()));
    });
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
    if (!QFileInfo::exists(clipboard) || !settleChanges())
        return;
    guarded(dialogs(), this, [&] { appendPageFile(clipboard, u"Paste"_s, u"page clipboard"_s); });
}

void PageEditor::exportPage()
{
    const int position = shownPosition();
    if (position < 0)
        return;
    QString proposed = textFromBytes(m_model->name(position));
    proposed.replace(u'/', u'_');
    // A page without a name proposes none: the last export's name would invite replacing it.
    const QString target =
        dialogs().saveFileName(this,
                               { .title = u"Export page"_s,
                                 .filter = QString::fromLatin1(m_format.pageFileFilter),
                                 .defaultSuffix = QString::fromLatin1(m_format.pageFileExtension),
                                 .fileName = proposed,
                                 .exactName = true });
    if (target.isEmpty())
        return;
    guarded(dialogs(), this, [&] {
        m_workspace.checkWriteTarget(target, Workspace::Write::Page);
        saveRecord(target);
    });
}

void PageEditor::importPage()
{
    if (!settleChanges())
        return;
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
    // Named as reading the page names it in the list.
    appendPage(verb, *record, QByteArray());
}
