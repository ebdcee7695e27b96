#pragma once

#include <QString>

#include <cstdint>
#include <iosfwd>

/**
 * Where a sending thread's session stands. The numbers are fixed: the job
 * machine and its tests speak of the states by them.
 */
enum class SmtpThreadState : std::uint8_t {
    Connecting = 0,
    ConnectionError = 1, // fatal
    Authenticating = 2,
    AuthenticationError = 3, // fatal
    Idle = 4,                // connected, nothing sent yet
    Sending = 5,
    Sent = 6,             // the last message was sent; idle
    SendFailed = 7,       // the last message failed (ErrorText); idle
    UnexpectedError = 10, // fatal
};

/** States that end the session: connection, authentication and unexpected errors. */
constexpr bool IsFatalState(SmtpThreadState state)
{
    return state == SmtpThreadState::ConnectionError || state == SmtpThreadState::AuthenticationError
           || state == SmtpThreadState::UnexpectedError;
}

/** Connected and ready for a hand-over: idle, or after a message sent or failed. */
constexpr bool IsReadyState(SmtpThreadState state)
{
    return state == SmtpThreadState::Idle || state == SmtpThreadState::Sent || state == SmtpThreadState::SendFailed;
}

/** The state in words ("authentication error"), for messages and test output. */
QString ToString(SmtpThreadState state);
/** Prints the state in words in test output. */
void PrintTo(SmtpThreadState state, std::ostream *os);
