#include "shell/logic/list_logic.h"

#include <cstring>

#include "engine/ascii.h"
#include "engine/text_format.h"
#include "engine/six_words.h"
#include "shell/logic/main_logic.h"
#include "shell/logic/sequence_logic.h"

OtpChain PlanChain(std::uint32_t asked, bool list, std::uint32_t check) {
    OtpChain chain{};
    chain.high = asked;
    chain.low = list && asked > kChainLimit ? asked - (kChainLimit - 1) : list ? 1 : asked;
    chain.check = check;
    return chain;
}

void ValueInHex(const std::uint8_t value[8], bool grouped, char out[kHexTextSize]) {
    std::size_t at = 0;
    for (int i = 0; i < 8; ++i) {
        if (grouped && i > 0 && i % 2 == 0) out[at++] = ' ';
        at = WriteHex(value[i], out, at);
    }
}

std::uint32_t ReadListLength(const char* text) {
    if (std::strlen(text) > kCountLimit) return 0;
    const long length = ReadCount(text);
    return length >= 1 && length <= static_cast<long>(kChainLimit)
               ? static_cast<std::uint32_t>(length)
               : 0;
}

void ListLengthRefusal(char out[kListRefusalSize]) {
    FormatText(out, kListRefusalSize, "A list holds 1 to %u responses: type how many to list.",
               static_cast<unsigned>(kChainLimit));
}

std::uint32_t ListLowest(const OtpChain& chain, std::uint32_t length) {
    if (length == 0) return chain.high;
    return chain.high - chain.low + 1 > length ? chain.high - length + 1 : chain.low;
}

std::size_t FormatList(const OtpChain& chain, std::uint32_t length, bool hex, char* out,
                       std::size_t size) {
    std::size_t at = 0;
    if (size == 0) return 0;
    out[0] = '\0';
    if (length == 0) return 0;
    const std::uint32_t lowest = ListLowest(chain, length);
    for (std::uint32_t count = chain.high; count >= lowest && count >= 1; --count) {
        const std::uint8_t* value = chain.values[count - chain.low];
        char hexText[kHexTextSize];
        if (hex) ValueInHex(value, true, hexText);
        const int written =
            FormatText(out + at, size - at, "%u: %s\r\n", static_cast<unsigned>(count),
                       hex ? hexText : EncodeSixWords(value));
        if (written < 0) {
            out[at] = '\0';
            break;
        }
        at += static_cast<std::size_t>(written);
    }
    WipeSixWords();
    return at;
}

void PrintHeading(HashKind kind, const char* seed, const char* date, char* out, std::size_t size) {
    char name[kSequenceNameSize];
    if (!SequenceName(kind, seed, name)) name[0] = '\0';
    FormatText(out, size, "%s, %s", name, date);
}

std::size_t PrintLinesPerPage(int printableHeight, int lineHeight, int dotsPerInch) {
    if (lineHeight <= 0) return 1;
    // Half an inch above and below, the heading and the page number, each with a blank line.
    const int lines = (printableHeight - dotsPerInch) / lineHeight - 4;
    return lines > 1 ? static_cast<std::size_t>(lines) : 1;
}

std::size_t PrintPageCount(std::size_t lines, std::size_t linesPerPage) {
    return linesPerPage == 0 ? 0 : (lines + linesPerPage - 1) / linesPerPage;
}

void PageNumber(std::size_t page, std::size_t pages, char out[kPageNumberSize]) {
    FormatText(out, kPageNumberSize, "page %u of %u", static_cast<unsigned>(page),
               static_cast<unsigned>(pages));
}
