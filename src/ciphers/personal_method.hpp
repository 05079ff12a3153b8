#pragma once

#include <ctime>
#include <random>
#include <string>
#include <string_view>

#include "ciphers/digit_string.hpp"

// The two rows a personal-method run shows besides its plaintext.
struct PersonalRows {
  DigitString ctext;
  std::string plaintext;
};

inline constexpr std::int32_t walkLimit = 9999;

// One step of the walk from value by a byte's code: up for an odd draw, down for an even one,
// turned the other way where the value asked for would leave -9999..9999.
std::int32_t stepWalk(std::int32_t value, std::int32_t code, std::uint32_t draw);

// The walk of a text of n bytes: v[0] = first draw mod 90 + 10, then for each byte, by its value
// 1..255, one step up (odd draw) or down (even draw), turned back where it would leave
// -9999..9999. Makes 1 + n draws.
WalkValues buildWalk(std::string_view text, const Draw& draw);

// The text whose bytes are the distances between neighbouring values (their low 8 bits).
std::string decodeWalk(const WalkValues& asciivalues);

// A whole run without its report: walk, write, parse back and decode; 2n + 1 draws in all.
PersonalRows encipherPersonal(std::string_view text, const Draw& draw);

// The generator of one run, seeded with the low 32 bits of the calendar time in whole seconds.
std::mt19937 seededFromClock(std::time_t now);
