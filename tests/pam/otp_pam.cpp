// The PuTTY login tests' server: a PAM module that asks an RFC 2289 challenge as OpenBSD does and
// checks the six words as a server does: hashed once, they must give the stored value, which they
// then replace. Its argument is the state file, "COUNT SEED HEX" (MD5) or "password WORD".
#include <openssl/evp.h>
#include <security/pam_ext.h>
#include <security/pam_modules.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/six_words.h"

namespace {

// The hex of the 64 bits the words carry (the checksum unchecked), or of their MD5 step.
bool Decode(const char* words, bool step, char hex[17]) {
    char w[6][8];
    unsigned char bits[9] = {}, digest[16];
    if (std::sscanf(words, "%7s %7s %7s %7s %7s %7s", w[0], w[1], w[2], w[3], w[4], w[5]) != 6)
        return false;
    for (int n = 0; n < 6; ++n) {
        int index = 0;
        while (index < 2048 && std::strcmp(kDictionary[index], w[n]) != 0)
            ++index;
        for (int b = 0; b < 11 && index < 2048; ++b)
            if (index >> (10 - b) & 1) bits[(n * 11 + b) / 8] |= 0x80 >> ((n * 11 + b) % 8);
        if (index == 2048) return false;
    }
    EVP_Digest(bits, 8, digest, nullptr, EVP_md5(), nullptr);
    for (int i = 0; i < 8; ++i)
        std::snprintf(hex + 2 * i, 3, "%02x", step ? digest[i] ^ digest[i + 8] : bits[i]);
    return true;
}

} // namespace

extern "C" int pam_sm_authenticate(pam_handle_t* pamh, int, int argc, const char** argv) {
    char first[17] = "", second[17], third[17] = "", hex[17];
    FILE* f = argc == 1 ? std::fopen(argv[0], "r") : nullptr;
    const int read = f != nullptr ? std::fscanf(f, "%16s %16s %16s", first, second, third) : 0;
    if (f != nullptr) std::fclose(f);
    const bool password = std::strcmp(first, "password") == 0;
    if (read < 2 || (!password && pam_info(pamh, "otp-md5 %s %s", first, second) != PAM_SUCCESS))
        return PAM_AUTH_ERR;
    char* answer = nullptr;
    bool ok = pam_prompt(pamh, PAM_PROMPT_ECHO_OFF, &answer,
                         password ? "Password: " : "S/Key Password:") == PAM_SUCCESS;
    ok = ok && (password ? std::strcmp(answer, second) == 0
                         : Decode(answer, true, hex) && std::strcmp(hex, third) == 0);
    if (ok && !password && Decode(answer, false, hex) &&
        (f = std::fopen(argv[0], "w")) != nullptr) {
        std::fprintf(f, "%lu %s %s\n", std::strtoul(first, nullptr, 10) - 1, second, hex);
        std::fclose(f);
    }
    std::free(answer);
    return ok ? PAM_SUCCESS : PAM_AUTH_ERR;
}

extern "C" int pam_sm_setcred(pam_handle_t*, int, int, const char**) {
    return PAM_SUCCESS;
}
