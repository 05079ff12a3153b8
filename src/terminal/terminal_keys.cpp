#include "terminal_keys.hpp"

#include <sys/select.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <ctime>

#include "terminal_signals.hpp"

namespace {

constexpr int escape = 0x1b;
constexpr int droppedWhole = -3;
// Longer than any key's sequence; a longer one is no key, and is dropped.
constexpr std::size_t longestSequence = 32;

bool isFinalByte(int byte) {
  // '$' ends the modified keys of rxvt, where it would otherwise be an intermediate byte.
  return (byte >= 0x40 && byte <= 0x7e) || byte == '$';
}

bool isParameterByte(int byte) {
  return byte >= 0x20 && byte <= 0x3f;
}

int numberAt(std::string_view text, int otherwise) {
  int number = otherwise;
  std::from_chars(text.data(), text.data() + text.size(), number);
  return number;
}

// The parts of a key's sequence: ESC [ first ; modifier final, or ESC O modifier final.
struct KeyParts {
  bool meta = false;  // sent after an extra escape, as Alt or Meta
  bool ss3 = false;
  int first = 1;
  int modifier = 1;  // xterm's: 1 + Shift 1, Alt 2, Ctrl 4, Meta 8
  char final = 0;
};

KeyParts partsOf(std::string_view sequence) {
  KeyParts parts;
  sequence.remove_prefix(1);
  if (sequence.starts_with('\033')) {
    parts.meta = true;
    sequence.remove_prefix(1);
  }
  parts.ss3 = sequence.starts_with('O');
  parts.final = sequence.back();
  const std::string_view parameters = sequence.substr(1, sequence.size() - 2);
  if (parts.ss3) {
    parts.modifier = numberAt(parameters, 1);
    return parts;
  }
  const std::size_t semicolon = parameters.find(';');
  parts.first = numberAt(parameters.substr(0, semicolon), 1);
  if (semicolon != std::string_view::npos) {
    parts.modifier = numberAt(parameters.substr(semicolon + 1), 1);
  }
  return parts;
}

bool movesByWord(const KeyParts& parts) {
  constexpr int altCtrlOrMeta = 2 | 4 | 8;
  // rxvt sends Ctrl with the arrows as ESC O and a lower-case letter.
  const bool rxvtCtrl = parts.ss3 && parts.final >= 'a' && parts.final <= 'd';
  return parts.meta || rxvtCtrl || ((parts.modifier - 1) & altCtrlOrMeta) != 0;
}

// The keys of the VT220 family, ESC [ number ~, by their number.
std::string plainEditingKey(int number) {
  switch (number) {
    case 1:
    case 7:
      return "\033[H";
    case 2:
      return "\033[2~";
    case 3:
      return "\033[3~";
    case 4:
    case 8:
      return "\033[F";
    default:
      return "";  // Page Up and Down, the function keys: nothing to stand in for them
  }
}

}  // namespace

std::string plainKeySequence(std::string_view sequence) {
  if (sequence.size() < 3 || sequence.starts_with("\033[[")) {
    return "";  // the Linux console's function keys
  }
  const KeyParts parts = partsOf(sequence);
  switch (parts.final) {
    case 'A':
    case 'B':
    case 'a':
    case 'b':
      return std::string("\033[") + static_cast<char>(parts.final & ~0x20);
    case 'C':
    case 'D':
    case 'c':
    case 'd':
      return (movesByWord(parts) ? "\033[1;5" : "\033[") +
             std::string(1, static_cast<char>(parts.final & ~0x20));
    case 'H':
    case 'F':
      return std::string("\033[") + parts.final;
    case '~':
    case '^':
    case '$':
    case '@':
      return parts.ss3 ? "" : plainEditingKey(parts.first);
    default:
      return "";
  }
}

TerminalKeys::TerminalKeys(int descriptor, Hooks hooks, int sequenceMilliseconds)
    : descriptor_(descriptor), hooks_(hooks), sequenceMilliseconds_(sequenceMilliseconds) {}

int TerminalKeys::next() {
  for (;;) {
    if (!queued_.empty()) {
      const int byte = queued_.front();
      queued_.pop_front();
      return byte;
    }
    const int byte = readByte(-1);
    if (byte != escape || literally_) {
      return byte;
    }
    const int key = afterEscape();
    if (key != droppedWhole) {
      return key;
    }
  }
}

bool TerminalKeys::ready(int milliseconds) {
  return !queued_.empty() || begin_ < end_ || ended_ || waitForInput(milliseconds);
}

int TerminalKeys::peek(int milliseconds) {
  if (!queued_.empty()) {
    return queued_.front();
  }
  if (readByte(milliseconds) < 0) {
    return -1;
  }
  return static_cast<unsigned char>(buffer_.at(--begin_));
}

int TerminalKeys::afterEscape() {
  std::string sequence(1, static_cast<char>(escape));
  switch (readSequence(sequence)) {
    case Sequence::other:
      return handOn(sequence);
    case Sequence::overlong:
      return droppedWhole;
    case Sequence::key:
      break;
  }
  if (hooks_.bound(sequence)) {
    return handOn(sequence);
  }
  const std::string plain = plainKeySequence(sequence);
  if (!plain.empty() && hooks_.bound(plain)) {
    return handOn(plain);
  }
  return droppedWhole;
}

// Reads what follows an escape, as long as it comes without a pause. A key's sequence is
// ESC [ parameters final, ESC O (modifier) final, or either after one more ESC.
TerminalKeys::Sequence TerminalKeys::readSequence(std::string& sequence) {
  const auto take = [&] {
    const int byte = readByte(sequenceMilliseconds_);
    if (byte >= 0 && sequence.size() <= longestSequence) {
      sequence.push_back(static_cast<char>(byte));
    }
    return byte;
  };
  int byte = take();
  if (byte == escape) {
    byte = take();
  }
  if (byte == 'O') {
    byte = take();
    if (byte >= '0' && byte <= '9') {
      byte = take();
    }
    return byte >= 0 && isFinalByte(byte) ? Sequence::key : Sequence::other;
  }
  if (byte != '[') {
    return Sequence::other;
  }
  for (byte = take(); byte >= 0 && isParameterByte(byte) && byte != '$'; byte = take()) {
  }
  if (byte < 0 || !isFinalByte(byte)) {
    return Sequence::other;
  }
  if (byte == '[' && sequence.ends_with("[[")) {
    take();  // the Linux console's function keys: ESC [ [ letter
  }
  return sequence.size() > longestSequence ? Sequence::overlong : Sequence::key;
}

int TerminalKeys::handOn(std::string_view sequence) {
  queued_.insert(queued_.end(), sequence.begin() + 1, sequence.end());
  return static_cast<unsigned char>(sequence.front());
}

int TerminalKeys::readByte(int milliseconds) {
  while (begin_ == end_) {
    if (ended_) {
      return -1;
    }
    if (!waitForInput(milliseconds)) {
      return nothingInTime;
    }
    fill();
  }
  return static_cast<unsigned char>(buffer_.at(begin_++));
}

// Waits until the descriptor can be read, or the time is up. Signals interrupt the wait, and the
// editor then sees to them; the window-size signal is let through only here.
bool TerminalKeys::waitForInput(int milliseconds) {
  ++waits_;
  for (;;) {
    hooks_.interrupted();
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(descriptor_, &readable);
    timespec timeout{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000};
    const int ready =
        pselect(descriptor_ + 1, &readable, nullptr, nullptr, milliseconds < 0 ? nullptr : &timeout,
                &terminal_signals::waitingMask());
    if (ready != -1 || errno != EINTR) {
      return ready != 0;  // an error is left to the read, which reports it
    }
  }
}

void TerminalKeys::fill() {
  const ssize_t count = read(descriptor_, buffer_.data(), buffer_.size());
  if (count > 0) {
    begin_ = 0;
    end_ = static_cast<std::size_t>(count);
  } else if (count == 0) {
    ended_ = true;
  } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
    error_ = errno;
    ended_ = true;
  }
}
