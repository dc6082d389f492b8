#pragma once

#include "pagefields.h"

#include <QByteArray>
#include <QObject>

class QAbstractItemModel;
class QWidget;

// What a form asks about the pages its reference fields may name, as the table holds them
// now. The editors give one to their forms and to the settings windows they open.
class ReferenceTargets : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The names of the pages of the kinds, one row each (Qt::DisplayRole: the name as the page
    // lists show it), in list order, kind after kind. It follows the table.
    virtual QAbstractItemModel &names(KindSet kinds) = 0;
    // Whether a page of one of the kinds has the name.
    virtual bool isNamed(KindSet kinds, const QByteArray &name) const = 0;
    // Opens the page of one of the kinds that has the name in its editor, over `from`; nothing
    // when none has it.
    virtual void goTo(KindSet kinds, const QByteArray &name, QWidget &from) = 0;

signals:
    // Pages were added, removed or renamed: a name may now name a page, or no longer.
    void changed();
};
