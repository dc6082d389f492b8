#pragma once

// A user who answers every box and dialog from a script, so that the windows run headless.

#include "userdialogs.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace testsupport {

class ScriptedDialogs : public UserDialogs
{
public:
    struct Message
    {
        QString caption;
        QString text;
        Icon icon;
    };

    void message(QWidget *, const QString &caption, const QString &text, Icon icon) override
    {
        messages.append({ caption, text, icon });
        if (onMessage)
            onMessage();
    }
    Answer ask(QWidget *, const QString &caption, const QString &text,
               const Choices &offered = {}) override
    {
        messages.append({ caption, text, Icon::Information });
        choices.append(offered);
        return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
    }
    std::optional<QStringList> askTexts(QWidget *, const QString &caption,
                                        const QStringList &labels, const QStringList &) override
    {
        messages.append({ caption, labels.join(u'|'), Icon::Information });
        return textAnswers.isEmpty() ? std::nullopt : textAnswers.takeFirst();
    }
    QString openFileName(QWidget *, const FileRequest &request) override { return answer(request); }
    QString saveFileName(QWidget *, const FileRequest &request) override { return answer(request); }
    void openUrl(const QUrl &url) override { urls.append(url); }

    // The texts of the boxes shown so far, as "caption: text"; the list is emptied.
    QStringList takeMessages()
    {
        QStringList shown;
        for (const Message &message : std::as_const(messages))
            shown.append(message.caption + QStringLiteral(": ") + message.text);
        messages.clear();
        return shown;
    }

    // Answers of the file dialogs, in order; an empty answer, or none left, cancels.
    QStringList fileAnswers;
    QList<FileRequest> fileRequests;
    // Answers of the questions, in order; none left cancels.
    QList<Answer> answers;
    // Answers of the requests for typed values, in order; none left cancels.
    QList<std::optional<QStringList>> textAnswers;
    QList<Message> messages;
    // The buttons' texts of each question asked.
    QList<Choices> choices;
    QList<QUrl> urls;
    // Runs while each box is "shown", to look at the windows behind it.
    std::function<void()> onMessage;

private:
    QString answer(const FileRequest &request)
    {
        fileRequests.append(request);
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }
};

} // namespace testsupport
