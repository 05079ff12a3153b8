// Each method as a filter on arbitrary bytes cut into blocks at arbitrary places: the blocks
// give the same output as one whole block, and decrypting the output gives the input back.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "method_filters.hpp"

namespace {

void require(bool holds) {
  if (!holds) {
    std::abort();
  }
}

// Runs the filter over the input cut at the given lengths (the rest in one block at the end);
// what it wrote, and whether it ended refused.
struct Filtered {
  std::string output;
  bool refused = false;
  std::uint64_t linesEnded = 0;
  bool operator==(const Filtered&) const = default;
};

Filtered runBlocks(MethodFilter& filter, std::string input, const std::vector<std::size_t>& cuts) {
  Filtered filtered;
  std::span<char> rest(input);
  for (std::size_t i = 0; i <= cuts.size() && !filter.refused(); ++i) {
    const std::size_t length = i < cuts.size() ? std::min(cuts[i], rest.size()) : rest.size();
    const std::span<const char> output = filter.transform(rest.first(length));
    filtered.output.append(output.begin(), output.end());
    rest = rest.subspan(length);
  }
  if (!filter.refused()) {
    filter.endInput();
  }
  filtered.refused = filter.refused();
  filtered.linesEnded = filter.linesEnded();
  return filtered;
}

template <class Make>
void requireBlocksAsWhole(Make make, const std::string& input, const std::vector<std::size_t>& cuts,
                          Filtered& whole) {
  auto blocks = make();
  auto once = make();
  whole = runBlocks(*once, input, {});
  require(runBlocks(*blocks, input, cuts) == whole);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  const auto seed = provider.ConsumeIntegral<std::uint32_t>();
  std::string key = provider.ConsumeRandomLengthString(8);
  std::vector<std::size_t> cuts(provider.ConsumeIntegralInRange<std::size_t>(0, 8));
  for (std::size_t& cut : cuts) {
    cut = provider.ConsumeIntegralInRange<std::size_t>(0, 64);
  }
  const std::string input = provider.ConsumeRemainingBytesAsString();
  if (!isVigenereKey(key)) {
    key = "secret";
  }
  using Direction = VigenereFilter::Direction;
  Filtered rot13;
  requireBlocksAsWhole([] { return std::make_unique<Rot13Filter>(); }, input, cuts, rot13);
  Filtered rot13Back;
  requireBlocksAsWhole([] { return std::make_unique<Rot13Filter>(); }, rot13.output, cuts,
                       rot13Back);
  require(rot13Back.output == input);

  // Deciphering gives the input back with its letters upper-cased.
  Filtered enciphered;
  Filtered deciphered;
  requireBlocksAsWhole([&] { return std::make_unique<VigenereFilter>(key, Direction::encipher); },
                       input, cuts, enciphered);
  requireBlocksAsWhole([&] { return std::make_unique<VigenereFilter>(key, Direction::decipher); },
                       enciphered.output, cuts, deciphered);
  std::string upper = input;
  for (char& c : upper) {
    c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  require(deciphered.output == upper);

  Filtered encrypted;
  Filtered decrypted;
  requireBlocksAsWhole(
      [&] { return std::make_unique<PersonalEncryptFilter>(Mt19937(seed), input.size()); }, input,
      cuts, encrypted);
  requireBlocksAsWhole(
      [&] { return std::make_unique<PersonalDecryptFilter>(encrypted.output.size()); },
      encrypted.output, cuts, decrypted);
  require(!decrypted.refused && decrypted.output == input);

  // Arbitrary bytes decrypted: refused or not, at the same line, with the same output before.
  Filtered anyDecrypted;
  requireBlocksAsWhole([&] { return std::make_unique<PersonalDecryptFilter>(input.size()); }, input,
                       cuts, anyDecrypted);
  return 0;
}
