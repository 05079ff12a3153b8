#include "memory_filter.hpp"

#include <algorithm>

FilteredBytes filterBytes(MethodFilter& filter, std::span<char> input) {
  FilteredBytes filtered;
  filtered.output.reserve(input.size());
  const auto refuse = [&filtered, &filter] {
    filtered.output.clear();
    filtered.refusal = digitLineRefusal("-", filter.linesEnded() + 1);
    return std::move(filtered);
  };
  while (!input.empty()) {
    const std::size_t size = std::min(input.size(), filter.largestInput());
    const std::span<const char> output = filter.transform(input.first(size));
    filtered.output.append(output.data(), output.size());
    if (filter.refused()) {
      return refuse();
    }
    input = input.subspan(size);
  }
  filter.endInput();
  return filter.refused() ? refuse() : std::move(filtered);
}
