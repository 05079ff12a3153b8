#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mt19937.hpp"
#include "personal_method.hpp"
#include "vigenere.hpp"

// The bytes read at once. The run enlarges its pipes to hold a block (and a block's output), so
// that a read or a write is one call that never waits half way: against 64 KiB blocks through
// pipes of the default size, this took a third less system time (bench/filter_throughput.sh).
inline constexpr std::size_t blockSize = std::size_t{128} * 1024;
// The personal method's decrypter reads four digits or so for each byte it writes: blocks four
// times as large took a seventh less system time on its input.
inline constexpr std::size_t digitBlockSize = 4 * blockSize;

// A method run on a stream: each block of the input is turned at once into the output that it
// gives, whatever the block's size, so that nothing is held beyond a block.
class MethodFilter {
 public:
  MethodFilter() = default;
  MethodFilter(const MethodFilter&) = delete;
  MethodFilter& operator=(const MethodFilter&) = delete;
  virtual ~MethodFilter() = default;

  // Transforms a block of at most blockSize bytes (or the largest block the filter was made for),
  // in place or into a buffer of the filter's own. The output stays valid until the next call.
  virtual std::span<const char> transform(std::span<char> block) = 0;

  // Whether the input has been refused: no further block is transformed. The refused line is
  // the one after linesEnded() line feeds.
  virtual bool refused() const { return false; }
  // Whether the input may end here; refused() turns true where it may not.
  virtual void endInput() {}
  virtual std::uint64_t linesEnded() const { return 0; }
  // A read error has cut the input: the line being read, if a line can be refused, is dropped
  // unjudged, and the next byte begins a line.
  virtual void dropLine() {}
  // Whether the filter wants no more input: the run stops reading, quietly, and leaves it to the
  // filter's owner to say why.
  virtual bool hasEnough() const { return false; }
  // The most bytes that transform() takes at once, and that it gives for them: the block itself,
  // where it works in place.
  virtual std::size_t largestInput() const { return blockSize; }
  virtual std::size_t largestOutput() const { return largestInput(); }
};

class Rot13Filter : public MethodFilter {
 public:
  std::span<const char> transform(std::span<char> block) override;
};

class VigenereFilter : public MethodFilter {
 public:
  enum class Direction { encipher, decipher };
  VigenereFilter(std::string_view key, Direction direction) : key_(key), direction_(direction) {}
  std::span<const char> transform(std::span<char> block) override;

 private:
  VigenereStream key_;
  Direction direction_;
};

class PersonalEncryptFilter : public MethodFilter {
 public:
  explicit PersonalEncryptFilter(const Mt19937& generator, std::size_t largestBlock = blockSize);
  std::span<const char> transform(std::span<char> block) override;
  std::size_t largestOutput() const override { return output_.size(); }

 private:
  Mt19937 generator_;
  PersonalEncoder encoder_;
  std::vector<char> output_;
};

class PersonalDecryptFilter : public MethodFilter {
 public:
  explicit PersonalDecryptFilter(std::size_t largestBlock = digitBlockSize);
  std::span<const char> transform(std::span<char> block) override;
  std::size_t largestInput() const override { return largestBlock_; }
  std::size_t largestOutput() const override { return output_.size(); }
  bool refused() const override { return refused_; }
  // The encoder ends no line with its start value alone.
  void endInput() override { refused_ = !decoder_.endsWhole() || decoder_.endsAtBareStart(); }
  std::uint64_t linesEnded() const override { return decoder_.linesEnded(); }
  void dropLine() override { decoder_.dropLine(); }

 private:
  std::size_t largestBlock_;
  PersonalDecoder decoder_;
  std::vector<char> output_;
  bool refused_ = false;
};

// Why a Vigenere key given with -k is refused; nothing for a good one. The key is on the command
// line already, so the message may quote it.
std::optional<std::string> keyRefusal(std::string_view key);
// Why a Vigenere run without a key cannot start.
inline constexpr std::string_view missingKeyMessage = "no key: give -k KEY or --key-file FILE";

// A seed of the personal method: a whole number from 0 to 4294967295, in decimal.
std::optional<std::uint32_t> parseSeed(std::string_view text);
std::string seedRefusal(std::string_view text);

// Why a run of the personal decrypter stopped: the refused line of the named input.
std::string digitLineRefusal(std::string_view name, std::uint64_t line);
