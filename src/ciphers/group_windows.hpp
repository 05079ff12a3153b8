#pragma once

#include <cstddef>
#include <cstdint>

// The bytes that one window of groups looks at; a window is read only where this many are left.
inline constexpr std::size_t groupWindow = 65;

// Deciphers the groups of a line of digits from `group` on, many at a time where the processor
// has the vector instructions for it, following the value `last`. Takes only complete groups that
// the writer can write, wholly within windows of groupWindow bytes before `end`, and stops before
// the first group it cannot take that way: a line end, a group cut by the window or the end, or
// one that the careful reading must judge (which then refuses it, or takes it and goes on). Writes
// each group's byte to `out` and moves `last` and `out` on; returns where it stopped, which is
// `group` itself where the processor lacks the instructions.
const char* decodeGroupWindows(const char* group, const char* end, std::int32_t& last, char*& out);
