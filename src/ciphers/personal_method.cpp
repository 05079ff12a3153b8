#include "ciphers/personal_method.hpp"

#include <cstdlib>

std::int32_t stepWalk(std::int32_t value, std::int32_t code, std::uint32_t draw) {
  const std::int32_t step = draw % 2 == 1 ? code : -code;
  // Turning back at the limits keeps every magnitude within four digits.
  return std::abs(value + step) > walkLimit ? value - step : value + step;
}

WalkValues buildWalk(std::string_view text, const Draw& draw) {
  WalkValues values(text.size() + 1);
  values[0] = static_cast<std::int32_t>(draw() % 90 + 10);
  for (std::size_t i = 0; i < text.size(); ++i) {
    // The byte's unsigned value, so that bytes above 0x7F decode to themselves.
    values[i + 1] = stepWalk(values[i], static_cast<unsigned char>(text[i]), draw());
  }
  return values;
}

std::string decodeWalk(const WalkValues& asciivalues) {
  std::string plaintext;
  plaintext.reserve(asciivalues.empty() ? 0 : asciivalues.size() - 1);
  for (std::size_t i = 0; i + 1 < asciivalues.size(); ++i) {
    const auto distance = std::llabs(std::int64_t{asciivalues[i]} - asciivalues[i + 1]);
    plaintext.push_back(static_cast<char>(distance & 0xFF));
  }
  return plaintext;
}

PersonalRows encipherPersonal(std::string_view text, const Draw& draw) {
  const WalkValues walk = buildWalk(text, draw);
  DigitString ctext = writeDigitString(walk, draw);
  std::string plaintext = decodeWalk(parseDigitString(ctext));
  return {std::move(ctext), std::move(plaintext)};
}

std::mt19937 seededFromClock(std::time_t now) {
  return std::mt19937(static_cast<std::uint32_t>(now));
}
