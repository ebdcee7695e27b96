#include "Encryptn.h"

#include <cassert>

void EncryptBuffer(QByteArray &buffer, const QByteArray &key)
{
    assert(!key.isEmpty());
    if (key.isEmpty())
        return; // release builds: a programming error must not divide by zero
    for (qsizetype i = 0; i < buffer.size(); ++i)
        buffer[i] = static_cast<char>(~(buffer[i] ^ key[i % key.size()]));
}

void DecryptBuffer(QByteArray &buffer, const QByteArray &key)
{
    EncryptBuffer(buffer, key);
}
