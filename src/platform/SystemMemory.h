#pragma once

#include <cstdint>

/** The machine's total physical memory in bytes, as the kernel reports it; 0 when it cannot be read. */
std::uint64_t TotalPhysicalMemory();
