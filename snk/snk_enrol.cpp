#include "snk/snk_enrol.h"

#include <cstring>

#include <openssl/crypto.h>

#include "snk/snk_seed.h"

namespace {

bool IsEmpty(const char* text) {
    return text == nullptr || text[0] == 0;
}

} // namespace

EnrolCheck CheckEnrolFields(const char* seed, const char* password, const char* confirm) {
    if (IsEmpty(seed)) return {2, "You must enter a seed value."};
    // A mistyped seed would replace a working record with one that no
    // password can ever open.
    if (!IsValidSnkSeed(seed))
        return {2, "An SNK seed is eight groups of three octal digits separated by blanks,\n"
                   "such as 123 045 377 000 111 222 333 001."};
    if (IsEmpty(password)) return {3, "Please enter a password."};
    if (IsEmpty(confirm)) return {4, "Please confirm the password."};
    if (std::strcmp(password, confirm) != 0) return {4, "Passwords mismatch."};
    return {0, nullptr};
}

void CopyEnrolField(char field[kSnkFieldSize], const char* text) {
    std::size_t i = 0;
    if (text != nullptr) {
        for (; i + 1 < kSnkFieldSize && text[i] != 0; ++i)
            field[i] = text[i];
    }
    for (; i < kSnkFieldSize; ++i)
        field[i] = 0;
}

EnrolCheck EnrolSnkSeed(const char* seed, const char* password, const char* confirm,
                        std::uint8_t record[kSnkRecordSize]) {
    char seedField[kSnkFieldSize];
    char passwordField[kSnkFieldSize];
    char confirmField[kSnkFieldSize];
    CopyEnrolField(seedField, seed);
    CopyEnrolField(passwordField, password);
    CopyEnrolField(confirmField, confirm);

    const EnrolCheck check = CheckEnrolFields(seedField, passwordField, confirmField);
    if (check.result == 0) EncryptSnkRecord(seedField, passwordField, record);

    OPENSSL_cleanse(seedField, sizeof seedField);
    OPENSSL_cleanse(passwordField, sizeof passwordField);
    OPENSSL_cleanse(confirmField, sizeof confirmField);
    return check;
}
