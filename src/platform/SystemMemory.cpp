#include "SystemMemory.h"

#include <sys/sysinfo.h>

std::uint64_t TotalPhysicalMemory()
{
    struct sysinfo info {};
    if (sysinfo(&info) != 0)
        return 0;
    // The kernel counts in units of mem_unit bytes.
    return std::uint64_t(info.totalram) * info.mem_unit;
}
