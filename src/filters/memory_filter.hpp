#pragma once

#include <optional>
#include <span>
#include <string>

#include "method_filters.hpp"

// What a filter made of bytes held in memory: its output, or why the input was refused, in the
// words the command line uses for standard input ("-:LINE: ...").
struct FilteredBytes {
  std::string output;
  std::optional<std::string> refusal;
};

// Runs the filter over the bytes in blocks, as over standard input; they may be changed.
FilteredBytes filterBytes(MethodFilter& filter, std::span<char> input);
