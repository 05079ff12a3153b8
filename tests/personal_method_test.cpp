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
  std::vector<std::uint32_t> draws(201, odd);
  draws[0] = 1;  // start value 11
  ScriptedDraws scripted(draws);
  const std::string text(100, 'z');
  const PersonalRows rows = encipherPersonal(text, scripted);
  // 11 rises by 122 to 9893 in 81 steps, then each step that asks for 10015 turns back.
  std::string top = "11";
  for (std::int32_t value = 11 + 122; value <= 9893; value += 122) {
    top += std::to_string(std::to_string(value).size()) + std::to_string(value);
  }
  for (int i = 82; i <= 100; ++i) {
    top += i % 2 == 0 ? "49771" : "49893";
  }
  EXPECT_EQ(rows.ctext, top);
  EXPECT_EQ(rows.plaintext, text);
}

TEST(PersonalMethod, EveryTextAndEveryDrawRoundTrip) {
  std::mt19937 generator(20261208);
  std::uniform_int_distribution<int> byte(0, 255);  // NUL included: it steps by 0
  std::uniform_int_distribution<std::size_t> length(0, 800);
  for (int run = 0; run < 300; ++run) {
    std::string text(length(generator), '\0');
    std::generate(text.begin(), text.end(), [&] { return static_cast<char>(byte(generator)); });
    const PersonalRows rows = encipherPersonal(text, generator);
    ASSERT_EQ(rows.ctext.find_first_not_of("0123456789"), std::string::npos);
    ASSERT_NE(rows.ctext[0], '0');
    ASSERT_EQ(rows.plaintext, text) << rows.ctext;
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

// Every line the writer cannot write, one for each rule it breaks.
TEST(PersonalMethod, DecipheringRefusesEveryLineTheWriterCannotWrite) {
  for (const std::string_view line : {"47x", "4731448460253x", "47 \n",  // a non-digit
                                      "47314", "47314484602",            // a group cut short
                                      "47001", "4751",                   // length digits 0 and 5
                                      "09", "4", "\n",                   // no start value
                                      "47201", "4740070",                // a leading zero
                                      "47010", "4701110",                // a negative zero
                                      "473303",                          // a step of 256
                                      "47\r", "47\r\r\n"}) {             // a CR without LF
    EXPECT_EQ(decipherPersonal(line), std::nullopt) << line;
  }
  EXPECT_EQ(decipherPersonal("4814\r\n47\n10"), ",\r\n\n");
  EXPECT_EQ(decipherPersonal("473302"), "\xFF");  // 47 to 302: a step of 255
}

namespace {

struct Decoded {
  std::string text;
  bool refused;
  std::uint64_t linesEnded;
  bool operator==(const Decoded&) const = default;
};

// Decodes in pieces of `piece` bytes: a piece of one byte is always read by the careful,
// one-piece-at-a-time reading; a whole input mostly many groups at a time.
Decoded decodeInPieces(std::string_view digits, std::size_t piece,
                       const KernelSet& kernels = chosenKernels()) {
  PersonalDecoder decoder(kernels);
  std::string text(digits.size() + 2, '\0');
  char* out = text.data();
  for (std::size_t at = 0; at < digits.size() && !decoder.refused(); at += piece) {
    out = decoder.decode(digits.substr(at, piece), out);
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
  return {text, decoder.refused(), decoder.linesEnded()};
}

}  // namespace

// Lines of digits with one byte changed, put in or taken out: read whole under every kernel set,
// they are refused or taken exactly as when read a byte at a time, at the same line and after the
// same output.
TEST(PersonalMethod, DecodingManyGroupsAtOnceAgreesWithTheCarefulReading) {
  std::mt19937 generator(20261209);
  std::string text(3000, '\0');
  std::uniform_int_distribution<int> byte(0, 255);
  std::generate(text.begin(), text.end(), [&] { return static_cast<char>(byte(generator)); });
  for (std::size_t line = 700; line < text.size(); line += 700) {
    text[line] = '\n';
  }
  PersonalEncoder encoder;
  std::string digits(longestGroup * text.size() + startValueLength + groupStore, '\0');
  Mt19937 draws(7);
  digits.resize(
      static_cast<std::size_t>(encoder.encodeLines(text, digits.data(), draws) - digits.data()));
  const auto lines = static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n'));
  ASSERT_EQ(decodeInPieces(digits, digits.size()), (Decoded{text, false, lines}));
  // Every other line ending in CR LF, as a file saved on Windows has it.
  std::string crlf;
  for (const char c : digits) {
    if (c == '\n' && std::count(crlf.begin(), crlf.end(), '\n') % 2 == 0) {
      crlf += '\r';
    }
    crlf += c;
  }
  digits = crlf;
  const Decoded whole = decodeInPieces(digits, digits.size());
  ASSERT_FALSE(whole.refused);
  ASSERT_EQ(whole, decodeInPieces(digits, 1));

  const std::string_view replacements = "0123456789\n\rx";
  std::uniform_int_distribution<std::size_t> position(0, digits.size() - 1);
  std::uniform_int_distribution<std::size_t> replacement(0, replacements.size() - 1);
  for (int run = 0; run < 600; ++run) {
    std::string changed = digits;
    const std::size_t at = position(generator);
    const char c = replacements[replacement(generator)];
    if (run % 3 == 0) {
      changed.insert(at, 1, c);
    } else if (run % 3 == 1) {
      changed.erase(at, 1);
    } else {
      changed[at] = c;
    }
    const Decoded careful = decodeInPieces(changed, 1, portableKernels());
    for (const KernelSet* set : availableKernelSets()) {
      ASSERT_EQ(decodeInPieces(changed, changed.size(), *set), careful) << set->name << ", " << at;
    }
  }
}

// Walks that stay near zero (sign marks, and groups of two bytes, eight of them to 16 bytes) or
// roam (groups of four digits), in lines of every length from empty to longer than many windows,
// some ending in CR LF, each with a few bytes changed: every kernel set reads them whole as the
// careful reading does a byte at a time.
TEST(PersonalMethod, EveryKernelSetReadsAnyLinesAsTheCarefulReading) {
  std::mt19937 generator(20261211);
  const std::string_view replacements = "0123456789\n\rx";
  for (const std::int32_t largest : {9, 99, walkLimit}) {
    std::uniform_int_distribution<std::int32_t> value(-largest, largest);
    std::uniform_int_distribution<std::int32_t> step(-longestStep, longestStep);
    std::uniform_int_distribution<std::size_t> lineLength(0, 130);
    std::string digits(2 * longestGroup * 4000, '\0');
    char* out = digits.data();
    std::string text;
    while (text.size() < 4000) {
      std::int32_t last = 10 + static_cast<std::int32_t>(generator() % 90);
      out = writeStartValue(out, last);
      for (std::size_t i = lineLength(generator); i > 0; --i) {
        std::int32_t next = largest < walkLimit ? value(generator) : last + step(generator);
        next = std::abs(next) > walkLimit ? 2 * last - next : next;
        out = writeGroup(out, last, next, generator);
        text += static_cast<char>(std::abs(next - last));
        last = next;
      }
      // A line end, read as CR LF or LF, is written as it is read.
      const std::string_view lineEnd = generator() % 3 == 0 ? "\r\n" : "\n";
      out = std::copy(lineEnd.begin(), lineEnd.end(), out);
      text += lineEnd;
    }
    digits.resize(static_cast<std::size_t>(out - digits.data()));
    std::uniform_int_distribution<std::size_t> position(0, digits.size() - 1);
    std::uniform_int_distribution<std::size_t> replacement(0, replacements.size() - 1);
    for (int run = 0; run < 150; ++run) {
      std::string changed = digits;
      for (int change = 0; change < run % 3; ++change) {
        changed[position(generator)] = replacements[replacement(generator)];
      }
      const Decoded careful = decodeInPieces(changed, 1, portableKernels());
      if (run % 3 == 0) {
        ASSERT_EQ(careful.text, text);
      }
      for (const KernelSet* set : availableKernelSets()) {
        ASSERT_EQ(decodeInPieces(changed, changed.size(), *set), careful)
            << set->name << ", values up to " << largest << ", run " << run;
      }
    }
  }
}

// The filter's encoder reads a generator's words in place, many bytes at once under each kernel
// set; a generator behind a plain function is drawn one word at a time by the plain loop. Both
// must write the same digits for any
// text cut anywhere: short lines, lines long enough for the walk to reach its limits and turn
// back (high bytes), and words used up and made again in the middle of a line.
TEST(PersonalMethod, GeneratorReadInPlaceWritesWhatSingleDrawsWrite) {
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> anyByte(0, 255);
  std::uniform_int_distribution<int> highByte(200, 255);
  std::uniform_int_distribution<std::size_t> shortLine(0, 80);
  std::uniform_int_distribution<std::size_t> longLine(1000, 40000);
  std::uniform_int_distribution<std::size_t> piece(0, 700);
  for (std::uint32_t seed = 0; seed < 12; ++seed) {
    std::string text;
    while (text.size() < 100'000) {
      const bool high = random() % 4 == 0;
      std::string line(high ? longLine(random) : shortLine(random), '\n');
      for (char& c : line) {
        while (c == '\n') {
          c = static_cast<char>(high ? highByte(random) : anyByte(random));
        }
      }
      text += line + '\n';
    }
    text.pop_back();  // the last line unended
    const std::size_t cutsSeed = random();
    for (const KernelSet* set : availableKernelSets()) {
      std::mt19937 cuts(cutsSeed);
      Mt19937 inPlace(seed, *set);
      Mt19937 behind(seed, portableKernels());
      auto oneByOne = [&behind] { return behind(); };
      PersonalEncoder fast(*set);
      PersonalEncoder plain(portableKernels());
      std::string fastDigits;
      std::string plainDigits;
      for (std::string_view rest = text; !rest.empty();) {
        const std::string_view cut = rest.substr(0, piece(cuts));
        std::string room(longestGroup * cut.size() + 2 + groupStore, '\0');
        fastDigits.append(room.data(), fast.encodeLines(cut, room.data(), inPlace));
        plainDigits.append(room.data(), plain.encodeLines(cut, room.data(), oneByOne));
        rest.remove_prefix(cut.size());
      }
      ASSERT_EQ(fastDigits, plainDigits) << set->name << ", seed " << seed;
      EXPECT_EQ(inPlace(), behind());
    }
  }
}

// Steps of 255 and 256, up and down, at every place of a window: under every kernel set, the
// windows take the one and leave the other to the careful reading, which refuses it after the
// same output.
TEST(PersonalMethod, WindowsJudgeTheLongestStepsAsTheCarefulReadingDoes) {
  for (const std::string_view step : {"3302", "3303", "03208", "03209"}) {
    const bool longest = step.back() == '2' || step.back() == '8';  // 255 rather than 256
    std::string staying;  // the value reached, again and again
    for (int i = 0; i < 20; ++i) {
      staying += step.substr(step.size() - 4);
    }
    for (std::size_t before = 0; before < 40; ++before) {
      std::string line = "47";
      for (std::size_t i = 0; i < before; ++i) {
        line += "247";
      }
      line += std::string(step) + staying;
      const Decoded careful = decodeInPieces(line, 1, portableKernels());
      ASSERT_EQ(careful.refused, !longest) << line;
      ASSERT_EQ(careful.text.size(), longest ? before + 21 : before) << line;
      for (const KernelSet* set : availableKernelSets()) {
        ASSERT_EQ(decodeInPieces(line, line.size(), *set), careful) << set->name << ", " << line;
      }
    }
  }
}

// Lines whose walk takes one step of 255 or, just out of range, of 256, up or down, anywhere in
// the line: under every kernel set, read whole or a byte at a time, the first is taken whole and
// the second refused, after the bytes before it.
TEST(PersonalMethod, EveryKernelSetRefusesAStepJustOutOfRange) {
  std::mt19937 random(20261210);
  std::uniform_int_distribution<std::int32_t> anyStep(-longestStep, longestStep);
  for (int run = 0; run < 400; ++run) {
    const auto groups = static_cast<std::size_t>(1 + random() % 70);
    const std::size_t edgeAt = random() % groups;
    std::string line(startValueLength + longestGroup * groups + groupStore, '\0');
    std::int32_t last = static_cast<std::int32_t>(10 + random() % 90);
    char* out = writeStartValue(line.data(), last);
    std::string text;
    std::string before;
    for (std::size_t i = 0; i < groups; ++i) {
      std::int32_t step = i == edgeAt ? longestStep + run % 2 : anyStep(random);
      step = random() % 2 == 0 ? step : -step;
      step = std::abs(last + step) > 9999 ? -step : step;
      out = writeGroup(out, last, last + step, random);
      last += step;
      before = i == edgeAt ? text : before;
      text += static_cast<char>(std::abs(step));
    }
    line.resize(static_cast<std::size_t>(out - line.data()));
    const Decoded due = run % 2 == 0 ? Decoded{text, false, 0} : Decoded{before, true, 0};
    for (const KernelSet* set : availableKernelSets()) {
      ASSERT_EQ(decodeInPieces(line, line.size(), *set), due) << set->name << ", " << line;
      ASSERT_EQ(decodeInPieces(line, 1, *set), due) << set->name << ", " << line;
    }
  }
}
