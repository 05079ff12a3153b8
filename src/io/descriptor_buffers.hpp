#pragma once

#include <cstddef>
#include <streambuf>
#include <vector>

// Reading and writing file descriptors, so that the program knows what happened to every read
// and write. A read or write interrupted by a signal is tried again. A descriptor that the parent
// made non-blocking is waited for until it is ready, and then tried again: its flags are shared
// with the parent, so they are never changed here. On Windows the C runtime's _read and _write
// serve, whose text mode turns CRLF into LF and ends the input at Ctrl-Z, as a console program's
// should; they have no non-blocking case.

// Reads what the descriptor has, up to `size` bytes: the count read, 0 at its end, or -1 with
// errno telling why.
std::ptrdiff_t readSome(int descriptor, char* buffer, std::size_t size) noexcept;

// Writes all `size` bytes: true, or false with errno telling why. Allocates nothing, so it can
// report that memory ran out.
bool writeAll(int descriptor, const char* bytes, std::size_t size) noexcept;

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
