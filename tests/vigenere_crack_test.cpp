#include "vigenere_crack.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "mt19937.hpp"
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

TEST(VigenereCrack, FindsKeysOfOneToSixteenLettersInThreeHundredLetters) {
  for (const std::string_view key :
       {"K", "LEMON", "DISCOVERY", "CRYPTOGRAPHY", "QWERTYUIOPASDFGH"}) {
    const VigenereCrack found = crack(encipher(message, key));
    EXPECT_EQ(found.key, key);
    EXPECT_EQ(found.verdict, CrackVerdict::sure) << key;
  }
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

TEST(CrackSample, KeepsTheFirstLettersUpperCasedAndCountsTheRest) {
  CrackSample sample;
  sample.add("ab, c");
  sample.add(std::string(CrackSample::sampleLimit, 'z'));
  EXPECT_EQ(sample.letters().substr(0, 4), "ABCZ");
  EXPECT_EQ(sample.letters().size(), CrackSample::sampleLimit);
  EXPECT_EQ(sample.letterCount(), CrackSample::sampleLimit + 3);
}

}  // namespace
