#pragma once
// The responses ahead, free of the platform: what a press computes, the list's lines in words or
// hexadecimal, and how they go on paper.
#include <cstddef>
#include <cstdint>

#include "engine/hash_kind.h"
#include "engine/otp.h"

// The chain a press of Ok, List... or Renew... computes for the count `asked`: that count's value,
// and for a list the values down to count 1, kChainLimit at most; `check` as GuardCheckCount
// gives it.
OtpChain PlanChain(std::uint32_t asked, bool list, std::uint32_t check);

// A value as 16 lower-case hexadecimal digits, in four groups of four when `grouped`.
constexpr std::size_t kHexTextSize = 20;
void ValueInHex(const std::uint8_t value[8], bool grouped, char out[kHexTextSize]);

// The list's length field: 10 at first, 1 to kChainLimit; 0 for any other text.
constexpr std::uint32_t kListLengthAtFirst = 10;
std::uint32_t ReadListLength(const char* text);
// What the list's field says instead of a list for a length it does not take.
constexpr std::size_t kListRefusalSize = 64;
void ListLengthRefusal(char out[kListRefusalSize]);

// The lowest count a list of `length` lines shows: never below the chain's lowest, which
// PlanChain keeps at count 1 at the least.
std::uint32_t ListLowest(const OtpChain& chain, std::uint32_t length);

// "99: BOND FOGY DRAB NE RISE MART" or "99: 5bf0 75d9 959d 036f", each line ending in CR LF,
// from the chain's highest count down to ListLowest. Returns the length written; a text that
// does not fit in `size` is cut at a whole line.
constexpr std::size_t kListLineSize = 44;
constexpr std::size_t kListTextSize = kChainLimit * kListLineSize;
std::size_t FormatList(const OtpChain& chain, std::uint32_t length, bool hex, char* out,
                       std::size_t size);

// On paper each page begins with the heading, "otp-md5 ke1234, Tuesday, 8 December 2026", and a
// blank line, and ends with a blank line and its number, "page 1 of 2"; the margin above and
// below is half an inch. Each line of the list has a box to tick before it. How many lines of
// the list a page takes, at least one, for a printable height and a line height in the same
// units, and how many pages the list takes.
constexpr std::size_t kPrintHeadingSize = 128;
void PrintHeading(HashKind kind, const char* seed, const char* date, char* out, std::size_t size);
std::size_t PrintLinesPerPage(int printableHeight, int lineHeight, int dotsPerInch);
std::size_t PrintPageCount(std::size_t lines, std::size_t linesPerPage);
constexpr std::size_t kPageNumberSize = 32;
void PageNumber(std::size_t page, std::size_t pages, char out[kPageNumberSize]);
