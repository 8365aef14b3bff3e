#define OPENSSL_SUPPRESS_DEPRECATED
#include "snk/snk_response.h"

#include <openssl/crypto.h>
#include <openssl/des.h>

#include "engine/ascii.h"
#include "snk/snk_enrol.h"
#include "snk/snk_record.h"

void SnkChallengeResponse(const char* challenge, const std::uint8_t key[8], char* response) {
    DES_cblock block = {};
    for (std::size_t i = 0; i < sizeof block && challenge[i] != 0; ++i) {
        block[i] = static_cast<unsigned char>(challenge[i]);
    }

    // The token key goes in as enrolled: no parity fix, weak keys allowed.
    DES_cblock tokenKey;
    for (std::size_t i = 0; i < sizeof tokenKey; ++i)
        tokenKey[i] = key[i];
    DES_key_schedule schedule;
    DES_set_key_unchecked(&tokenKey, &schedule);
    DES_cblock cipher;
    DES_ecb_encrypt(&block, &cipher, &schedule, DES_ENCRYPT);

    std::size_t at = 0;
    for (int i = 0; i < 4; ++i)
        at = WriteHex(cipher[i], response, at);
    OPENSSL_cleanse(tokenKey, sizeof tokenKey);
    OPENSSL_cleanse(&schedule, sizeof schedule);
    OPENSSL_cleanse(cipher, sizeof cipher);
}

SnkResult SnkResponseFromRecord(const std::uint8_t* record, std::size_t length,
                                const char* challenge, const char* password, char* response) {
    // Enrolment keeps only the first 39 characters of the password, so a
    // longer one typed in full must be cut the same way to match.
    char enrolled[kSnkFieldSize];
    CopyEnrolField(enrolled, password);
    std::uint8_t key[8];
    const bool valid = DecryptSnkRecord(record, length, enrolled, key);
    OPENSSL_cleanse(enrolled, sizeof enrolled);
    if (!valid) return SnkResult::BadPassword;
    SnkChallengeResponse(challenge, key, response);
    OPENSSL_cleanse(key, sizeof key);
    return SnkResult::Ok;
}
