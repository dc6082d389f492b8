#pragma once

#include <QString>

#include <exception>

// The one error the engine throws: its message is meant for the user as it stands.
class TableError : public std::exception
{
public:
    explicit TableError(QString message)
        : m_message(std::move(message))
        , m_utf8(m_message.toUtf8())
    { }

    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
