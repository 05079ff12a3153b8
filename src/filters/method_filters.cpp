#include "method_filters.hpp"

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
    : output_(largestBlock + 2) {}

std::span<const char> PersonalDecryptFilter::transform(std::span<char> block) {
  const char* end = decoder_.decode({block.data(), block.size()}, output_.data());
  refused_ = decoder_.refused();
  return {output_.data(), end};
}
