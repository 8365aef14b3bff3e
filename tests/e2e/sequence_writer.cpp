#include "tests/e2e/sequence_writer.h"

#include <windows.h>

#include <cstdio>

#include "shell/services/sequence_store.h"

int WriteSequences(int number, const char* event) {
    HANDLE start = OpenEventA(SYNCHRONIZE, FALSE, event);
    if (start == nullptr || WaitForSingleObject(start, 60000) != WAIT_OBJECT_0) return 2;
    bool taken = true;
    for (int i = 0; i < kWritesEach; ++i) {
        char seed[16];
        std::snprintf(seed, sizeof seed, "w%dk%d", number, i);
        const std::uint32_t shared = SharedCount(number, i);
        taken = RememberSequence(HashKind::MD5, seed, {100, 100, 1, false, false}) &&
                RememberSequence(HashKind::MD5, "shared", {shared, shared, 1, false, false}) &&
                taken;
    }
    return taken ? 0 : 1;
}
