// One of several processes that remember sequences at the same moment through the program's own
// store. Each remembers sequences of its own, "w<number>k<i>", and, at counts of its own, the one
// they all share, "shared"; all wait for the driver's event to begin together.
// Usage: sequence_writer NUMBER EVENT; exit code 0 when every write was taken.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "engine/challenge.h"
#include "shell/services/sequence_store.h"
#include "tests/e2e/sequence_writer.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const int number = std::atoi(argv[1]);
    HANDLE start = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
    if (start == nullptr || WaitForSingleObject(start, 60000) != WAIT_OBJECT_0) return 3;
    bool taken = true;
    for (int i = 0; i < kWritesEach; ++i) {
        char seed[kSeedLimit + 1];
        std::snprintf(seed, sizeof seed, "w%dk%d", number, i);
        const std::uint32_t own = 100 + static_cast<std::uint32_t>(i);
        taken = RememberSequence(HashKind::MD5, seed, {own, own, 1, false, false}) && taken;
        const std::uint32_t shared = SharedCount(number, i);
        taken =
            RememberSequence(HashKind::MD5, "shared", {shared, shared, 1, false, false}) && taken;
    }
    return taken ? 0 : 1;
}
