#include "digit_string.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draws.hpp"

namespace {

struct Example {
  WalkValues values;
  std::vector<std::uint32_t> draws;
  DigitString written;
};

}  // namespace

TEST(DigitString, WritesAndParsesTheWorkedExamples) {
  const std::vector<Example> examples = {
      {{47, 144, 46, -53}, {odd, even, odd}, "4731448460253"},
      {{47, 144, 46, -53}, {even, odd, even}, "4771442460853"},
      {{15, -5, 0}, {odd, odd}, "15015010"},  // zero after a negative value carries a sign mark
      {{15, -5, 0}, {odd, even}, "15015090"},
      {{20, -30, 40}, {odd, odd}, "2002300240"},  // every sign change has its own mark
      {{20, -30, 40}, {even, even}, "2008300840"},
      {{40, -12}, {odd}, "400212"},  // a magnitude ending in 0 before a sign mark
      {{40, -12}, {even}, "400812"},
      {{99, 9999, -9999}, {odd, even}, "9949999069999"},
      {{10, 0, 0, 7}, {odd, even, odd}, "10109017"},
  };
  for (const Example& example : examples) {
    ScriptedDraws draws(example.draws);
    EXPECT_EQ(writeDigitString(example.values, draws), example.written);
    EXPECT_EQ(draws.used(), example.draws.size());
    EXPECT_EQ(parseDigitString(example.written), example.values) << example.written;
  }
}

TEST(DigitString, StartValueAloneTakesNoDraw) {
  ScriptedDraws none({});
  EXPECT_EQ(writeDigitString({47}, none), "47");
  EXPECT_EQ(parseDigitString("47"), WalkValues{47});
}

TEST(DigitString, ParserStaysWithinStringsTheWriterDidNotMake) {
  EXPECT_EQ(parseDigitString(""), WalkValues{});
  EXPECT_EQ(parseDigitString("4"), WalkValues{});
  EXPECT_EQ(parseDigitString("474"), (WalkValues{47}));       // a lone length digit
  EXPECT_EQ(parseDigitString("4741"), (WalkValues{47, 1}));   // a group cut short
  EXPECT_EQ(parseDigitString("47000"), (WalkValues{47, 0}));  // sign marks in a row
  EXPECT_EQ(parseDigitString("47599999"), (WalkValues{47, 99999}));
  EXPECT_EQ(parseDigitString("47x12"), (WalkValues{47, 0, 2}));  // a non-digit announces nothing
}
