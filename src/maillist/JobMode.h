#pragma once

#include <QString>

#include <cstdint>
#include <iosfwd>

/** What the program is doing: idle, or which kind of job runs. */
enum class JobMode : std::uint8_t {
    Idle = 0,
    SendAll = 1,      // send all remaining
    SendSelected = 2, // send selected
    ResendFailed = 3,
    TestConnection = 4,
};

/** The mode in words ("send selected"), for messages and test output. */
QString ToString(JobMode mode);
/** Prints the mode in words in test output. */
void PrintTo(JobMode mode, std::ostream *os);
