#include "Encryptn.h"

#include <gtest/gtest.h>

namespace {

const QByteArray Key("wqv_tnzk.hdm");

} // namespace

TEST(EncryptnTest, KnownVectorAndItsOwnInverse)
{
    QByteArray buffer("abc");
    EncryptBuffer(buffer, Key);
    EXPECT_EQ(buffer.toHex().toUpper(), QByteArray("E9ECEA"));
    DecryptBuffer(buffer, Key);
    EXPECT_EQ(buffer, QByteArray("abc"));
}

TEST(EncryptnTest, KeyBytesComplementsAndKeyReuse)
{
    // Byte 13 meets the key's first byte again.
    QByteArray same = Key + Key.left(1);
    EncryptBuffer(same, Key);
    EXPECT_EQ(same, QByteArray(13, '\xFF'));

    QByteArray complement = Key;
    for (char &c : complement)
        c = static_cast<char>(~c);
    EncryptBuffer(complement, Key);
    EXPECT_EQ(complement, QByteArray(12, '\0'));
}
