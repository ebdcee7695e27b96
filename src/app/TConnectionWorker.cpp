#include "TConnectionWorker.h"

TConnectionWorker::TConnectionWorker(const TESettings &settings)
    : m_thread(std::make_unique<TConnectionThread>())
{
    m_thread->Setup(settings);
}
