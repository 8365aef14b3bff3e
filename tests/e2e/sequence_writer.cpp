// One of several processes that remember sequences at the same moment through the program's own
// store, once the driver's event lets them all begin: sequences of its own, "w<number>k<i>", and
// at counts of its own the one they all share. Usage: sequence_writer NUMBER EVENT; exit code 0
// when every write was taken.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "shell/services/sequence_store.h"
#include "tests/e2e/sequence_writer.h"

int main(int argc, char** argv) {
    HANDLE start = argc == 3 ? OpenEventA(SYNCHRONIZE, FALSE, argv[2]) : nullptr;
    if (start == nullptr || WaitForSingleObject(start, 60000) != WAIT_OBJECT_0) return 2;
    const int number = std::atoi(argv[1]);
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
