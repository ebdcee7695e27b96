#pragma once

#include "IConnectionWorker.h"
#include "SMTPChck.h"

#include <memory>

class TESettings;

/** @short The connection test in a TConnectionThread. */
class TConnectionWorker final : public IConnectionWorker {
public:
    explicit TConnectionWorker(const TESettings &settings);

    void Start() override { m_thread->Start(); }
    bool Terminated() const override { return m_thread->Terminated(); }
    bool Success() const override { return m_thread->Success.load(); }
    QString ResultText() const override { return m_thread->ResultText(); }

private:
    std::unique_ptr<TConnectionThread> m_thread;
};
