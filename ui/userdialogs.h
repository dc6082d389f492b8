#pragma once

#include "tableerror.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <exception>
#include <new>
#include <optional>

class QWidget;

// The main window's title and the caption of the standard error box.
inline constexpr QLatin1StringView kProgramTitle("VK Control Panel");

// Texts for the Apply and Discard buttons of a question, where those words would not say what
// the buttons do; empty keeps them.
struct QuestionChoices
{
    QString apply {};
    QString discard {};
    // No Discard button, where only going on or not is asked.
    bool withoutDiscard = false;
    // Where Cancel is a choice of its own ("Keep for later") rather than staying put.
    QString cancel {};
};

// Every message box, file dialog and link the program hands to the user goes through here,
// so that the workflows run headless under a scripted double in the tests.
class UserDialogs
{
public:
    enum class Icon { Information, Warning, Critical };
    enum class Answer { Apply, Discard, Cancel };
    using Choices = QuestionChoices;

    struct FileRequest
    {
        QString title;
        QString filter; // description|pattern pairs, bar-separated
        QString defaultSuffix;
        QString fileName; // the name proposed
        // Where the dialog starts; empty: where the user last went with it.
        QString directory {};
        // Whether an empty fileName proposes no name, rather than the file last chosen in the
        // dialog: where Enter would replace that file with something else.
        bool exactName = false;
    };

    virtual ~UserDialogs() = default;

    // A box with an OK button only.
    virtual void message(QWidget *parent, const QString &caption, const QString &text,
                         Icon icon) = 0;
    // A question with Apply, Discard and Cancel; closing the box cancels.
    virtual Answer ask(QWidget *parent, const QString &caption, const QString &text,
                       const Choices &choices = {}) = 0;
    // Values typed into one field per label, each starting with its text of `texts`;
    // std::nullopt when the user cancels.
    virtual std::optional<QStringList> askTexts(QWidget *parent, const QString &caption,
                                                const QStringList &labels,
                                                const QStringList &texts = {}) = 0;
    // The chosen file, or an empty string when the user cancels.
    virtual QString openFileName(QWidget *parent, const FileRequest &request) = 0;
    // Asks before replacing an existing file.
    virtual QString saveFileName(QWidget *parent, const FileRequest &request) = 0;
    // Hands a web or mail link to the user's browser or mail program; failures go unreported.
    virtual void openUrl(const QUrl &url) = 0;

    // The standard error box: the application's title, a stop icon and OK. A message that ends
    // in a letter or digit gets its full stop.
    void error(QWidget *parent, const QString &text);
};

// Runs a command for the user: a failure is shown in the standard error box, so that no
// exception ends the program. Returns whether the command ran to its end.
template<typename Command> bool guarded(UserDialogs &dialogs, QWidget *parent, Command &&command)
{
    try {
        command();
        return true;
    } catch (const TableError &error) {
        dialogs.error(parent, error.message());
    } catch (const std::bad_alloc &) {
        dialogs.error(parent, QStringLiteral("There is not enough memory to finish this."));
    } catch (const std::exception &error) {
        // A fault of the program's own; say it rather than end with the user's work.
        dialogs.error(parent, QStringLiteral("Internal error: %1").arg(QString::fromUtf8(error.what())));
    }
    return false;
}

// Turns "Sounds(*.isp)|*.isp|All files(*.*)|*.*" into Qt's "Sounds(*.isp);;All files(*.*)".
QString qtFileFilter(const QString &barFilter);

// Where a file dialog starts: in the request's directory, or else in the directory of the file
// last chosen in it (empty when none), proposing the request's name.
struct FileDialogStart
{
    QString directory; // empty: the dialog's own choice
    QString fileName;
};
FileDialogStart fileDialogStart(const UserDialogs::FileRequest &request, const QString &lastFile);

// The real dialogs of the desktop.
class QtUserDialogs : public UserDialogs
{
public:
    void message(QWidget *parent, const QString &caption, const QString &text, Icon icon) override;
    Answer ask(QWidget *parent, const QString &caption, const QString &text,
               const Choices &choices = {}) override;
    std::optional<QStringList> askTexts(QWidget *parent, const QString &caption,
                                        const QStringList &labels,
                                        const QStringList &texts = {}) override;
    QString openFileName(QWidget *parent, const FileRequest &request) override;
    QString saveFileName(QWidget *parent, const FileRequest &request) override;
    void openUrl(const QUrl &url) override;

private:
    QString run(QWidget *parent, const FileRequest &request, bool save);

    // Each dialog starts where the user last went with it.
    QHash<QString, QString> m_lastFiles;
};
