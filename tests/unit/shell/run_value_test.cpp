#include "shell/logic/run_value.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kProgram[] = L"C:\\Program Files\\Vantreth\\Vantreth.exe";

wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// The system's comparison, played: letters of either case alike, and the short form of the
// program's path the same file as its long form.
const wchar_t* LongForm(const wchar_t* path) {
    return std::wstring(path) == L"C:\\PROGRA~1\\VANTRE~1\\VANTRE~1.EXE" ? kProgram : path;
}

bool SamePath(const wchar_t* a, const wchar_t* b) {
    a = LongForm(a);
    b = LongForm(b);
    for (; *a != L'\0' && *b != L'\0'; ++a, ++b) {
        if (Upper(*a) != Upper(*b)) return false;
    }
    return *a == *b;
}

TEST(RunValueStartsProgram, TheSameFileQuotedOrNotInAnyForm) {
    const struct {
        const wchar_t* value;
        bool starts;
    } cases[] = {
        {L"\"C:\\Program Files\\Vantreth\\Vantreth.exe\"", true},
        {L"\"c:\\program files\\vantreth\\VANTRETH.EXE\"", true},
        {L"  \"C:\\Program Files\\Vantreth\\Vantreth.exe\" ", true},
        // A command line with an argument still starts the program.
        {L"\"C:\\Program Files\\Vantreth\\Vantreth.exe\" /quiet", true},
        // Unquoted, a blank in the path is no end of it.
        {L"C:\\Program Files\\Vantreth\\Vantreth.exe", true},
        {L"C:\\Program Files\\Vantreth\\Vantreth.exe /quiet", true},
        {L"\"C:\\PROGRA~1\\VANTRE~1\\VANTRE~1.EXE\"", true},
        {L"C:\\PROGRA~1\\VANTRE~1\\VANTRE~1.EXE /quiet", true},
        // Another copy, or another program whose name begins alike.
        {L"\"D:\\Tools\\Vantreth.exe\"", false},
        {L"\"C:\\Program Files\\Vantreth\\Vantreth.exe.bak\"", false},
        {L"\"C:\\Program Files\\Vantreth\\Vantreth\"", false},
        {L"C:\\Program Files\\Vantreth\\Vantreth.exe2", false},
        {L"\"C:\\Program Files\\Vantreth\\Vantreth.exe", false},
        {L"\"\" C:\\Program Files\\Vantreth\\Vantreth.exe", false},
        {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.starts, RunValueStartsProgram(c.value, kProgram, SamePath))
            << std::string(c.value, c.value + std::wstring(c.value).size());
}

TEST(QuotedRunValue, QuotesThePathAndStartsIt) {
    wchar_t value[64];
    ASSERT_TRUE(QuotedRunValue(kProgram, value, sizeof value / sizeof value[0]));
    EXPECT_EQ(std::wstring(L"\"") + kProgram + L"\"", value);
    EXPECT_TRUE(RunValueStartsProgram(value, kProgram, SamePath));
    // Exactly the path, its quotes and the NUL; one less does not fit.
    const std::size_t exact = std::wstring(kProgram).size() + 3;
    EXPECT_TRUE(QuotedRunValue(kProgram, value, exact));
    EXPECT_FALSE(QuotedRunValue(kProgram, value, exact - 1));
    EXPECT_FALSE(QuotedRunValue(L"", value, exact));
}

} // namespace
