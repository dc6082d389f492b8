#include "userdialogs.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

using namespace Qt::StringLiterals;

void UserDialogs::error(QWidget *parent, const QString &text)
{
    const bool ends = !text.isEmpty() && text.back() > u'.';
    message(parent, kProgramTitle, ends ? text + u'.' : text, Icon::Critical);
}

QString qtFileFilter(const QString &barFilter)
{
    const QStringList parts = barFilter.split(u'|');
    QStringList descriptions;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        descriptions.append(parts[i]);
    return descriptions.join(u";;"_s);
}

FileDialogStart fileDialogStart(const UserDialogs::FileRequest &request, const QString &lastFile)
{
    if (!request.directory.isEmpty())
        return { request.directory, request.fileName };
    if (lastFile.isEmpty())
        return { QString(), request.fileName };
    const QFileInfo last(lastFile);
    if (request.fileName.isEmpty() && !request.exactName)
        return { last.absolutePath(), last.fileName() };
    return { last.absolutePath(), request.fileName };
}

void QtUserDialogs::message(QWidget *parent, const QString &caption, const QString &text, Icon icon)
{
    const QMessageBox::Icon boxIcon = icon == Icon::Critical ? QMessageBox::Critical
        : icon == Icon::Warning                              ? QMessageBox::Warning
                                                             : QMessageBox::Information;
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

UserDialogs::Answer QtUserDialogs::ask(QWidget *parent, const QString &caption,
                                       const QString &text, const Choices &choices)
{
    QMessageBox box(QMessageBox::Question, caption, text,
                    QMessageBox::Apply | QMessageBox::Cancel |
                        (choices.withoutDiscard ? QMessageBox::NoButton : QMessageBox::Discard),
                    parent);
    // The standard buttons' icons (a bin for Discard) would say something else.
    const auto relabel = [&](QMessageBox::StandardButton which, const QString &text) {
        if (text.isEmpty())
            return;
        box.button(which)->setText(text);
        box.button(which)->setIcon(QIcon());
    };
    relabel(QMessageBox::Apply, choices.apply);
    relabel(QMessageBox::Discard, choices.discard);
    relabel(QMessageBox::Cancel, choices.cancel);
    box.setDefaultButton(QMessageBox::Apply);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Apply:
        return Answer::Apply;
    case QMessageBox::Discard:
        return Answer::Discard;
    default:
        return Answer::Cancel;
    }
}

std::optional<QStringList> QtUserDialogs::askTexts(QWidget *parent, const QString &caption,
                                                  const QStringList &labels,
                                                  const QStringList &texts)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(caption);
    auto *form = new QFormLayout(&dialog);
    QList<QLineEdit *> fields;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        auto *field = new QLineEdit(texts.value(i), &dialog);
        auto *label = new QLabel(labels[i], &dialog);
        label->setBuddy(field);
        form->addRow(label, field);
        fields.append(field);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QStringList typed;
    for (const QLineEdit *field : std::as_const(fields))
        typed.append(field->text());
    return typed;
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
    const FileDialogStart start = fileDialogStart(request, m_lastFiles.value(key));
    if (!start.directory.isEmpty())
        dialog.setDirectory(start.directory);
    if (!start.fileName.isEmpty())
        dialog.selectFile(start.fileName);
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
