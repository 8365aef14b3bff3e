#include "engine/input_error.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    int code;
    const char* text;
};

const TextCase kTextCases[] = {
    {kInputErrorBadCount, "Invalid input: Bad iteration count\n (Value must be greater than zero)"},
    {kInputErrorNoSeed,
     "Invalid input: Bad seed\n (Please enter the seed value presented by the remote system)"},
    {kInputErrorNoPassPhrase, "Invalid input: Bad password\n (Please enter your secret password)"},
};

class InputError : public ::testing::TestWithParam<TextCase> {};

TEST_P(InputError, TextForCode) {
    EXPECT_STREQ(GetParam().text, InputErrorText(GetParam().code));
}

INSTANTIATE_TEST_SUITE_P(Codes, InputError, ::testing::ValuesIn(kTextCases));

TEST(InputError, CodesAndCaption) {
    EXPECT_EQ(1, kInputErrorBadCount);
    EXPECT_EQ(2, kInputErrorNoSeed);
    EXPECT_EQ(3, kInputErrorNoPassPhrase);
    EXPECT_STREQ("Input Error", kInputErrorCaption);
    EXPECT_EQ(nullptr, InputErrorText(0));
    EXPECT_EQ(nullptr, InputErrorText(4));
}

} // namespace
