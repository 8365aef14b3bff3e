#define OPENSSL_SUPPRESS_DEPRECATED
#include "snk/snk_record.h"

#include <openssl/crypto.h>
#include <openssl/des.h>

#include "snk/snk_seed.h"

namespace {

struct PasswordCipher {
    DES_cblock key;
    DES_key_schedule schedule;
    DES_cblock iv;
    int num;
};

void StartCipher(PasswordCipher& cipher, const char* password) {
    DES_string_to_key(password, &cipher.key);
    DES_set_key_unchecked(&cipher.key, &cipher.schedule);
    for (auto& b : cipher.iv)
        b = 0;
    cipher.num = 0;
}

void WipeCipher(PasswordCipher& cipher) {
    OPENSSL_cleanse(&cipher, sizeof cipher);
}

} // namespace

void EncryptSnkRecord(const char* seedText, const char* password,
                      std::uint8_t record[kSnkRecordSize]) {
    std::size_t n = 0;
    while (n < kSnkRecordSize && seedText[n] != 0)
        ++n;
    for (std::size_t i = 0; i < kSnkRecordSize; ++i)
        record[i] = 0;

    PasswordCipher cipher;
    StartCipher(cipher, password);
    // CFB is a stream mode: the first n output bytes do not depend on what follows.
    DES_cfb64_encrypt(reinterpret_cast<const unsigned char*>(seedText), record,
                      static_cast<long>(n), &cipher.schedule, &cipher.iv, &cipher.num, DES_ENCRYPT);
    WipeCipher(cipher);
}

bool DecryptSnkRecord(const std::uint8_t* record, std::size_t length, const char* password,
                      std::uint8_t key[8]) {
    if (length > kSnkRecordSize || (record == nullptr && length != 0)) return false;

    unsigned char plain[kSnkFieldSize] = {};
    PasswordCipher cipher;
    StartCipher(cipher, password);
    if (length != 0) {
        DES_cfb64_encrypt(record, plain, static_cast<long>(length), &cipher.schedule, &cipher.iv,
                          &cipher.num, DES_DECRYPT);
    }
    WipeCipher(cipher);
    plain[kSnkRecordSize] = 0;

    const char* text = reinterpret_cast<const char*>(plain);
    const bool valid = IsValidSnkSeed(text);
    if (valid) SnkSeedToKey(text, key);
    OPENSSL_cleanse(plain, sizeof plain);
    return valid;
}
