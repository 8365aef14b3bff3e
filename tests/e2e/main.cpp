#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"
#include "tests/e2e/sequence_writer.h"

// Usage: vantreth_e2e [GoogleTest flags] PATH-TO-Vantreth.exe; started by a test,
// vantreth_e2e --sequence-writer NUMBER EVENT.
int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--sequence-writer") == 0)
        return WriteSequences(std::atoi(argv[2]), argv[3]);
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s [gtest flags] Vantreth.exe\n", argv[0]);
        return 2;
    }
    SetProgramPath(argv[1]);
    if (GetFileAttributesA(ProgramPath()) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "no program at %s\n", ProgramPath());
        return 2;
    }
    std::printf("e2e: %s\n", UnderWow64() ? "under WoW64: a 64-bit system, the settings key under "
                                            "WOW6432Node, the sequences in the shared view"
                                          : "a 32-bit system");
    KillRunningInstances();
    const int result = RUN_ALL_TESTS();
    KillRunningInstances();
    return result;
}
