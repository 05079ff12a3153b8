#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The personal method's walk: a start value of two digits, then one value per text byte.
using WalkValues = std::vector<std::int32_t>;

// The personal method's ciphertext, made only of the digits 0 to 9: the start value as two
// digits, then for every further value an optional sign mark "0" (where its sign differs from
// the value before it, zero counting as positive), a length digit d or 10 - d (d being the
// number of digits of its magnitude), and its magnitude.
using DigitString = std::string;

// One random draw, a non-negative integer; only its parity (and once its remainder by 90) is used.
using Draw = std::function<std::uint32_t()>;

// Writes the walk, whose start value lies in 10..99 and every value in -9999..9999, making one
// draw per value after the first: odd writes the length digit d, even writes 10 - d.
DigitString writeDigitString(const WalkValues& values, const Draw& draw);

// Reads back the values of a string that writeDigitString made. Any other string gives some
// values, read without ever looking beyond its end.
WalkValues parseDigitString(std::string_view ctext);
