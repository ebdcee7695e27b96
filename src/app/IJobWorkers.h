#pragma once

#include "IConnectionWorker.h"
#include "ISmtpWorker.h"

#include <memory>

class TESettings;

/** @short Creates the worker of each connection of a job (created, not yet started). */
class IJobWorkers {
public:
    virtual ~IJobWorkers() = default;

    virtual std::unique_ptr<ISmtpWorker> CreateSmtpWorker(const TESettings &settings) = 0;
    virtual std::unique_ptr<IConnectionWorker> CreateConnectionWorker(const TESettings &settings) = 0;
};
