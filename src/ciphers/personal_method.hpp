#pragma once

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "digit_string.hpp"
#include "mt19937.hpp"

// The two rows a personal-method run shows besides its plaintext.
struct PersonalRows {
  DigitString ctext;
  std::string plaintext;
};

inline constexpr std::int32_t walkLimit = 9999;

// One step of the walk from value by a byte's code: up for an odd draw, down for an even one,
// turned the other way where the value asked for would leave -9999..9999, which keeps every
// magnitude within four digits.
constexpr std::int32_t stepWalk(std::int32_t value, std::int32_t code, std::uint64_t draw) {
  const std::int32_t step = draw % 2 == 1 ? code : -code;
  const std::int32_t asked = value + step;
  return asked > walkLimit || asked < -walkLimit ? value - step : asked;
}

// The walk of a text of n bytes: v[0] = first draw mod 90 + 10, then one step per byte by its
// value 0..255. Makes 1 + n draws.
template <DrawSource Draw>
WalkValues buildWalk(std::string_view text, Draw&& draw) {
  WalkValues values(text.size() + 1);
  values[0] = static_cast<std::int32_t>(draw() % 90 + 10);
  for (std::size_t i = 0; i < text.size(); ++i) {
    // The byte's unsigned value, so that bytes above 0x7F decode to themselves.
    values[i + 1] = stepWalk(values[i], static_cast<unsigned char>(text[i]), draw());
  }
  return values;
}

// The text whose bytes are the distances between neighbouring values (their low 8 bits).
std::string decodeWalk(const WalkValues& asciivalues);

// A whole run without its report: walk, write, parse back and decode; 2n + 1 draws in all.
template <DrawSource Draw>
PersonalRows encipherPersonal(std::string_view text, Draw&& draw) {
  const WalkValues walk = buildWalk(text, draw);
  DigitString ctext = writeDigitString(walk, draw);
  std::string plaintext = decodeWalk(parseDigitString(ctext));
  return {std::move(ctext), std::move(plaintext)};
}

// The generator of one run, seeded with the low 32 bits of the calendar time in whole seconds.
Mt19937 seededFromClock(std::time_t now);
