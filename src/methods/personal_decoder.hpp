#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "digit_string.hpp"
#include "kernels.hpp"

// Deciphers lines of digits, in pieces of any size, taking only what the writer can write: a
// start value, then groups whose values lie at most 255 apart. A line ends with LF or CR LF,
// and its text with the same. A group cut at a piece's edge is kept for the next piece.
class PersonalDecoder {
 public:
  explicit PersonalDecoder(const KernelSet& kernels = chosenKernels()) : kernels_(&kernels) {}

  // Deciphers the next piece into out, which has room for its size plus two; returns the end of
  // what was written. At a line that is not a digit string it stops, refused() turns true, and
  // what the lines before it gave has been written.
  char* decode(std::string_view digits, char* out);

  // Whether the whole input was read: it was never refused, and it did not end inside a line's
  // start value or a group.
  bool endsWhole() const { return !refused_ && carried_ == 0; }
  // Whether the input ended in a line that holds only its start value, with no line end: the
  // dialogue's digit string of an empty text, but never a line that the encoder writes.
  bool endsAtBareStart() const { return inLine_ && bareStart_; }
  bool refused() const { return refused_; }
  // The line feeds read so far; the line being read is the next.
  std::uint64_t linesEnded() const { return linesEnded_; }

  // Forgets the line being read, unjudged, as when a read error has cut it: the next digit
  // begins a line.
  void dropLine() {
    carried_ = 0;
    inLine_ = false;
    bareStart_ = false;
  }

 private:
  char* decodeGroups(std::string_view& digits, char* out);
  Reading readPiece(std::string_view digits, std::size_t& length, char*& out);
  Reading takeLineEnd(std::string_view digits, std::size_t& length, char*& out);

  const KernelSet* kernels_;
  std::array<char, longestGroup + 2> carry_{};
  std::size_t carried_ = 0;
  bool inLine_ = false;
  bool bareStart_ = false;  // the line read so far is its start value alone
  bool refused_ = false;
  std::int32_t last_ = 0;
  std::uint64_t linesEnded_ = 0;
};

// Deciphers a whole input of digit lines at once; nothing where a line is refused or the input
// ends inside a group.
std::optional<std::string> decipherPersonal(std::string_view digits);
