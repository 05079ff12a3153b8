#include "vigenere.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

std::string_view rowText(const VigenereRow& row) {
  return {row.data(), row.size()};
}

VigenereRows encipher(std::string_view text, std::string_view key) {
  return encipherVigenere(text, key);
}

}  // namespace

TEST(VigenereMatrix, EachRowIsTheAlphabetShiftedLeftByItsNumber) {
  static_assert(vigenere == buildVigenereMatrix(), "the matrix is built at compile time");
  const VigenereMatrix& matrix = vigenere;
  EXPECT_EQ(rowText(matrix[0]), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(rowText(matrix[1]), "BCDEFGHIJKLMNOPQRSTUVWXYZA");
  EXPECT_EQ(rowText(matrix[25]), "ZABCDEFGHIJKLMNOPQRSTUVWXY");
  for (const VigenereRow& row : matrix) {
    VigenereRow sorted = row;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(rowText(sorted), rowText(matrix[0]));
  }
}

TEST(VigenereMatrix, FindInRowGivesTheColumnOrNothingWhenAbsent) {
  EXPECT_EQ(findInRow(vigenere[1], 'B'), 0U);
  EXPECT_EQ(findInRow(vigenere[1], 'A'), 25U);
  EXPECT_EQ(findInRow(vigenere[25], 'C'), 3U);
  EXPECT_EQ(findInRow(vigenere[0], 'a'), std::nullopt);
  EXPECT_EQ(findInRow(vigenere[0], '\xE9'), std::nullopt);
}

TEST(Vigenere, KeyLettersAShiftByNothingBByOneAndZBackByOne) {
  EXPECT_EQ(encipher("AZ", "A").ciphertext, "AZ");
  EXPECT_EQ(encipher("AZ", "B").ciphertext, "BA");
  EXPECT_EQ(encipher("AZ", "Z").ciphertext, "ZY");
}

TEST(Vigenere, UpperCasesTextAndKeyInAllFourRows) {
  const VigenereRows rows = encipher("attack at dawn", "lemon");
  EXPECT_EQ(rows.plaintext, "ATTACK AT DAWN");
  EXPECT_EQ(rows.keyletter, "LEMONL EM ONLE");
  EXPECT_EQ(rows.ciphertext, "LXFOPV EF RNHR");
  EXPECT_EQ(rows.decrypttext, "ATTACK AT DAWN");
  EXPECT_EQ(encipher("attack at dawn", "LeMoN").ciphertext, rows.ciphertext);
}

TEST(Vigenere, KeyIsAppliedCyclicallyAndOnlyAsFarAsNeeded) {
  EXPECT_EQ(encipher("AAAAA", "BC").keyletter, "BCBCB");
  EXPECT_EQ(encipher("AA", "BCDEFG").keyletter, "BC");
}

TEST(Vigenere, NonLettersStandUnchangedAndUseNoKeyLetter) {
  const VigenereRows rows = encipher("a1 b\xE9-c", "bcd");
  EXPECT_EQ(rows.plaintext, "A1 B\xE9-C");
  EXPECT_EQ(rows.keyletter, "B1 C\xE9-D");
  EXPECT_EQ(rows.ciphertext, "B1 D\xE9-F");
  EXPECT_EQ(rows.decrypttext, "A1 B\xE9-C");
}

TEST(Vigenere, TextWithoutLettersNeverConsultsTheKey) {
  for (const std::string_view key : {"", "12", "a b"}) {
    ASSERT_TRUE(acceptsKey("12 + \xE9!", key)) << "key " << key;
    const VigenereRows rows = encipherVigenere("12 + \xE9!", key);
    EXPECT_EQ(rows.keyletter, "12 + \xE9!");
    EXPECT_EQ(rows.ciphertext, "12 + \xE9!");
    EXPECT_EQ(rows.decrypttext, "12 + \xE9!");
  }
  const VigenereRows empty = encipher("", "");
  EXPECT_TRUE(empty.plaintext.empty() && empty.keyletter.empty() && empty.ciphertext.empty());
}

TEST(Vigenere, RefusesAnEmptyKeyOrOneWithANonLetterWhenTheTextHoldsALetter) {
  using namespace std::string_view_literals;
  for (const std::string_view key : {""sv, "ab1"sv, "\xE9"sv, "a-b"sv, "_"sv, "a\0"sv}) {
    EXPECT_FALSE(acceptsKey("text", key)) << "key " << key;
    EXPECT_THROW(encipherVigenere("text", key), std::invalid_argument) << "key " << key;
  }
  EXPECT_TRUE(acceptsKey("text", "zZ"));
}

TEST(Vigenere, EveryKeyLetterDeciphersEveryTextLetterBack) {
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  for (const char k : alphabet) {
    const VigenereRows rows = encipher(alphabet, std::string(1, k));
    EXPECT_EQ(rows.decrypttext, rows.plaintext) << "key " << k;
  }
}

TEST(Vigenere, NulAndLineFeedStandUnchangedLikeAnyNonLetter) {
  const VigenereRows rows = encipher(std::string_view("ab\0c\nd", 6), "b");
  EXPECT_EQ(rows.keyletter, std::string_view("BB\0B\nB", 6));
  EXPECT_EQ(rows.ciphertext, std::string_view("BC\0D\nE", 6));
  EXPECT_EQ(rows.decrypttext, std::string_view("AB\0C\nD", 6));
}
