#include "descriptor_io.hpp"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>

#include <algorithm>  // the C runtime counts in int
#include <climits>
#else
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
constexpr short readable = 0;
constexpr short writable = 0;

// The C runtime counts in int: a larger size goes in several calls, never cut down to 0.
unsigned countOf(std::size_t size) {
  return static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX));
}
std::ptrdiff_t readOnce(int descriptor, std::span<char> buffer) {
  return _read(descriptor, buffer.data(), countOf(buffer.size()));
}
std::ptrdiff_t writeOnce(int descriptor, std::span<const char> bytes) {
  return _write(descriptor, bytes.data(), countOf(bytes.size()));
}
// The C runtime's descriptors always block.
bool waitUntilReady(int /*descriptor*/, short /*events*/) {
  return false;
}
#else
constexpr short readable = POLLIN;
constexpr short writable = POLLOUT;

std::ptrdiff_t readOnce(int descriptor, std::span<char> buffer) {
  return read(descriptor, buffer.data(), buffer.size());
}
std::ptrdiff_t writeOnce(int descriptor, std::span<const char> bytes) {
  return write(descriptor, bytes.data(), bytes.size());
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

std::ptrdiff_t readBlock(int descriptor, std::span<char> buffer) noexcept {
  for (;;) {
    const std::ptrdiff_t count = readOnce(descriptor, buffer);
    if (count >= 0 || !mayRetry(descriptor, readable)) {
      return count;
    }
  }
}

bool writeAll(int descriptor, std::span<const char> bytes) noexcept {
  while (!bytes.empty()) {
    const std::ptrdiff_t written = writeOnce(descriptor, bytes);
    if (written >= 0) {
      bytes = bytes.subspan(static_cast<std::size_t>(written));
    } else if (!mayRetry(descriptor, writable)) {
      return false;
    }
  }
  return true;
}

std::string outputFailure(int error) {
  if (error == EPIPE) {
    return {};
  }
  std::string message = "ciphers: cannot write the output";
  if (error != 0) {
    message += std::string(": ") + std::strerror(error);
  }
  return message;
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
bool readsOwnOutput(int /*input*/, int /*output*/) {
  return false;
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
bool readsOwnOutput(int input, int output) {
  struct stat in {};
  struct stat out {};
  if (fstat(input, &in) != 0 || fstat(output, &out) != 0 || !S_ISREG(in.st_mode) ||
      !S_ISREG(out.st_mode) || in.st_dev != out.st_dev || in.st_ino != out.st_ino) {
    return false;
  }
  const off_t position = lseek(input, 0, SEEK_CUR);
  return position < 0 || position < in.st_size;
}
#endif

#ifdef F_SETPIPE_SZ
void enlargePipe(int descriptor, std::size_t size) {
  const int current = fcntl(descriptor, F_GETPIPE_SZ);
  if (current >= 0 && static_cast<std::size_t>(current) < size) {
    fcntl(descriptor, F_SETPIPE_SZ, static_cast<int>(size));
  }
}
#else
void enlargePipe(int /*descriptor*/, std::size_t /*size*/) {}
#endif
