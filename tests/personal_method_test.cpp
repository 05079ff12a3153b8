#include "personal_method.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "draws.hpp"

TEST(PersonalMethod, WalksWritesAndDecodesTheWorkedExample) {
  ScriptedDraws draws({37, odd, even, even, odd, even, odd});
  const PersonalRows rows = encipherPersonal("abc", draws);
  EXPECT_EQ(rows.ctext, "4731448460253");
  EXPECT_EQ(rows.plaintext, "abc");
  EXPECT_EQ(draws.used(), 7U);
}

TEST(PersonalMethod, EmptyTextTakesOneDrawAndShowsTheStartValue) {
  ScriptedDraws draws({89});
  const PersonalRows rows = encipherPersonal("", draws);
  EXPECT_EQ(rows.ctext, "99");
  EXPECT_EQ(rows.plaintext, "");
  EXPECT_EQ(draws.used(), 1U);
}

TEST(PersonalMethod, StepTurnsBackOnlyWhereItWouldLeaveFourDigits) {
  EXPECT_EQ(stepWalk(9950, 'z', odd), 9828);
  EXPECT_EQ(stepWalk(-9950, 'z', even), -9828);
  EXPECT_EQ(stepWalk(9877, 'z', odd), 9999);
  EXPECT_EQ(stepWalk(-9877, 'z', even), -9999);
  EXPECT_EQ(stepWalk(9878, 'z', odd), 9756);
  EXPECT_EQ(stepWalk(-9878, 'z', even), -9756);
  EXPECT_EQ(stepWalk(9950, 'z', even), 9828);
  EXPECT_EQ(stepWalk(9999, 255, odd), 9744);
}

TEST(PersonalMethod, RepeatedLetterRisesToTheLimitThenAlternates) {
  std::vector<std::uint32_t> draws(101, odd);
  draws[0] = 1;  // start value 11
  ScriptedDraws scripted(draws);
  const std::string text(100, 'z');
  const WalkValues walk = buildWalk(text, scripted);
  EXPECT_EQ(walk[0], 11);
  EXPECT_EQ(walk[81], 9893);
  for (std::size_t i = 82; i < walk.size(); ++i) {
    EXPECT_EQ(walk[i], i % 2 == 0 ? 9771 : 9893) << "value " << i;
  }
  EXPECT_EQ(decodeWalk(walk), text);
}

TEST(PersonalMethod, EveryTextAndEveryDrawRoundTrip) {
  std::mt19937 generator(20261208);
  std::uniform_int_distribution<int> byte(0, 255);  // NUL included: it steps by 0
  std::uniform_int_distribution<std::size_t> length(0, 800);
  for (int run = 0; run < 300; ++run) {
    std::string text(length(generator), '\0');
    std::generate(text.begin(), text.end(), [&] { return static_cast<char>(byte(generator)); });
    const WalkValues walk = buildWalk(text, generator);
    ASSERT_TRUE(std::all_of(walk.begin(), walk.end(), [](auto v) { return std::abs(v) <= 9999; }));
    ASSERT_TRUE(walk[0] >= 10 && walk[0] <= 99);
    const DigitString ctext = writeDigitString(walk, generator);
    ASSERT_EQ(ctext.find_first_not_of("0123456789"), std::string::npos);
    ASSERT_NE(ctext[0], '0');
    ASSERT_EQ(parseDigitString(ctext), walk) << ctext;
    ASSERT_EQ(decodeWalk(walk), text);
  }
}

TEST(PersonalMethod, AccentedTextDecodesToItself) {
  const std::string text = "caf\xC3\xA9 \x80\x81\xFF";
  Mt19937 generator = seededFromClock(1'700'000'000);
  EXPECT_EQ(encipherPersonal(text, generator).plaintext, text);
}

TEST(PersonalMethod, RunsSeededInTheSameSecondAgreeAndOthersDiffer) {
  const std::string text(200, 'e');
  Mt19937 first = seededFromClock(1'765'180'800);
  Mt19937 again = seededFromClock(1'765'180'800);
  Mt19937 later = seededFromClock(1'765'180'801);
  const DigitString ctext = encipherPersonal(text, first).ctext;
  EXPECT_EQ(encipherPersonal(text, again).ctext, ctext);
  EXPECT_NE(encipherPersonal(text, later).ctext, ctext);
}

TEST(PersonalMethod, TheClockSeededDrawsTakeBothDirectionsAndBothLengthForms) {
  Mt19937 generator = seededFromClock(1'765'180'800);
  const std::string text(800, 'a');
  const WalkValues walk = buildWalk(text, generator);
  const auto rises = std::adjacent_find(walk.begin(), walk.end(), std::less<>());
  const auto falls = std::adjacent_find(walk.begin(), walk.end(), std::greater<>());
  EXPECT_TRUE(rises != walk.end() && falls != walk.end());
  const DigitString ctext = writeDigitString(walk, generator);
  EXPECT_NE(ctext, writeDigitString(walk, [] { return odd; }));
  EXPECT_NE(ctext, writeDigitString(walk, [] { return even; }));
}
