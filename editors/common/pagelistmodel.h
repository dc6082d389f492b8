#pragma once

#include "pagekinds.h"

#include <QAbstractListModel>
#include <QHash>

class Workspace;

// A kind's page list: row p is the page at list position p of the workspace. Every change to the
// list goes through here and is announced: rows inserted and removed, a page renamed (its row's
// data changed) and a page pointed at another record (recordChanged). The model counts its rows
// itself, so that a list a load replaces is not seen until reload announces it. A page whose
// name another page of the kind also has is marked.
class PageListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    PageListModel(Workspace &workspace, PageKind kind, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    PageKind kind() const { return m_kind; }
    // Valid until the list changes.
    QByteArrayView name(int row) const;
    // How many pages of the list have the name.
    int pagesNamed(QByteArrayView name) const
    {
        return m_named.value(QByteArray::fromRawData(name.data(), name.size()));
    }
    // Where the page's current record lies, and its slot, as the workspace keeps them.
    qint64 record(int row) const;
    int slot(int row) const;
    // The row of the page with this slot, or -1 when it is not listed.
    int rowOf(int slot) const;

    // The workspace's list afresh, after a load or New table file.
    void reload();

    // Writing a record can fail (a working file that cannot be written): these two write one
    // and change nothing listed, so that a change made with what they give fails only when the
    // session journal cannot be written. Both throw TableError, and then write nothing; so do
    // the changes below, which then change nothing.
    // A new version of a page: where it lies, for pointAt.
    qint64 storeRecord(const QByteArray &record);
    // A new page, with a slot of its own outside the list: its slot, for insertPage.
    int storeNewPage(const QByteArray &record);

    void insertPage(int row, int slot, const QByteArray &name);
    void removePage(int row);
    // shown: whether the list's editor shows the page it changes, as for its own undo and redo;
    // not for a page another editor's change rewrites.
    void pointAt(int row, qint64 record, const QByteArray &name, bool shown = true);
    // Pages of several lists pointed at once, as one change that is made whole or not at all.
    struct Pointing
    {
        PageListModel *model;
        int row;
        qint64 record;
        QByteArray name;
        bool shown;
    };
    static void pointAt(const QList<Pointing> &pointings);
    // While recordChanged is announced: whether the editor is to show the page.
    bool isShown() const { return m_shown; }
    void rename(int row, const QByteArray &name);
    // The row whose page has changes not yet applied, shown in italics; -1 for none.
    void setChanged(int row);

signals:
    void recordChanged(int row);

private:
    int pageCount() const;
    // Announces a page pointed at another record, called before.
    void pointed(int row, const QByteArray &before, bool shown);
    void count(const QByteArray &name, int by);

    Workspace &m_workspace;
    PageKind m_kind;
    int m_rows;
    int m_changed = -1;
    bool m_shown = true;
    QHash<QByteArray, int> m_named;
};
