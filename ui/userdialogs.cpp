#include "userdialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

using namespace Qt::StringLiterals;

void UserDialogs::error(QWidget *parent, const QString &text)
{
    message(parent, QApplication::applicationDisplayName(), text, Icon::Critical);
}

QString qtFileFilter(const QString &barFilter)
{
    const QStringList parts = barFilter.split(u'|');
    QStringList descriptions;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        descriptions.append(parts[i]);
    return descriptions.join(u";;"_s);
}

void QtUserDialogs::message(QWidget *parent, const QString &caption, const QString &text, Icon icon)
{
    const QMessageBox::Icon boxIcon = icon == Icon::Critical ? QMessageBox::Critical
        : icon == Icon::Warning                              ? QMessageBox::Warning
                                                             : QMessageBox::Information;
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

QString QtUserDialogs::openFileName(QWidget *parent, const FileRequest &request)
{
    return run(parent, request, false);
}

QString QtUserDialogs::saveFileName(QWidget *parent, const FileRequest &request)
{
    return run(parent, request, true);
}

QString QtUserDialogs::run(QWidget *parent, const FileRequest &request, bool save)
{
    const QString key = request.title;
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(qtFileFilter(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    const QString last = m_lastFiles.value(key);
    if (!last.isEmpty())
        dialog.setDirectory(QFileInfo(last).absolutePath());
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    else if (!last.isEmpty())
        dialog.selectFile(QFileInfo(last).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    m_lastFiles.insert(key, chosen);
    return chosen;
}

void QtUserDialogs::openUrl(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}
