#include "shell/logic/list_logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The chain a list of count `asked` computes, RFC 2289's MD5 pass phrase and seed.
OtpChain Listed(std::uint32_t asked, const char* seed) {
    OtpChain chain = PlanChain(asked, true, 0);
    OtpProgress progress;
    EXPECT_EQ(kOtpOk, ComputeOtpChain(HashKind::MD5, seed, "This is a test.", chain, progress));
    return chain;
}

std::string List(const OtpChain& chain, std::uint32_t length, bool hex) {
    char text[kListTextSize];
    const std::size_t written = FormatList(chain, length, hex, text, sizeof text);
    EXPECT_EQ(std::strlen(text), written);
    return text;
}

// RFC 2289's vectors at counts 99 and 1, RFC 2444's at 499 (the words).
TEST(FormatList, LinesInOrderOfUseInWordsOrHexNeverBelowCountOne) {
    const OtpChain test = Listed(99, "TeSt");
    const std::string ten = List(test, 10, false);
    EXPECT_EQ(0u, ten.find("99: BAIL TUFT BITS GANG CHEF THY\r\n98: ")) << ten;
    EXPECT_EQ(ten.rfind("\r\n90: "), ten.rfind("\r\n", ten.size() - 3)) << "not 10 lines";

    const std::string all = List(test, 100, true);
    EXPECT_EQ(0u, all.find("99: 50fe 1962 c496 5880\r\n"));
    const std::string last = "\r\n1: 7965 e054 36f5 029f\r\n";
    EXPECT_EQ(all.size() - last.size(), all.find(last)) << "the list goes on past count 1";

    const OtpChain renewal = Listed(499, "ke1234");
    EXPECT_EQ("499: BOND FOGY DRAB NE RISE MART\r\n", List(renewal, 1, false));
    EXPECT_EQ("499: 5bf0 75d9 959d 036f\r\n", List(renewal, 1, true));
    EXPECT_EQ(400u, ListLowest(renewal, 100)) << "a list read below its chain";
}

TEST(ReadListLength, OneToAHundred) {
    const struct {
        const char* text;
        std::uint32_t length;
    } cases[] = {{"10", 10}, {"1", 1}, {"100", 100}, {"0", 0},          {"101", 0},
                 {"", 0},    {"x", 0}, {"-5", 0},    {"0000000100", 0}, {"007", 7}};
    for (const auto& c : cases)
        EXPECT_EQ(c.length, ReadListLength(c.text)) << '"' << c.text << '"';
}

// A list of a million asks for the hundred values below it; a response for one.
TEST(PlanChain, AListHoldsAtMostAHundredValuesDownToCountOne) {
    const OtpChain million = PlanChain(1000000, true, 1000005);
    EXPECT_EQ(999901u, million.low);
    EXPECT_EQ(1000005u, OtpChainSteps(million));
    EXPECT_EQ(1u, PlanChain(100, true, 0).low);
    EXPECT_EQ(2u, PlanChain(101, true, 0).low);
    EXPECT_EQ(7u, PlanChain(7, false, 9).low);
}

TEST(Print, PageHeadingAndLinesPerPage) {
    char heading[kPrintHeadingSize];
    PrintHeading(HashKind::SHA1, "KE1234", "Tuesday, 8 December 2026", heading, sizeof heading);
    EXPECT_STREQ("otp-sha1 ke1234, Tuesday, 8 December 2026", heading);
    // A4 at 600 dpi less a printer's margins, 10-point lines: an inch and four lines go; a label
    // printer still takes a line. A list of 100 takes two such pages, numbered.
    EXPECT_EQ(70u, PrintLinesPerPage(6814, 83, 600));
    EXPECT_EQ(1u, PrintLinesPerPage(300, 50, 300));
    EXPECT_EQ(2u, PrintPageCount(100, 70));
    EXPECT_EQ(1u, PrintPageCount(70, 70));
    char number[kPageNumberSize];
    PageNumber(1, 2, number);
    EXPECT_STREQ("page 1 of 2", number);
}

} // namespace
