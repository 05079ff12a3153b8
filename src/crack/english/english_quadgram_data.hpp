#pragma once

#include <array>
#include <cstdint>

// The statistics of English prose that make_quadgram_data.py writes into
// english_quadgram_data.cpp; english_statistics.cpp decodes them.

// Nats between two neighbouring quadgram levels.
extern const double englishQuadgramStep;

// How often each letter A to Z occurs in the prose.
extern const std::array<std::uint32_t, 26> englishLetterCounts;

// The levels of all 26^4 quadgrams in index order (AAAA, AAAB, ...), as string literals of a
// size every compiler takes, the last followed by a null pointer. A symbol is either the level
// (0 to 63) of the next quadgram or a run of 1 to 26 quadgrams at level 0; the symbols are the
// printable ASCII characters from '#' to '~' but for the backslash and the question mark, in
// that order.
extern const char* const englishQuadgramPieces[];
