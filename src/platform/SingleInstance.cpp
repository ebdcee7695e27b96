#include "SingleInstance.h"

#include "LocalSingleInstance.h"

std::unique_ptr<SingleInstance> CreateSingleInstance(const QString &titleMark)
{
    return std::make_unique<LocalSingleInstance>(LocalSingleInstance::DefaultFolder(), titleMark);
}
