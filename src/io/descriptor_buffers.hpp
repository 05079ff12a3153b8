#pragma once

#include <cstddef>
#include <streambuf>
#include <vector>

// The console's stream buffers over file descriptors, read and written through descriptor_io, so
// that the dialogue knows what happened to every read and write. On Windows the C runtime's text
// mode turns CRLF into LF and ends the input at Ctrl-Z, as a console program's should.

// Reads the descriptor in blocks, into a buffer on the heap. Its end is the end of the stream; a
// read that fails for any other reason throws std::system_error with its errno, so that it is
// never taken for the end.
class DescriptorInput : public std::streambuf {
 public:
  explicit DescriptorInput(int descriptor);

 protected:
  int_type underflow() override;

 private:
  int descriptor_;
  std::vector<char> buffer_;
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
