#include "ciphers/vigenere.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

namespace {

std::string_view rowText(const VigenereRow& row) {
  return {row.data(), row.size()};
}

VigenereRows encipher(std::string_view text, std::string_view key) {
  const auto rows = encipherVigenere(text, key);
  EXPECT_TRUE(rows.has_value()) << "key " << key;
  return rows.value_or(VigenereRows{});
}

}  // namespace

TEST(VigenereMatrix, EachRowIsTheAlphabetShiftedLeftByItsNumber) {
  const VigenereMatrix matrix = buildVigenereMatrix();
  EXPECT_EQ(rowText(matrix[0]), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(rowText(matrix[1]), "BCDEFGHIJKLMNOPQRSTUVWXYZA");
  EXPECT_EQ(rowText(matrix[25]), "ZABCDEFGHIJKLMNOPQRSTUVWXY");
  for (const VigenereRow& row : matrix) {
    VigenereRow sorted = row;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(rowText(sorted), rowText(matrix[0]));
  }
}

TEST(VigenereMatrix, FindInRowGivesTheColumnOrZeroWhenAbsent) {
  const VigenereMatrix matrix = buildVigenereMatrix();
  EXPECT_EQ(findInRow(matrix[1], 'B'), 0);
  EXPECT_EQ(findInRow(matrix[1], 'A'), 25);
  EXPECT_EQ(findInRow(matrix[25], 'C'), 3);
  EXPECT_EQ(findInRow(matrix[0], 'a'), 0);
  EXPECT_EQ(findInRow(matrix[0], -23), 0);
  EXPECT_EQ(findInRow(matrix[0], 'B' + 256), 0);  // not a char value, so in no cell
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
    const auto rows = encipherVigenere("12 + \xE9!", key);
    ASSERT_TRUE(rows.has_value()) << "key " << key;
    EXPECT_EQ(rows->keyletter, "12 + \xE9!");
    EXPECT_EQ(rows->ciphertext, "12 + \xE9!");
    EXPECT_EQ(rows->decrypttext, "12 + \xE9!");
  }
  const VigenereRows empty = encipher("", "");
  EXPECT_TRUE(empty.plaintext.empty() && empty.keyletter.empty() && empty.ciphertext.empty());
}

TEST(Vigenere, RejectsAnEmptyKeyOrOneWithANonLetterWhenTheTextHoldsALetter) {
  for (const std::string_view key : {"", "ab1", "\xE9", "a-b", "_"}) {
    EXPECT_FALSE(encipherVigenere("text", key).has_value()) << "key " << key;
  }
}

TEST(Vigenere, EveryKeyLetterDeciphersEveryTextLetterBack) {
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  for (const char k : alphabet) {
    const VigenereRows rows = encipher(alphabet, std::string(1, k));
    EXPECT_EQ(rows.decrypttext, rows.plaintext) << "key " << k;
  }
}

TEST(Vigenere, WalkStopsAtALineFeedOrNul) {
  EXPECT_EQ(encipher(std::string_view("ab\0cd", 5), "b").ciphertext, "BC");
  EXPECT_EQ(encipher("ab\ncd", "b").ciphertext, "BC");
}
