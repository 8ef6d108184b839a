#pragma once

#include <QString>

// Stored form of an operator password: a salted Argon2id hash in the
// self-describing "$argon2id$..." text form. There is no way back from it to
// the password; a typed password is checked with CheckPass.
// Returns an empty text only when hashing itself failed (out of memory).
QString SavePass(const QString& password);

// True when the typed password is the one the stored form was made from.
// A stored form that is not a hash of ours is refused.
bool CheckPass(const QString& typed, const QString& stored);

// The work a new hash costs. Tests that make many operators use the
// cheapest setting; the program always uses the default.
enum class PasswordHashCost
{
    Interactive,
    TestingOnly
};
void setPasswordHashCost(PasswordHashCost cost);
