#include "vigenere_crack.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "ascii.hpp"
#include "mt19937.hpp"
#include "period_columns.hpp"
#include "vigenere.hpp"

namespace {

// 300 letters of plain English, written for this test: the statistics never saw it.
constexpr std::string_view message =
    "The boat left the harbour an hour before dawn, while the town was still asleep and the "
    "lamps along the quay burned low. Nobody on board spoke of where they were going. The "
    "captain kept to the wheel, the two boys coiled the ropes, and the old woman who had paid "
    "for the passage sat in the stern with a basket on her knees and watched the lights grow "
    "small behind them.";

VigenereCrack crack(std::string_view text) {
  CrackSample sample;
  sample.add(text);
  return crackVigenere(sample).value();
}

std::string encipher(std::string_view text, std::string_view key) {
  return encipherVigenere(text, key).ciphertext;
}

// The prose that the English statistics never saw.
void readHeldBackProse(std::string& prose) {
  std::ifstream file(CIPHERS_HELD_BACK_PROSE, std::ios::binary);
  ASSERT_TRUE(file) << "cannot read " << CIPHERS_HELD_BACK_PROSE;
  prose.assign(std::istreambuf_iterator<char>(file), {});
}

TEST(VigenereCrack, FindsKeysOfOneToSixteenLettersInThreeHundredLetters) {
  for (const std::string_view key :
       {"K", "LEMON", "DISCOVERY", "CRYPTOGRAPHY", "QWERTYUIOPASDFGH"}) {
    const VigenereCrack found = crack(encipher(message, key));
    EXPECT_EQ(found.key, key);
    EXPECT_EQ(found.verdict, CrackVerdict::sure) << key;
  }
}

// Wherever the breaker promises its key, at least minimumLettersPerKeyLetter letters a key letter
// up to maximumKeyLength, it finds it, and warns of nothing: passages of 250 to 5,000 letters of
// prose the statistics never saw, under random keys of 5 to 25 letters, the first of
// each key length just long enough for it.
TEST(VigenereCrack, FindsEveryKeyWhereItPromisesOneInLongPassagesOfUnseenProse) {
  std::string prose;
  ASSERT_NO_FATAL_FAILURE(readHeldBackProse(prose));
  std::vector<std::size_t> letterAt;
  for (std::size_t i = 0; i < prose.size(); ++i) {
    if ((prose[i] | 0x20) >= 'a' && (prose[i] | 0x20) <= 'z') {
      letterAt.push_back(i);
    }
  }
  Mt19937 draws(2026);
  for (std::size_t trial = 0; trial < 63; ++trial) {
    const std::size_t keyLength = 5 + trial % 21;
    const std::size_t shortest = std::max<std::size_t>(250, minimumLettersPerKeyLetter * keyLength);
    const std::size_t letters = trial < 21 ? shortest : shortest + draws() % (5000 - shortest + 1);
    const std::size_t first = draws() % (letterAt.size() - letters);
    std::string key;
    for (std::size_t i = 0; i < keyLength; ++i) {
      key += static_cast<char>('A' + draws() % 26);
    }
    const std::string passage =
        prose.substr(letterAt[first], letterAt[first + letters - 1] - letterAt[first] + 1);
    const VigenereCrack found = crack(encipher(passage, key));
    EXPECT_EQ(found.key, key) << letters << " letters from " << letterAt[first];
    EXPECT_EQ(verdictWarning(found.verdict), "") << letters << " letters, key " << key;
  }
}

// Four letters a key letter, with the gaps between words kept, are enough for nine keys in ten:
// passages of unseen prose under random keys of 6 to 16 letters.
TEST(VigenereCrack, FindsMostKeysFromFourLettersAKeyLetter) {
  std::string prose;
  ASSERT_NO_FATAL_FAILURE(readHeldBackProse(prose));
  std::vector<std::size_t> wordStarts;
  for (std::size_t i = 0; i < prose.size(); ++i) {
    if (isAsciiLetter(prose[i]) && (i == 0 || !isAsciiLetter(prose[i - 1]))) {
      wordStarts.push_back(i);
    }
  }
  Mt19937 draws(428);
  constexpr int trials = 20;
  int found = 0;
  for (int trial = 0; trial < trials; ++trial) {
    const std::size_t keyLength = 6 + draws() % 11;
    std::string key;
    for (std::size_t i = 0; i < keyLength; ++i) {
      key += static_cast<char>('A' + draws() % 26);
    }
    std::string passage;
    std::size_t letters = 0;
    for (std::size_t i = wordStarts[draws() % (wordStarts.size() - 200)]; letters < 4 * keyLength;
         ++i) {
      passage += prose[i];
      letters += isAsciiLetter(prose[i]) ? 1 : 0;
    }
    found += crack(encipher(passage, key)).key == key ? 1 : 0;
  }
  EXPECT_GE(found, trials * 9 / 10);
}

TEST(VigenereCrack, NamesARepeatedKeyByItsPeriodAndCountsLowerCaseAsUpper) {
  std::string lowered = encipher(message, "LEMONLEMON");
  for (char& c : lowered) {
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  EXPECT_EQ(crack(lowered).key, "LEMON");
}

TEST(VigenereCrack, FindsNoKeyWithoutLetters) {
  CrackSample sample;
  EXPECT_EQ(crackVigenere(sample), std::nullopt);
  sample.add("1914-1918, \xC3\xA9\xE2\x82\xAC!\n");
  EXPECT_EQ(crackVigenere(sample), std::nullopt);
}

TEST(VigenereCrack, SaysWhenTheTextIsTooShortOrNoKeyMakesItEnglish) {
  const VigenereCrack one = crack("q");
  EXPECT_EQ(one.key.size(), 1U);
  EXPECT_EQ(one.verdict, CrackVerdict::tooShort);
  EXPECT_EQ(crack(encipher(message.substr(0, 60), "CRYPTOGRAPHY")).verdict, CrackVerdict::tooShort);
  EXPECT_EQ(crack(std::string(64, 'a')).verdict, CrackVerdict::tooFewLetters);

  Mt19937 draws(5);
  std::string noise;
  for (int i = 0; i < 3000; ++i) {
    noise += static_cast<char>('A' + draws() % 26);
  }
  EXPECT_EQ(crack(noise).verdict, CrackVerdict::notEnglish);
}

TEST(CrackSample, KeepsTheFirstLettersUpperCasedWhereTheirGapsFallAndCountsTheRest) {
  CrackSample sample;
  sample.add("ab, c");
  sample.add(std::string(CrackSample::sampleLimit, 'z'));
  EXPECT_EQ(sample.letters().substr(0, 4), "ABCZ");
  EXPECT_EQ(sample.letters().size(), CrackSample::sampleLimit);
  EXPECT_EQ(sample.letterCount(), CrackSample::sampleLimit + 3);
  sample.add(" !");  // after a full sample: not kept, as it is not known when the sample fills
  EXPECT_EQ(sample.spacedLetters().substr(0, 6), "AB CZZ");
  EXPECT_EQ(sample.spacedLetters().size(), CrackSample::sampleLimit + 1);

  CrackSample shorter;
  shorter.add("-- a");
  shorter.add("b\n\nc.");
  EXPECT_EQ(shorter.spacedLetters(), " AB C ");
}

// Random bytes, letters of either case among others, fed in chunks of random sizes: every
// period's columns equal those counted one letter at a time, whether the narrow counters were
// folded after a few letters, often, or not at all.
TEST(PeriodColumns, CountsEveryPeriodsColumnsOverAllLetters) {
  Mt19937 draws(27);
  std::string text;
  for (int i = 0; i < 60000; ++i) {
    const std::uint32_t draw = draws() % 64;
    text += draw < 26   ? static_cast<char>('A' + draw)
            : draw < 52 ? static_cast<char>('a' + draw - 26)
                        : static_cast<char>(draws() % 256);
  }
  std::string letters;
  for (char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      letters += static_cast<char>(c & ~0x20);
    }
  }
  for (std::uint64_t flushLetters : {std::uint64_t{1}, std::uint64_t{5000}, std::uint64_t{0} - 1}) {
    PeriodColumns columns(flushLetters);
    std::uint64_t added = 0;
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t size = draws() % 40000;
      added += columns.add(std::string_view(text).substr(start, size));
      start += size;
    }
    ASSERT_EQ(added, letters.size());
    ASSERT_EQ(columns.letters(), letters.size());
    for (std::size_t period = 1; period <= PeriodColumns::longestPeriod; ++period) {
      std::vector<PeriodColumns::Counts> expected(period);
      for (std::size_t i = 0; i < letters.size(); ++i) {
        ++expected[i % period][static_cast<std::size_t>(letters[i] - 'A')];
      }
      EXPECT_EQ(columns.columns(period), expected) << "period " << period;
    }
  }
}

}  // namespace
