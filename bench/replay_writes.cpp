// The write floor of a session: reads all of standard input, then makes exactly the write calls
// of a recorded session, with the bytes of its recorded output, to standard output, and nothing
// else. bench/floor_ratio.sh compares a session's CPU time with this one's.
//   replay_writes CALLS RECORDED_OUTPUT < session.in > replay.out
// CALLS holds one call a line: "w N" for a write of N bytes, "v N1 N2 ..." for a writev of
// buffers of N1, N2, ... bytes. RECORDED_OUTPUT holds exactly the bytes those calls wrote.
// On success, prints one line to standard error:
//   cpu_us=T calls=C bytes=B
// where T is the process's user + system CPU time in microseconds up to its last write, less the
// time it spent loading CALLS and RECORDED_OUTPUT (which a session does not do).

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One recorded call: `count` buffers starting at `firstBuffer`; a plain write when !vectored.
struct Call {
  bool vectored;
  std::size_t firstBuffer;
  std::size_t count;
};

struct Recording {
  std::vector<Call> calls;
  std::vector<iovec> buffers;
  std::string bytes;
};

[[noreturn]] void fail(const std::string& message) {
  std::fprintf(stderr, "replay_writes: %s\n", message.c_str());
  std::exit(1);
}

[[noreturn]] void failWithErrno(const std::string& what) {
  fail(what + ": " + std::strerror(errno));
}

long long cpuMicroseconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto micros = [](const timeval& t) { return t.tv_sec * 1'000'000LL + t.tv_usec; };
  return micros(usage.ru_utime) + micros(usage.ru_stime);
}

std::string readWholeFile(const char* path) {
  const int fd = open(path, O_RDONLY);
  if (fd < 0) {
    failWithErrno(std::string("cannot open ") + path);
  }
  std::string contents;
  char chunk[1 << 16];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0) {
      failWithErrno(std::string("cannot read ") + path);
    }
    if (got == 0) {
      break;
    }
    contents.append(chunk, static_cast<std::size_t>(got));
  }
  close(fd);
  return contents;
}

// Reads CALLS; the buffers' bases are set once the output bytes are loaded.
void readCalls(const char* path, Recording& recording) {
  std::ifstream file(path);
  if (!file) {
    failWithErrno(std::string("cannot open ") + path);
  }
  std::string line;
  for (std::size_t lineNumber = 1; std::getline(file, line); ++lineNumber) {
    std::istringstream fields(line);
    std::string kind;
    fields >> kind;
    if (kind != "w" && kind != "v") {
      fail(std::string(path) + ":" + std::to_string(lineNumber) + ": not a recorded call");
    }
    const Call call{kind == "v", recording.buffers.size(), 0};
    recording.calls.push_back(call);
    for (std::size_t length = 0; fields >> length;) {
      recording.buffers.push_back(iovec{nullptr, length});
      ++recording.calls.back().count;
    }
    const bool wholeLine = fields.eof();
    const std::size_t count = recording.calls.back().count;
    if (!wholeLine || count == 0 || (!call.vectored && count != 1) ||
        count > static_cast<std::size_t>(IOV_MAX)) {
      fail(std::string(path) + ":" + std::to_string(lineNumber) + ": bad buffer lengths");
    }
  }
}

// Cuts the recorded output into the recorded buffer lengths.
void pointBuffersAtBytes(Recording& recording) {
  std::size_t offset = 0;
  for (iovec& buffer : recording.buffers) {
    if (buffer.iov_len > recording.bytes.size() - offset) {
      fail("the recorded calls write more bytes than the recorded output holds");
    }
    buffer.iov_base = recording.bytes.data() + offset;
    offset += buffer.iov_len;
  }
  if (offset != recording.bytes.size()) {
    fail("the recorded calls write fewer bytes than the recorded output holds");
  }
}

void readAllInput() {
  char chunk[8192];
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
    if (got == 0) {
      return;
    }
    if (got < 0 && errno != EINTR) {
      failWithErrno("cannot read the input");
    }
  }
}

void replay(const Recording& recording) {
  for (const Call& call : recording.calls) {
    const iovec* first = &recording.buffers[call.firstBuffer];
    std::size_t wanted = 0;
    for (std::size_t i = 0; i < call.count; ++i) {
      wanted += first[i].iov_len;
    }
    const ssize_t written = call.vectored
                                ? writev(STDOUT_FILENO, first, static_cast<int>(call.count))
                                : write(STDOUT_FILENO, first->iov_base, first->iov_len);
    if (written < 0) {
      failWithErrno("cannot write the output");
    }
    // A regular file takes every byte at once; a partial write would change the calls made.
    if (static_cast<std::size_t>(written) != wanted) {
      fail("a write call wrote fewer bytes than asked");
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CALLS RECORDED_OUTPUT < input > output\n", argv[0]);
    return 2;
  }
  const long long startOfLoading = cpuMicroseconds();
  Recording recording;
  readCalls(argv[1], recording);
  recording.bytes = readWholeFile(argv[2]);
  pointBuffersAtBytes(recording);
  const long long loading = cpuMicroseconds() - startOfLoading;

  readAllInput();
  replay(recording);
  const long long floor = cpuMicroseconds() - loading;

  std::fprintf(stderr, "cpu_us=%lld calls=%zu bytes=%zu\n", floor, recording.calls.size(),
               recording.bytes.size());
  return 0;
}
