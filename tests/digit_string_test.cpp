#include "digit_string.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "draws.hpp"

namespace {

using Values = std::vector<std::int32_t>;

struct Example {
  Values values;
  std::vector<std::uint32_t> draws;
  DigitString written;
};

DigitString writeValues(const Values& values, ScriptedDraws& draws) {
  DigitString ctext(startValueLength + longestGroup * values.size(), '\0');
  char* out = writeStartValue(ctext.data(), values.front());
  for (std::size_t i = 1; i < values.size(); ++i) {
    out = writeGroup(out, values[i - 1], values[i], draws);
  }
  ctext.resize(static_cast<std::size_t>(out - ctext.data()));
  return ctext;
}

// The values of a whole string, read piece by piece; nothing where a piece is not complete.
std::optional<Values> readValues(std::string_view ctext) {
  ReadValue piece = readStartValue(ctext);
  Values values;
  while (piece.reading == Reading::complete) {
    values.push_back(piece.value);
    ctext.remove_prefix(piece.length);
    if (ctext.empty()) {
      return values;
    }
    piece = readGroup(ctext, values.back());
  }
  return std::nullopt;
}

}  // namespace

TEST(DigitString, WritesAndReadsTheWorkedExamples) {
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
      {{47}, {}, "47"},  // the start value alone takes no draw
  };
  for (const Example& example : examples) {
    ScriptedDraws draws(example.draws);
    EXPECT_EQ(writeValues(example.values, draws), example.written);
    EXPECT_EQ(draws.used(), example.draws.size());
    EXPECT_EQ(readValues(example.written), example.values) << example.written;
  }
}

TEST(DigitString, ReadsOnlyWhatTheWriterWrites) {
  for (const std::string_view group : {"00", "5", "x", "205", "40123", "2\x80\x80"}) {
    EXPECT_EQ(readGroup(group, 47).reading, Reading::refused) << group;
  }
  EXPECT_EQ(readGroup("11", 47).value, 1);
  EXPECT_EQ(readGroup("010", -3).value, 0);
  EXPECT_EQ(readGroup("10", -3).reading, Reading::refused);  // a negative zero
  EXPECT_EQ(readGroup("010", 3).reading, Reading::refused);  // the same, after a sign mark
  EXPECT_EQ(readGroup("0", 3).reading, Reading::cut);        // a sign mark alone
  EXPECT_EQ(readGroup("412", 3).reading, Reading::cut);      // two of four digits
  EXPECT_EQ(readStartValue("09").reading, Reading::refused);
  EXPECT_EQ(readStartValue("1").reading, Reading::cut);
}
