#include "shell/logic/run_value.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kProgram[] = L"C:\\Program Files\\Vantreth\\Vantreth.exe";

TEST(RunValueStartsProgram, TheSameFileQuotedOrNotInAnyCase) {
    const struct {
        const wchar_t* value;
        bool starts;
    } cases[] = {
        {L"\"C:\\Program Files\\Vantreth\\Vantreth.exe\"", true},
        {L"\"c:\\program files\\vantreth\\VANTRETH.EXE\"", true},
        {L"  \"C:\\Program Files\\Vantreth\\Vantreth.exe\" ", true},
        // A command line with an argument still starts the program.
        {L"\"C:\\Program Files\\Vantreth\\Vantreth.exe\" /quiet", true},
        {L"C:\\Program Files\\Vantreth\\Vantreth.exe", true},
        // Another copy, or another program whose name begins alike.
        {L"\"D:\\Tools\\Vantreth.exe\"", false},
        {L"\"C:\\Program Files\\Vantreth\\Vantreth.exe.bak\"", false},
        {L"\"C:\\Program Files\\Vantreth\\Vantreth\"", false},
        {L"C:\\Program Files\\Vantreth\\Vantreth.exe2", false},
        {L"\"C:\\Program Files\\Vantreth\\Vantreth.exe", false},
        {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.starts, RunValueStartsProgram(c.value, kProgram))
            << std::string(c.value, c.value + std::wstring(c.value).size());
}

TEST(QuotedRunValue, QuotesThePathAndStartsIt) {
    wchar_t value[64];
    ASSERT_TRUE(QuotedRunValue(kProgram, value, sizeof value / sizeof value[0]));
    EXPECT_EQ(std::wstring(L"\"") + kProgram + L"\"", value);
    EXPECT_TRUE(RunValueStartsProgram(value, kProgram));
    // Exactly the path, its quotes and the NUL; one less does not fit.
    const std::size_t exact = std::wstring(kProgram).size() + 3;
    EXPECT_TRUE(QuotedRunValue(kProgram, value, exact));
    EXPECT_FALSE(QuotedRunValue(kProgram, value, exact - 1));
    EXPECT_FALSE(QuotedRunValue(L"", value, exact));
}

TEST(RunValueChangeFor, WritesThisProgramDeletesAnyWhenCleared) {
    const struct {
        const char* what;
        bool ticked;
        bool exists;
        bool startsThis;
        RunValueChange change;
    } cases[] = {
        {"ticked, none", true, false, false, RunValueChange::Write},
        {"ticked, another copy's", true, true, false, RunValueChange::Write},
        {"ticked, ours", true, true, true, RunValueChange::Leave},
        {"cleared, ours", false, true, true, RunValueChange::Delete},
        {"cleared, another copy's", false, true, false, RunValueChange::Delete},
        {"cleared, none", false, false, false, RunValueChange::Leave},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.change, RunValueChangeFor(c.ticked, c.exists, c.startsThis)) << c.what;
}

} // namespace
