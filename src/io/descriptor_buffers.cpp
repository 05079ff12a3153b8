#include "descriptor_buffers.hpp"

#include <cerrno>
#include <cstddef>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
int readSome(int descriptor, char* buffer, std::size_t size) {
  return _read(descriptor, buffer, static_cast<unsigned>(size));
}
int writeSome(int descriptor, const char* bytes, std::size_t size) {
  return _write(descriptor, bytes, static_cast<unsigned>(size));
}
#else
ssize_t readSome(int descriptor, char* buffer, std::size_t size) {
  return read(descriptor, buffer, size);
}
ssize_t writeSome(int descriptor, const char* bytes, std::size_t size) {
  return write(descriptor, bytes, size);
}
#endif

constexpr std::size_t initialOutputSize = std::size_t{8} * 1024;

}  // namespace

DescriptorInput::int_type DescriptorInput::underflow() {
  for (;;) {
    const auto count = readSome(descriptor_, buffer_.data(), buffer_.size());
    if (count > 0) {
      setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
      return traits_type::to_int_type(*gptr());
    }
    if (count == 0) {
      return traits_type::eof();
    }
    if (errno != EINTR) {
      throw std::system_error(errno, std::generic_category(), "read");
    }
  }
}

DescriptorOutput::DescriptorOutput(int descriptor)
    : descriptor_(descriptor), buffer_(initialOutputSize) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

// A full buffer grows instead of being written: only a flush writes.
DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) {
    return traits_type::not_eof(c);
  }
  const auto used = pptr() - pbase();
  buffer_.resize(buffer_.size() * 2);
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  pbump(static_cast<int>(used));
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int DescriptorOutput::sync() {
  const char* next = pbase();
  while (next < pptr()) {
    const auto written = writeSome(descriptor_, next, static_cast<std::size_t>(pptr() - next));
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written < 0) {
      return -1;  // errno tells the caller why
    }
    next += written;
  }
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return 0;
}
