#include "descriptor_buffers.hpp"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <io.h>

#include <algorithm>  // the C runtime counts in int
#include <climits>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace {

constexpr std::size_t inputBlockSize = std::size_t{64} * 1024;
constexpr std::size_t initialOutputSize = std::size_t{8} * 1024;

#ifdef _WIN32
constexpr short readable = 0;
constexpr short writable = 0;

// The C runtime counts in int: a larger size goes in several calls, never cut down to 0.
unsigned countOf(std::size_t size) {
  return static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX));
}
std::ptrdiff_t readOnce(int descriptor, char* buffer, std::size_t size) {
  return _read(descriptor, buffer, countOf(size));
}
std::ptrdiff_t writeOnce(int descriptor, const char* bytes, std::size_t size) {
  return _write(descriptor, bytes, countOf(size));
}
// The C runtime's descriptors always block.
bool waitUntilReady(int /*descriptor*/, short /*events*/) {
  return false;
}
#else
constexpr short readable = POLLIN;
constexpr short writable = POLLOUT;

std::ptrdiff_t readOnce(int descriptor, char* buffer, std::size_t size) {
  return read(descriptor, buffer, size);
}
std::ptrdiff_t writeOnce(int descriptor, const char* bytes, std::size_t size) {
  return write(descriptor, bytes, size);
}
// Waits until the descriptor is ready for `events`, or has hung up or failed, which the next
// read or write then tells. False, with errno, when even the wait fails.
bool waitUntilReady(int descriptor, short events) {
  pollfd watched{descriptor, events, 0};
  while (poll(&watched, 1, -1) < 0) {
    if (errno != EINTR) {
      return false;
    }
  }
  return true;
}
#endif

// Whether a read or write that failed with errno is worth another try: after a signal at once,
// on a non-blocking descriptor once it is ready.
bool mayRetry(int descriptor, short events) {
  if (errno == EINTR) {
    return true;
  }
  // EWOULDBLOCK is the same value as EAGAIN on most systems; compared apart where it is not.
  // NOLINTNEXTLINE(misc-redundant-expression)
  return (errno == EAGAIN || errno == EWOULDBLOCK) && waitUntilReady(descriptor, events);
}

}  // namespace

std::ptrdiff_t readSome(int descriptor, char* buffer, std::size_t size) noexcept {
  for (;;) {
    const std::ptrdiff_t count = readOnce(descriptor, buffer, size);
    if (count >= 0 || !mayRetry(descriptor, readable)) {
      return count;
    }
  }
}

bool writeAll(int descriptor, const char* bytes, std::size_t size) noexcept {
  while (size > 0) {
    const std::ptrdiff_t written = writeOnce(descriptor, bytes, size);
    if (written >= 0) {
      bytes += written;
      size -= static_cast<std::size_t>(written);
    } else if (!mayRetry(descriptor, writable)) {
      return false;
    }
  }
  return true;
}

DescriptorInput::DescriptorInput(int descriptor)
    : descriptor_(descriptor), buffer_(inputBlockSize) {}

DescriptorInput::int_type DescriptorInput::underflow() {
  const std::ptrdiff_t count = readSome(descriptor_, buffer_.data(), buffer_.size());
  if (count < 0) {
    throw std::system_error(errno, std::generic_category(), "read");
  }
  if (count == 0) {
    return traits_type::eof();
  }
  setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
  return traits_type::to_int_type(*gptr());
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
  const auto size = static_cast<std::size_t>(pptr() - pbase());
  if (!writeAll(descriptor_, pbase(), size)) {
    return -1;  // errno tells the caller why
  }
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return 0;
}
