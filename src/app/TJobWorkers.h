#pragma once

#include "IJobWorkers.h"

/** @short The workers of real jobs: worker threads that talk to the SMTP server. */
class TJobWorkers final : public IJobWorkers {
public:
    std::unique_ptr<ISmtpWorker> CreateSmtpWorker(const TESettings &settings) override;
    std::unique_ptr<IConnectionWorker> CreateConnectionWorker(const TESettings &settings) override;
};
