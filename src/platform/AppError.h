#pragma once

#include <QString>

#include <exception>
#include <string>

/** @short An error whose text is meant for the user's error box. */
class AppError : public std::exception {
public:
    explicit AppError(QString message)
        : m_message(std::move(message))
        , m_utf8(m_message.toStdString())
    {
    }

    const QString &Message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};
