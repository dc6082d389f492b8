#include "editorwindow.h"

#include "editorstyle.h"
#include "fieldcheck.h"
#include "hoverhelp.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

void centreOnScreen(QWidget &window, const QWidget &onScreenOf)
{
    window.move(onScreenOf.screen()->availableGeometry().center() - window.rect().center());
}

EditorWindow::EditorWindow(UserDialogs &dialogs, const QString &title, const QString &name,
                           QWidget *parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_dialogs(dialogs)
{
    setWindowTitle(title);
    setObjectName(name);
    setModal(true);
    applyEditorStyle(this);

    m_memo = new QPlainTextEdit(this);
    m_memo->setReadOnly(true);
    m_memo->setAccessibleName(u"Help"_s);
    m_memo->setFixedHeight(m_memo->fontMetrics().lineSpacing() * 3 + 12);
    m_help = new HoverHelp(m_memo);
    m_help->addArea(this);
    m_check = new FieldCheck(m_dialogs, this);
}

void EditorWindow::setContent(QLayout *content)
{
    auto *window = new QVBoxLayout(this);
    window->addLayout(content, 1);
    window->addWidget(m_memo);
    window->setSizeConstraint(QLayout::SetFixedSize);
}

void EditorWindow::prepareButton(QAbstractButton *button, const QString &hint)
{
    button->setFocusPolicy(Qt::TabFocus);
    if (auto *push = qobject_cast<QPushButton *>(button))
        push->setAutoDefault(false);
    m_help->addHint(button, hint);
}

void EditorWindow::showModal()
{
    adjustSize();
    centreOnScreen(*this, *this);
    exec();
}
