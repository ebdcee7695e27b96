#pragma once

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

/** @short A failed SMTP step, with the text for the user. */
class SmtpError : public std::exception {
public:
    enum Kind : std::uint8_t {
        Refused,        // the server refused this step; the session goes on
        ConnectionLost, // no answer to trust: connection lost, time-out, TLS or network failure, a reply that
                        // is malformed or too long, or bytes out of turn
        SessionRefused, // the server refused the session itself (421, 530, or it hung up after its reply)
    };

    SmtpError(Kind kind, QString message)
        : m_kind(kind)
        , m_message(std::move(message))
        , m_utf8(m_message.toStdString())
    {
    }

    Kind ErrorKind() const noexcept { return m_kind; }
    const QString &Message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    Kind m_kind;
    QString m_message;
    std::string m_utf8;
};
