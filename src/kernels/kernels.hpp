#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The loops that have more than one build, one set of them for each instruction set: the plain
// one, which any compiler builds and every other set is checked against, and those for x86-64's
// 256-bit and 512-bit vectors. The program runs one set, picked once: the one that the
// environment variable CIPHERS_KERNEL names, or else the best that the processor runs.

// The Mersenne Twister's state, in words.
inline constexpr std::size_t mt19937StateSize = 624;

// The shifts a Vigenère kernel may read past the key letter due: the key's shifts run on this
// far beyond its period.
inline constexpr std::size_t vigenereLookAhead = 32;

// The most bytes of a block of the walk: where a walk kernel stops, this many go through the
// plain loop, which turns at the limits, before the kernel goes on.
inline constexpr std::size_t walkBlock = 16;

// Where the reading of lines of groups stands: the walk's last value, where the bytes read go,
// and the line feeds read.
struct GroupReading {
  std::int32_t last;
  char* out;
  std::uint64_t linesEnded;
};

struct KernelSet {
  std::string_view name;

  // Rotates each ASCII letter 13 places within its half of the alphabet, in place.
  void (*rotate13)(std::span<char> text);

  // Shifts each letter of the text by the key row due, upper-cased: shifts[position] is the row
  // due, and the rows run on at least vigenereLookAhead past `period`; every other byte stays and
  // takes no row. Moves `position` on by the letters, modulo `period`.
  void (*shiftVigenere)(std::span<char> text, const char* shifts, std::size_t period,
                        std::size_t& position);

  // Walks on from `last` by the bytes of the text, with the direction and length digit of byte i
  // the lowest bits parities[2 i] and parities[2 i + 1], writing their groups at `out` (room for
  // groupStore bytes more than they take). Stops at a block in which the walk would have to turn
  // at a limit, or sooner; returns the bytes encoded, moving `last` and `out` on.
  std::size_t (*encodeWalk)(std::string_view text, const std::uint8_t* parities, std::int32_t& last,
                            char*& out);

  // Deciphers whole windows of groups from `group` on, as far as they are complete and the writer
  // can write them, and returns where it stopped; the careful reading takes over there. The room
  // at reading.out holds at least as many bytes as there are from `group` to `end`. Null in a set
  // that reads groups one at a time.
  const char* (*decodeGroupWindows)(const char* group, const char* end, GroupReading& reading);

  // Twists the whole state and makes the lowest bit of each word that it gives when tempered.
  void (*refillMt19937)(std::uint32_t* state, std::uint8_t* parities);
};

// The set that this process runs, picked on the first call. Where CIPHERS_KERNEL names a set
// that cannot run here, the best one; the program refuses to start first (kernelChoiceRefusal).
const KernelSet& chosenKernels();

// The plain set, which every processor runs.
const KernelSet& portableKernels();

// The sets that this processor runs, the plain one first and the best last.
std::span<const KernelSet* const> availableKernelSets();

// The one line that refuses CIPHERS_KERNEL's value, naming the set and those available; empty
// where the value is unset, empty or a set that this processor runs.
std::string kernelChoiceRefusal();

// The set in use and those available, as "avx2 (available: portable avx2)".
std::string describeKernels();
