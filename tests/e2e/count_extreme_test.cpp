// The largest count the dialog reads, nine digits: the step loop runs a billion times and
// must still arrive at the right six words. No time is demanded, only an answer.
#include <gtest/gtest.h>

#include <cstdio>

#include "resources/resource.h"
#include "tests/e2e/program.h"
#include "tests/e2e/registry.h"

namespace {

// Far above the minute or so it takes under Wine, and below the suite's own bound
// (tests/e2e/CMakeLists.txt).
constexpr DWORD kComputeBoundMs = 8 * 60 * 1000;

TEST(CountExtreme, NineDigitCountGivesTheNativeEnginesWords) {
    ScopedProgram run;
    const Program& program = run.program;
    ASSERT_TRUE(StartShown(&run.program));
    // SHA1 is the quickest of the three kinds; the words come from the native engine.
    ASSERT_TRUE(EnterChallenge(program, IDC_SHA1, "999999999", "test", "This is a test."));

    const DWORD start = GetTickCount();
    PostClick(program, IDC_COMPUTE);
    const std::string response = WaitForWords(program, kComputeBoundMs);
    std::printf("count 999999999 (SHA1) answered after %.1f s\n",
                (GetTickCount() - start) / 1000.0);
    EXPECT_EQ("BEAK ASKS LEAN DICE IOWA BITE", response);
    EXPECT_EQ(nullptr, FindAnyBox(program));
    EXPECT_EQ("999999999", Field(program, IDC_COUNT));
}

} // namespace
