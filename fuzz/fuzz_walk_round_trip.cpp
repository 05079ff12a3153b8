// A walk built from a fuzzed text and fuzzed draws must survive writing and parsing exactly,
// keep every value within its limits, and decode to the text.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "digit_string.hpp"
#include "personal_method.hpp"

namespace {

constexpr std::size_t maxText = 800;

void require(bool holds) {
  if (!holds) {
    std::abort();
  }
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);

  // The text: its length from the end of the input, its bytes from the front, NUL included.
  const std::size_t length = provider.ConsumeIntegralInRange<std::size_t>(0, maxText);
  const std::string text = provider.ConsumeBytesAsString(length);

  // The draws, from the end of what is left: a full word for the start value, then one byte
  // each (only parity counts). An exhausted input draws 0: a short input walks steadily down.
  std::size_t draws = 0;
  auto draw = [&provider, &draws]() -> std::uint32_t {
    return draws++ == 0 ? provider.ConsumeIntegral<std::uint32_t>()
                        : provider.ConsumeIntegral<std::uint8_t>();
  };

  const WalkValues walk = buildWalk(text, draw);
  require(draws == text.size() + 1);
  require(walk.size() == text.size() + 1);
  require(walk[0] >= 10 && walk[0] <= 99);
  for (const std::int32_t v : walk) {
    require(v >= -walkLimit && v <= walkLimit);
  }

  const DigitString ctext = writeDigitString(walk, draw);
  require(draws == 2 * text.size() + 1);
  require(ctext.size() >= 2 && ctext[0] >= '1' && ctext[0] <= '9');
  for (const char c : ctext) {
    require(isDigit(c));
  }

  require(parseDigitString(ctext) == walk);
  require(decodeWalk(walk) == text);
  return 0;
}
