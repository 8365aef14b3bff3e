#include "engine/six_words.h"
#include "data_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

namespace {

std::string Entry(int index) {
    std::size_t length = 0;
    while (length < 5 && kDictionary[index][length] != '\0')
        ++length;
    return std::string(kDictionary[index], length);
}

TEST(Dictionary, MatchesTheRfcWordList) {
    std::string contents, path;
    ASSERT_TRUE(ReadDataFile("rfc1760-dictionary.txt", &contents, &path))
        << "cannot read the dictionary at " << path;
    std::istringstream lines(contents);
    std::string word;
    int index = 0;
    while (std::getline(lines, word)) {
        if (!word.empty() && word.back() == '\r') word.pop_back();
        if (word.empty()) continue;
        ASSERT_LT(index, 2048) << "more than 2048 words in " << path;
        EXPECT_EQ(word, Entry(index)) << "entry " << index;
        ++index;
    }
    EXPECT_EQ(2048, index);
}

struct KnownEntry {
    int index;
    const char* word;
};

const KnownEntry kKnownEntries[] = {
    {0, "A"},      {1, "ABE"},     {2, "ACE"},     {5, "ADA"},     {570, "YOU"},
    {571, "ABED"}, {1024, "FILE"}, {2044, "YEAR"}, {2047, "YOKE"},
};

class DictionaryEntry : public ::testing::TestWithParam<KnownEntry> {};

TEST_P(DictionaryEntry, HoldsTheWord) {
    EXPECT_EQ(GetParam().word, Entry(GetParam().index));
}

INSTANTIATE_TEST_SUITE_P(Known, DictionaryEntry, ::testing::ValuesIn(kKnownEntries));

TEST(Dictionary, ShapeOfTheTable) {
    for (int i = 0; i < 2048; ++i) {
        const std::string word = Entry(i);
        if (i <= 570) {
            EXPECT_TRUE(word.size() >= 1 && word.size() <= 3) << i << " " << word;
        } else {
            EXPECT_EQ(4u, word.size()) << i << " " << word;
        }
        for (char c : word)
            EXPECT_TRUE(c >= 'A' && c <= 'Z') << i << " " << word;
        for (std::size_t j = word.size(); j < 5; ++j)
            EXPECT_EQ('\0', kDictionary[i][j]) << i;
        if (i != 0 && i != 571) {
            EXPECT_LT(Entry(i - 1), word) << "order at " << i;
        }
    }
}

} // namespace
