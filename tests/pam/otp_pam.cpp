// The PuTTY login tests' server: a PAM module that presents an RFC 2289 challenge as OpenBSD
// does and checks the six words as a server does (hashed once they must give the stored value,
// which they then replace). Its argument names the state file, "COUNT SEED HEX" (MD5), or
// "password WORD" for a plain password prompt.
#include <openssl/evp.h>
#include <security/pam_ext.h>
#include <security/pam_modules.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/six_words.h"

namespace {

// The 64 bits the six words carry (the checksum's two are not checked).
bool Decode(const char* words, unsigned char value[8]) {
    unsigned char bits[9] = {};
    for (int n = 0; n < 6; ++n) {
        char word[5] = {};
        while (*words == ' ')
            ++words;
        for (int i = 0; *words != '\0' && *words != ' '; ++words)
            if (i < 4) word[i++] = static_cast<char>(std::toupper(*words));
        int index = 0;
        while (index < 2048 && std::strcmp(kDictionary[index], word) != 0)
            ++index;
        if (index == 2048) return false;
        for (int b = 0; b < 11; ++b)
            if (index >> (10 - b) & 1) bits[(n * 11 + b) / 8] |= 0x80 >> ((n * 11 + b) % 8);
    }
    std::memcpy(value, bits, 8);
    return true;
}

bool CheckOtp(pam_handle_t* pamh, const char* file, unsigned count, const char* seed,
              const char* stored) {
    pam_info(pamh, "otp-md5 %u %s", count, seed);
    char* answer = nullptr;
    unsigned char value[8], digest[16];
    char hex[17];
    const bool read =
        pam_prompt(pamh, PAM_PROMPT_ECHO_OFF, &answer, "S/Key Password:") == PAM_SUCCESS &&
        Decode(answer, value);
    std::free(answer);
    if (!read || !EVP_Digest(value, 8, digest, nullptr, EVP_md5(), nullptr)) return false;
    for (int i = 0; i < 8; ++i)
        std::snprintf(hex + 2 * i, 3, "%02x", digest[i] ^ digest[i + 8]);
    if (std::strcmp(hex, stored) != 0) return false;
    for (int i = 0; i < 8; ++i)
        std::snprintf(hex + 2 * i, 3, "%02x", value[i]);
    FILE* f = std::fopen(file, "w");
    return f != nullptr && std::fprintf(f, "%u %s %s\n", count - 1, seed, hex) > 0 &&
           std::fclose(f) == 0;
}

} // namespace

extern "C" int pam_sm_authenticate(pam_handle_t* pamh, int, int argc, const char** argv) {
    char first[17], second[17], third[17] = "";
    FILE* f = argc == 1 ? std::fopen(argv[0], "r") : nullptr;
    const bool read = f != nullptr && std::fscanf(f, "%16s %16s %16s", first, second, third) >= 2;
    if (f != nullptr) std::fclose(f);
    if (!read) return PAM_AUTH_ERR;
    if (std::strcmp(first, "password") != 0)
        return CheckOtp(pamh, argv[0], std::strtoul(first, nullptr, 10), second, third)
                   ? PAM_SUCCESS
                   : PAM_AUTH_ERR;
    char* answer = nullptr;
    const bool ok = pam_prompt(pamh, PAM_PROMPT_ECHO_OFF, &answer, "Password: ") == PAM_SUCCESS &&
                    std::strcmp(answer, second) == 0;
    std::free(answer);
    return ok ? PAM_SUCCESS : PAM_AUTH_ERR;
}

extern "C" int pam_sm_setcred(pam_handle_t*, int, int, const char**) {
    return PAM_SUCCESS;
}
