#pragma once

#include <cstdint>
#include <string_view>

#include "digit_string.hpp"

// The personal method's walk: the rules that every loop of it follows.

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

// Walks on from `last` by each byte's value (0 to 255, so that every byte decodes to itself),
// drawing the direction from `steps`, and writes its group with the length digit drawn from
// `lengths`: at most longestGroup characters a byte, into room for groupStore more. Returns the
// end of what it wrote, and leaves `last` at the walk's last value.
template <DrawSource Steps, DrawSource Lengths>
char* walkAndWrite(std::string_view text, std::int32_t& last, char* out, Steps&& steps,
                   Lengths&& lengths) {
  std::int32_t value = last;
  for (const char c : text) {
    const std::int32_t next = stepWalk(value, static_cast<unsigned char>(c), steps());
    out = writeGroup(out, value, next, lengths);
    value = next;
  }
  last = value;
  return out;
}
