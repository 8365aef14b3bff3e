#include "snk/snk_enrol.h"

#include <cstring>

#include <openssl/crypto.h>

#include "snk/snk_seed.h"

namespace {

bool IsEmpty(const char* text) {
    return text == nullptr || text[0] == 0;
}

} // namespace

EnrolRefusal CheckEnrolFields(const char* seed, const char* password, const char* confirm) {
    if (IsEmpty(seed)) return EnrolRefusal::NoSeed;
    // A mistyped seed would replace a working record with one that no
    // password can ever open.
    if (!IsValidSnkSeed(seed)) return EnrolRefusal::BadSeed;
    if (IsEmpty(password)) return EnrolRefusal::NoPassword;
    if (IsEmpty(confirm)) return EnrolRefusal::NoConfirm;
    if (std::strcmp(password, confirm) != 0) return EnrolRefusal::Mismatch;
    return EnrolRefusal::None;
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

EnrolRefusal EnrolSnkSeed(const char* seed, const char* password, const char* confirm,
                          std::uint8_t record[kSnkRecordSize]) {
    char seedField[kSnkFieldSize];
    char passwordField[kSnkFieldSize];
    char confirmField[kSnkFieldSize];
    CopyEnrolField(seedField, seed);
    CopyEnrolField(passwordField, password);
    CopyEnrolField(confirmField, confirm);

    const EnrolRefusal refusal = CheckEnrolFields(seedField, passwordField, confirmField);
    if (refusal == EnrolRefusal::None) EncryptSnkRecord(seedField, passwordField, record);

    OPENSSL_cleanse(seedField, sizeof seedField);
    OPENSSL_cleanse(passwordField, sizeof passwordField);
    OPENSSL_cleanse(confirmField, sizeof confirmField);
    return refusal;
}
