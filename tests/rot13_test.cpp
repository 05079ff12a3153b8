#include "rot13.hpp"

#include <gtest/gtest.h>

#include <string>

TEST(Rot13, RotatesTheEndsOfBothHalvesOfEachAlphabet) {
  EXPECT_EQ(rot13("AMNZamnz"), "NZAMnzam");
}

TEST(Rot13, RotatesLongTextsWholeAndAlike) {
  // 101 times 12 characters: long texts are rotated in blocks, the last one cut short.
  std::string text;
  std::string rotated;
  for (int i = 0; i < 101; ++i) {
    text += "AMNZamnz@[`{";
    rotated += "NZAMnzam@[`{";
  }
  EXPECT_EQ(rot13(text), rotated);
}

TEST(Rot13, KeepsCaseAndEveryNonLetter) {
  EXPECT_EQ(rot13("Hello, World!"), "Uryyb, Jbeyq!");
  EXPECT_EQ(rot13("2 + 2 = 4!"), "2 + 2 = 4!");
  EXPECT_EQ(rot13("@[`{"), "@[`{");  // the neighbours of the letter ranges
}

TEST(Rot13, PassesBytesAboveAsciiUnchanged) {
  const std::string accented = "caf\xC3\xA9 \x80\xFF";
  EXPECT_EQ(rot13(accented), "pns\xC3\xA9 \x80\xFF");
}

TEST(Rot13, RotatingTwiceGivesEveryByteBack) {
  std::string everyByte;
  for (int c = 0; c < 256; ++c) {
    everyByte.push_back(static_cast<char>(c));
  }
  const Rot13Rows rows = encipherRot13(everyByte);
  EXPECT_EQ(rows.ciphertext, rot13(everyByte));
  EXPECT_EQ(rows.decrypttext, everyByte);
}
