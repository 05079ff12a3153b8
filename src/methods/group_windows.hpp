#pragma once

#include <cstddef>
#include <cstdint>

// The bytes that one window of groups looks at; a window is read only where this many are left.
inline constexpr std::size_t groupWindow = 65;

// Where the reading of lines of groups stands: the walk's last value, where the bytes read go,
// and the line feeds read.
struct GroupReading {
  std::int32_t last;
  char* out;
  std::uint64_t linesEnded;
};

// Reads the line end at `at` and the next line's start value where both are whole and the
// writer can write them, as the careful reading takes them, writing the line end and moving
// `reading` on; returns where they end, or `at` itself where they are not (the careful reading
// then judges them). `at` must be before `end`.
const char* readLineStart(const char* at, const char* end, GroupReading& reading);

// Whether this processor reads windows of groups at once; where not, decodeGroupWindows reads
// nothing, and need not be called.
bool readsGroupWindows();

// Deciphers the groups of lines of digits from `group` on, many at a time where the processor
// has the vector instructions for it, following the value `reading.last`. Takes only complete
// groups that the writer can write, wholly within windows of groupWindow bytes before `end`, and
// line ends each followed by a whole start value; stops before the first piece it cannot take
// that way: a group or line end cut by the window or the end, or one that the careful reading
// must judge (which then refuses it, or takes it and goes on). Writes each group's byte and each
// line end to `reading.out` and moves `reading` on; returns where it stopped, which is `group`
// itself where the processor lacks the instructions.
const char* decodeGroupWindows(const char* group, const char* end, GroupReading& reading);
