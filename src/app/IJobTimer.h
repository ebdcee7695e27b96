#pragma once

/** @short The job timer: while enabled it steps the job machine every 100 ms. */
class IJobTimer {
public:
    virtual ~IJobTimer() = default;

    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled() const = 0;
};
