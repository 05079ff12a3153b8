#include "method_filters.hpp"

#include <charconv>

#include "rot13.hpp"

std::span<const char> Rot13Filter::transform(std::span<char> block) {
  rotate13InPlace(block);
  return block;
}

std::span<const char> VigenereFilter::transform(std::span<char> block) {
  if (direction_ == Direction::encipher) {
    key_.encipher(block);
  } else {
    key_.decipher(block);
  }
  return block;
}

// Every byte gives at most a group, and a line's start value comes on top.
PersonalEncryptFilter::PersonalEncryptFilter(const Mt19937& generator, std::size_t largestBlock)
    : generator_(generator), output_(longestGroup * largestBlock + startValueLength + groupStore) {}

std::span<const char> PersonalEncryptFilter::transform(std::span<char> block) {
  const char* end = encoder_.encodeLines({block.data(), block.size()}, output_.data(), generator_);
  return {output_.data(), end};
}

// A group gives one byte; only a CR LF whose CR was cut off the block before gives two for one.
PersonalDecryptFilter::PersonalDecryptFilter(std::size_t largestBlock)
    : largestBlock_(largestBlock), output_(largestBlock + 2) {}

std::span<const char> PersonalDecryptFilter::transform(std::span<char> block) {
  const char* end = decoder_.decode({block.data(), block.size()}, output_.data());
  refused_ = decoder_.refused();
  return {output_.data(), end};
}

std::optional<std::string> keyRefusal(std::string_view key) {
  if (key.empty()) {
    return "the key is empty: it must be one or more of the letters A-Z and a-z";
  }
  if (isVigenereKey(key)) {
    return std::nullopt;
  }
  return "the key '" + std::string(key) + "' holds a character other than the letters A-Z and a-z";
}

std::optional<std::uint32_t> parseSeed(std::string_view text) {
  std::uint32_t seed = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, seed);
  if (text.empty() || error != std::errc() || stop != end) {
    return std::nullopt;
  }
  return seed;
}

std::string seedRefusal(std::string_view text) {
  return "the seed must be a whole number from 0 to 4294967295, not '" + std::string(text) + "'";
}

std::string digitLineRefusal(std::string_view name, std::uint64_t line) {
  return std::string(name) + ':' + std::to_string(line) +
         ": not a digit string of the personal method";
}
