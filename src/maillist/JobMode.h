#pragma once

#include <cstdint>

/** What the program is doing: idle, or which kind of job runs. */
enum JobMode : std::uint8_t {
    jmIdle = 0,
    jmSendAll = 1,      // send all remaining
    jmSendSelected = 2, // send selected
    jmResendFailed = 3,
    jmTestConnection = 4,
};
