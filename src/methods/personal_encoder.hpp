#pragma once

#include <algorithm>
#include <array>
#include <concepts>
#include <cstdint>
#include <string_view>

#include "digit_string.hpp"
#include "kernels.hpp"
#include "mt19937.hpp"
#include "personal_walk.hpp"

// Enciphers text into digit strings, in pieces of any size: the walk runs on from the value it
// last reached. Each line is a walk of its own.
class PersonalEncoder {
 public:
  explicit PersonalEncoder(const KernelSet& kernels = chosenKernels()) : kernels_(&kernels) {}

  // Starts a walk at a drawn value from 10 to 99 and writes it: two digits.
  template <DrawSource Draw>
  char* startWalk(char* out, Draw&& draw) {
    last_ = static_cast<std::int32_t>(draw() % 90 + 10);
    return writeStartValue(out, last_);
  }

  // Walks on by each byte's value, drawing the direction from `steps`, and writes its group with
  // the length digit drawn from `lengths` (walkAndWrite).
  template <DrawSource Steps, DrawSource Lengths>
  char* encode(std::string_view text, char* out, Steps&& steps, Lengths&& lengths) {
    return walkAndWrite(text, last_, out, steps, lengths);
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
      std::generate_n(draws.begin(), 2 * count,
                      [&draw] { return static_cast<std::uint32_t>(draw()); });
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

  const KernelSet* kernels_;
  std::int32_t last_ = 0;
  bool inLine_ = false;
};
