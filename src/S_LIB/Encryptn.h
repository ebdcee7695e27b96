#pragma once

#include <QByteArray>

// The stored SMTP password is scrambled with a repeating key so that it is not
// readable as plain text in the configuration file. It is not encryption.

/** buffer[i] := NOT (buffer[i] XOR key[i mod key length]); its own inverse. key must not be empty. */
void EncryptBuffer(QByteArray &buffer, const QByteArray &key);
/** The same transform as EncryptBuffer. */
void DecryptBuffer(QByteArray &buffer, const QByteArray &key);
