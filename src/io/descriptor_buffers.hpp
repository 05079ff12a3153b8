#pragma once

#include <array>
#include <streambuf>
#include <vector>

// Stream buffers over file descriptors, so that the program knows what happened to every read
// and write. On Windows they go through the C runtime's _read and _write,
// whose text mode turns CRLF into LF and ends the input at Ctrl-Z, as a console program's should.

// Reads the descriptor in blocks. Its end is the end of the stream; a read that fails for any
// other reason throws std::system_error with its errno, so that it is never taken for the end.
class DescriptorInput : public std::streambuf {
 public:
  explicit DescriptorInput(int descriptor) : descriptor_(descriptor) {}

 protected:
  int_type underflow() override;

 private:
  int descriptor_;
  std::array<char, std::size_t{64} * 1024> buffer_{};
};

// Collects the output until a flush and then writes it whole: one system call per flush, however
// long the line. A flush that cannot write fails with errno telling why.
class DescriptorOutput : public std::streambuf {
 public:
  explicit DescriptorOutput(int descriptor);

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  int descriptor_;
  std::vector<char> buffer_;
};
