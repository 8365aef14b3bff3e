#include "shell/logic/clipboard_logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Three distinct windows: ourselves, our next viewer, and another one.
const char kWindows[3] = {};
const ChainWindow kSelf = &kWindows[0];
const ChainWindow kNext = &kWindows[1];
const ChainWindow kOther = &kWindows[2];

TEST(ChainChangeFor, RepairsTheLinkAndNeverNamesOurselves) {
    const struct {
        const char* what;
        ChainWindow next;
        ChainWindow leaving;
        ChainWindow following;
        ChainWindow newNext;
        ChainWindow forwardTo;
    } cases[] = {
        {"next leaves, other follows", kNext, kNext, kOther, kOther, kOther},
        {"next leaves as the last", kNext, kNext, nullptr, nullptr, nullptr},
        {"a viewer further down leaves", kNext, kOther, nullptr, kNext, kNext},
        {"we are last, someone leaves", nullptr, kOther, kNext, nullptr, nullptr},
        {"spoof: next leaves, we follow", kNext, kNext, kSelf, kNext, nullptr},
        {"spoof: other leaves, we follow", kNext, kOther, kSelf, kNext, nullptr},
        {"spoof while last", nullptr, nullptr, kSelf, nullptr, nullptr},
        {"we leave, next follows", kNext, kSelf, kNext, kNext, kNext},
    };
    for (const auto& c : cases) {
        const ChainChange change = ChainChangeFor(kSelf, c.next, c.leaving, c.following);
        EXPECT_EQ(change.next, c.newNext) << c.what;
        EXPECT_EQ(change.forwardTo, c.forwardTo) << c.what;
    }
}

TEST(ChainForwardTarget, NeverOurselves) {
    EXPECT_EQ(ChainForwardTarget(kSelf, kNext), kNext);
    EXPECT_EQ(ChainForwardTarget(kSelf, nullptr), nullptr);
    EXPECT_EQ(ChainForwardTarget(kSelf, kSelf), nullptr);
}

// The block is placed at the very end of a heap allocation so that a read
// past it is caught by the sanitizer build.
std::string CopyOf(const std::string& blockBytes) {
    std::vector<char> block(blockBytes.begin(), blockBytes.end());
    std::vector<char> copy(block.size() + 1, 'Z');
    const std::size_t length = CopyClipboardBlock(block.data(), block.size(), copy.data());
    EXPECT_EQ(copy[length], '\0');
    return std::string(copy.data(), length);
}

TEST(CopyClipboardBlock, StopsAtTheFirstNulOrTheBlockEnd) {
    const struct {
        std::string block;
        std::string text;
    } cases[] = {
        {std::string("otp-md5 99 test\r\n\0", 18), "otp-md5 99 test\r\n"},
        {std::string("otp-md5 99 test"), "otp-md5 99 test"}, // no NUL in the block at all
        {std::string("ab\0cd", 5), "ab"},
        {std::string("\0abc", 4), ""},
        {std::string(), ""},
        {std::string("\xe9t\xe9 \x80\xff", 6), "\xe9t\xe9 \x80\xff"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CopyOf(c.block), c.text);
    }
}

TEST(CopyClipboardBlock, LargeBlockWithoutNul) {
    const std::string block(1 << 20, 'x');
    EXPECT_EQ(CopyOf(block).size(), block.size());
}

TEST(CopyClipboardBlock, NullBlockGivesEmptyText) {
    char copy[4] = {'Z', 'Z', 'Z', 'Z'};
    EXPECT_EQ(CopyClipboardBlock(nullptr, 3, copy), 0u);
    EXPECT_EQ(copy[0], '\0');
}

struct Built {
    std::string text;
    std::size_t length;
    bool guardIntact;
    bool nulInside;
};

Built Build(const std::string& response, std::size_t responseSize, bool appendReturn) {
    std::vector<char> source(responseSize, '\0');
    std::memcpy(source.data(), response.data(), std::min(response.size(), responseSize));
    std::vector<char> block(kCopyBlockSize + 8, 'G');
    const std::size_t length =
        BuildCopyText(source.data(), source.size(), appendReturn, block.data());
    Built built;
    built.text = std::string(block.data(), std::min(length, kCopyBlockSize));
    built.length = length;
    built.guardIntact = std::string(block.data() + kCopyBlockSize, 8) == "GGGGGGGG";
    built.nulInside =
        length < kCopyBlockSize && block[length] == '\0' && block[kCopyBlockSize - 1] == '\0';
    return built;
}

TEST(BuildCopyText, ResponseWithOrWithoutLineEnd) {
    const std::string six = "RUST WELD KIND BAN LOAD RUDE";      // a six-word response
    const std::string longest = "ABBE ABBE ABBE ABBE ABBE ABBE"; // 29 characters
    const std::string snk = "0a1b2c3d";
    const struct {
        std::string response;
        bool appendReturn;
        std::string text;
    } cases[] = {
        {six, true, six + "\r\n"}, {six, false, six}, {longest, true, longest + "\r\n"},
        {snk, true, snk + "\r\n"}, {snk, false, snk}, {"", true, "\r\n"},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        const Built built = Build(c.response, 64, c.appendReturn);
        EXPECT_EQ(built.text, c.text);
        EXPECT_EQ(built.length, c.text.size());
        EXPECT_TRUE(built.guardIntact);
        EXPECT_TRUE(built.nulInside);
    }
}

TEST(BuildCopyText, NeverWritesPastTheBlock) {
    const struct {
        std::size_t responseLength;
        std::size_t responseSize; // when equal to the length, the buffer holds no NUL
        bool appendReturn;
        std::size_t expectedLength;
    } cases[] = {
        // clang-format off
        {127, 128, true, 129},  // the longest text the response buffer holds, whole with CR LF
        {127, 128, false, 127},
        {128, 128, false, 128}, // an unterminated response buffer
        {128, 128, true, 129},
        {200, 200, false, 129},
        {200, 200, true, 129},
        {10, 10, false, 10},   // a short buffer without NUL is read no further than its size
        {10, 10, true, 12},
        // clang-format on
    };
    for (const auto& c : cases) {
        const Built built =
            Build(std::string(c.responseLength, 'w'), c.responseSize, c.appendReturn);
        EXPECT_EQ(built.length, c.expectedLength);
        EXPECT_TRUE(built.guardIntact);
        EXPECT_TRUE(built.nulInside);
        if (c.appendReturn) {
            EXPECT_EQ(built.text.substr(built.text.size() - 2), "\r\n");
        }
    }
}

} // namespace
