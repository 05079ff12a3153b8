#pragma once

#include <algorithm>
#include <array>
#include <concepts>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "digit_string.hpp"
#include "mt19937.hpp"

// The two rows a personal-method run shows besides its plaintext.
struct PersonalRows {
  DigitString ctext;
  std::string plaintext;
};

inline constexpr std::int32_t walkLimit = 9999;
// The largest step: a byte's value.
inline constexpr std::int32_t longestStep = 255;

// One step of the walk from value by a byte's code: up for an odd draw, down for an even one,
// turned the other way where the value asked for would leave -9999..9999, which keeps every
// magnitude within four digits.
constexpr std::int32_t stepWalk(std::int32_t value, std::int32_t code, std::uint64_t draw) {
  const std::int32_t step = draw % 2 == 1 ? code : -code;
  const std::int32_t asked = value + step;
  // One unsigned comparison tests both limits: below -9999 wraps round to a large number.
  const bool outside = static_cast<std::uint32_t>(asked + walkLimit) > 2 * walkLimit;
  return outside ? value - step : asked;
}

// Enciphers text into digit strings, in pieces of any size: the walk runs on from the value it
// last reached. Each line is a walk of its own.
class PersonalEncoder {
 public:
  // Starts a walk at a drawn value from 10 to 99 and writes it: two digits.
  template <DrawSource Draw>
  char* startWalk(char* out, Draw&& draw) {
    last_ = static_cast<std::int32_t>(draw() % 90 + 10);
    return writeStartValue(out, last_);
  }

  // Walks on by each byte's value (0 to 255, so that every byte decodes to itself), drawing the
  // direction from `steps`, and writes its group with the length digit drawn from `lengths`:
  // at most longestGroup characters a byte, into room for groupStore more.
  template <DrawSource Steps, DrawSource Lengths>
  char* encode(std::string_view text, char* out, Steps&& steps, Lengths&& lengths) {
    std::int32_t last = last_;
    for (const char c : text) {
      const std::int32_t value = stepWalk(last, static_cast<unsigned char>(c), steps());
      out = writeGroup(out, last, value, lengths);
      last = value;
    }
    last_ = last;
    return out;
  }

  // Enciphers a piece of text made of lines: each line becomes a line of digits, its walk
  // started at its first byte (or its line feed), and each byte draws its direction and then
  // its length digit. Writes at most longestGroup characters a byte, plus two, into room for
  // groupStore more.
  template <DrawSource Draw>
  char* encodeLines(std::string_view text, char* out, Draw&& draw) {
    while (!text.empty()) {
      if (!inLine_) {
        out = startWalk(out, draw);
        inLine_ = true;
      }
      const std::size_t lineEnd = text.find('\n');
      out = encodeDrawingInTurn(text.substr(0, lineEnd), out, draw);
      if (lineEnd == std::string_view::npos) {
        break;
      }
      *out++ = '\n';
      inLine_ = false;
      text.remove_prefix(lineEnd + 1);
    }
    return out;
  }

 private:
  template <DrawSource Draw>
  static void drawInto(std::span<std::uint32_t> draws, Draw& draw) {
    if constexpr (requires { draw.fill(draws); }) {
      draw.fill(draws);
    } else {
      std::generate(draws.begin(), draws.end(),
                    [&draw] { return static_cast<std::uint32_t>(draw()); });
    }
  }

  // Encodes with each byte drawing its direction and then its length digit. The draws are made
  // ahead, a batch at a time, so that the walk's loop only reads them from an array; a
  // generator's own are read where they lie, as the lowest bits that they decide.
  template <DrawSource Draw>
  char* encodeDrawingInTurn(std::string_view text, char* out, Draw& draw) {
    if constexpr (std::same_as<Draw, Mt19937>) {
      return encodeFromGenerator(text, out, draw);
    }
    constexpr std::size_t batch = 256;
    std::array<std::uint32_t, 2 * batch> draws;  // filled before it is read
    while (!text.empty()) {
      const std::size_t count = std::min(batch, text.size());
      drawInto(std::span(draws).first(2 * count), draw);
      std::size_t next = 0;
      auto drawn = [&draws, &next] { return draws[next++]; };
      out = encode(text.substr(0, count), out, drawn, drawn);
      text.remove_prefix(count);
    }
    return out;
  }

  char* encodeFromGenerator(std::string_view text, char* out, Mt19937& generator);
  // Encodes text with the draws whose lowest bits are parities[2 i] (direction) and
  // parities[2 i + 1] (length digit).
  char* encodeFromParities(std::string_view text, const std::uint8_t* parities, char* out);

  std::int32_t last_ = 0;
  bool inLine_ = false;
};

// Deciphers lines of digits, in pieces of any size, taking only what the writer can write: a
// start value, then groups whose values lie at most 255 apart. A line ends with LF or CR LF,
// and its text with the same. A group cut at a piece's edge is kept for the next piece.
class PersonalDecoder {
 public:
  // Deciphers the next piece into out, which has room for its size plus two; returns the end of
  // what was written. At a line that is not a digit string it stops, refused() turns true, and
  // what the lines before it gave has been written.
  char* decode(std::string_view digits, char* out);

  // Whether the whole input was read: it was never refused, and it did not end inside a line's
  // start value or a group.
  bool endsWhole() const { return !refused_ && carried_ == 0; }
  // Whether the input ended in a line that holds only its start value, with no line end: the
  // dialogue's digit string of an empty text, but never a line that the encoder writes.
  bool endsAtBareStart() const { return inLine_ && bareStart_; }
  bool refused() const { return refused_; }
  // The line feeds read so far; the line being read is the next.
  std::uint64_t linesEnded() const { return linesEnded_; }

  // Forgets the line being read, unjudged, as when a read error has cut it: the next digit
  // begins a line.
  void dropLine() {
    carried_ = 0;
    inLine_ = false;
    bareStart_ = false;
  }

 private:
  char* decodeGroups(std::string_view& digits, char* out);
  Reading readPiece(std::string_view digits, std::size_t& length, char*& out);
  Reading readLineEnd(std::string_view digits, std::size_t& length, char*& out);

  std::array<char, longestGroup + 2> carry_{};
  std::size_t carried_ = 0;
  bool inLine_ = false;
  bool bareStart_ = false;  // the line read so far is its start value alone
  bool refused_ = false;
  std::int32_t last_ = 0;
  std::uint64_t linesEnded_ = 0;
};

// Deciphers a whole input of digit lines at once; nothing where a line is refused or the input
// ends inside a group.
std::optional<std::string> decipherPersonal(std::string_view digits);

// A whole run of the dialogue without its report: the text enciphered as one line, and the
// ciphertext deciphered back. 2n + 1 draws: the start value, every step in text order, then
// every length digit.
template <DrawSource Draw>
PersonalRows encipherPersonal(std::string_view text, Draw&& draw) {
  DigitString ctext(startValueLength + longestGroup * text.size() + groupStore, '\0');
  PersonalEncoder encoder;
  char* out = encoder.startWalk(ctext.data(), draw);
  std::vector<std::uint32_t> steps(text.size());
  std::generate(steps.begin(), steps.end(), [&draw] { return static_cast<std::uint32_t>(draw()); });
  auto nextStep = [step = steps.begin()]() mutable { return *step++; };
  out = encoder.encode(text, out, nextStep, draw);
  ctext.resize(static_cast<std::size_t>(out - ctext.data()));
  std::string plaintext = decipherPersonal(ctext).value_or(std::string());
  return {std::move(ctext), std::move(plaintext)};
}

// The generator of a run started at `now`, in the dialogue and the filters alike: seeded with the
// low 32 bits of the calendar time in whole seconds.
Mt19937 seededFromClock(std::time_t now);
