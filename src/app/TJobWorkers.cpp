#include "TJobWorkers.h"

#include "TConnectionWorker.h"
#include "TSmtpWorker.h"

std::unique_ptr<ISmtpWorker> TJobWorkers::CreateSmtpWorker(const TESettings &settings)
{
    return std::make_unique<TSmtpWorker>(settings);
}

std::unique_ptr<IConnectionWorker> TJobWorkers::CreateConnectionWorker(const TESettings &settings)
{
    return std::make_unique<TConnectionWorker>(settings);
}
