#include "descriptor_io.hpp"

#include <fcntl.h>

#include <cerrno>

#ifdef _WIN32
#include <io.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace {

enum class Awaited { input, output };

#ifdef _WIN32
// The C runtime counts in unsigned ints; a block is never near that size.
int readOnce(int descriptor, std::span<char> buffer) {
  return _read(descriptor, buffer.data(), static_cast<unsigned>(buffer.size()));
}
int writeOnce(int descriptor, std::span<const char> bytes) {
  return _write(descriptor, bytes.data(), static_cast<unsigned>(bytes.size()));
}
bool waitFor(int /*descriptor*/, Awaited /*awaited*/) {
  return false;
}
#else
ssize_t readOnce(int descriptor, std::span<char> buffer) {
  return read(descriptor, buffer.data(), buffer.size());
}
ssize_t writeOnce(int descriptor, std::span<const char> bytes) {
  return write(descriptor, bytes.data(), bytes.size());
}
// A descriptor left non-blocking by whoever handed it over answers EAGAIN: wait until it is
// ready instead of failing.
bool waitFor(int descriptor, Awaited awaited) {
  pollfd ready{descriptor, static_cast<short>(awaited == Awaited::input ? POLLIN : POLLOUT), 0};
  return poll(&ready, 1, -1) >= 0 || errno == EINTR;
}
#endif

bool mayTryAgain(int descriptor, Awaited awaited) {
  return errno == EINTR ||
         ((errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(descriptor, awaited));
}

}  // namespace

std::ptrdiff_t readBlock(int descriptor, std::span<char> buffer) {
  for (;;) {
    const auto count = readOnce(descriptor, buffer);
    if (count >= 0 || !mayTryAgain(descriptor, Awaited::input)) {
      return count;
    }
  }
}

bool writeAll(int descriptor, std::span<const char> bytes) {
  while (!bytes.empty()) {
    const auto written = writeOnce(descriptor, bytes);
    if (written < 0) {
      if (!mayTryAgain(descriptor, Awaited::output)) {
        return false;
      }
      continue;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

#ifdef _WIN32
int openForReading(const char* path) {
  return _open(path, _O_RDONLY | _O_BINARY);
}
void closeDescriptor(int descriptor) {
  _close(descriptor);
}
void useBinaryMode(int descriptor) {
  _setmode(descriptor, _O_BINARY);
}
#else
int openForReading(const char* path) {
  for (;;) {
    const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0 || errno != EINTR) {
      return descriptor;
    }
  }
}
void closeDescriptor(int descriptor) {
  close(descriptor);
}
void useBinaryMode(int /*descriptor*/) {}
#endif
