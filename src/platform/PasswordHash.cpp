#include "platform/PasswordHash.h"

#include <sodium.h>

namespace {
PasswordHashCost g_cost = PasswordHashCost::Interactive;

bool sodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}
} // namespace

QString SavePass(const QString& password)
{
    if (!sodiumReady())
        return {};
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    const bool cheap = g_cost == PasswordHashCost::TestingOnly;
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          cheap ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          cheap ? crypto_pwhash_MEMLIMIT_MIN
                                : crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return {};
    return QString::fromLatin1(out);
}

bool CheckPass(const QString& typed, const QString& stored)
{
    if (!sodiumReady())
        return false;
    const QByteArray hash = stored.trimmed().toLatin1();
    if (!hash.startsWith("$argon2") || hash.size() >= crypto_pwhash_STRBYTES)
        return false;
    const QByteArray utf8 = typed.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size())) == 0;
}

void setPasswordHashCost(PasswordHashCost cost)
{
    g_cost = cost;
}
