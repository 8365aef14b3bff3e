#include "shell/services/stack_wipe.h"

#include <openssl/crypto.h>

namespace {
// Far more than the deepest computation (digest contexts, DES schedules and
// the registry read of the SNK record) ever uses.
constexpr unsigned kWipedStackBytes = 16 * 1024;
} // namespace

// Not inlined: the array must lie in a fresh frame at the caller's depth, over
// the frames the computation used.
__attribute__((noinline)) void WipeUsedStack() {
    unsigned char area[kWipedStackBytes];
    OPENSSL_cleanse(area, sizeof area);
}
