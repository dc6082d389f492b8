#include "working.h"

#include "loader.h"
#include "userdialogs.h"
#include "workspace.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

LoaderWindow::LoaderWindow(UserDialogs &dialogs, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_dialogs(dialogs)
{
    setObjectName(u"working"_s);
    setWindowTitle(u"Loading table file..."_s);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    auto *working = new QLabel(u"Working"_s, this);
    working->setAlignment(Qt::AlignCenter);
    QFont bold = working->font();
    bold.setBold(true);
    working->setFont(bold);
    auto *noteCaption = new QLabel(u"Note:"_s, this);
    noteCaption->setStyleSheet(u"color: red;"_s);
    auto *note = new QLabel(u"If the program is still loading after a minute, it may have "
                            "freezed... Just press Ctrl+Alt+Del to close it."_s,
                            this);
    note->setWordWrap(true);
    m_cancel = new QPushButton(u"Cancel"_s, this);
    m_cancel->setAutoDefault(false);

    auto *layout = new QGridLayout(this);
    layout->addWidget(working, 0, 0, 1, 2);
    layout->addWidget(m_cancel, 1, 0, 1, 2, Qt::AlignHCenter);
    layout->addWidget(noteCaption, 2, 0, Qt::AlignTop);
    layout->addWidget(note, 2, 1);
    layout->setColumnStretch(1, 1);
    // The note must fit whole, whatever the font.
    setFixedSize(198, std::max(138, layout->totalHeightForWidth(198)));
}

QString LoaderWindow::OpenGAMFile(QWidget *owner, const QString &folder)
{
    return m_dialogs.openFileName(
        owner, { u"Load table file"_s, kTableFileFilter, u"gam"_s, QString(), folder });
}

void LoaderWindow::LoadTableFile(Workspace &workspace, const QString &path)
{
    reportLoad(workspace, workspace.load(path));
}

void LoaderWindow::reportLoad(const Workspace &workspace, bool versionMismatch)
{
    warnAboutLoad(m_dialogs, this, workspace, versionMismatch);
}

void warnAboutLoad(UserDialogs &dialogs, QWidget *owner, const Workspace &workspace,
                   bool versionMismatch)
{
    if (versionMismatch)
        dialogs.message(owner, u"Warning!"_s, kVersionMismatchMessage, UserDialogs::Icon::Warning);
    if (workspace.cutOffRecord() >= 0)
        dialogs.message(owner, u"Warning!"_s, cutOffRecordMessage(workspace.cutOffRecord()),
                        UserDialogs::Icon::Warning);
}
