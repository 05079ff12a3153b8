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
#include "personal_decoder.hpp"
#include "personal_encoder.hpp"

// The two rows a personal-method run shows besides its plaintext.
struct PersonalRows {
  DigitString ctext;
  std::string plaintext;
};

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
