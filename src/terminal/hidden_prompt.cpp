#include "hidden_prompt.hpp"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <string_view>

#include "descriptor_io.hpp"
#include "terminal_signals.hpp"

namespace {

// The terminal's modes without echo, from the moment it is set until it goes; meanwhile a signal
// that ends or stops the program puts the modes back first.
class EchoOff {
 public:
  explicit EchoOff(int terminal) : terminal_(terminal) {
    if (tcgetattr(terminal, &original_) != 0) {
      return;
    }
    termios hidden = original_;
    hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL);
    terminal_signals::install();
    const terminal_signals::HeldBack held;
    terminal_signals::enteringEditing(original_, false, terminal);
    tcsetattr(terminal, TCSAFLUSH, &hidden);
    terminal_signals::enteredEditing(hidden);
    set_ = true;
  }
  ~EchoOff() {
    if (!set_) {
      return;
    }
    {
      const terminal_signals::HeldBack held;
      tcsetattr(terminal_, TCSADRAIN, &original_);
      terminal_signals::leftEditing();
    }
    terminal_signals::uninstall();
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  int terminal_;
  termios original_{};
  bool set_ = false;
};

}  // namespace

HiddenPrompt::~HiddenPrompt() {
  closeDescriptor(terminal_);
}

std::optional<Secret> HiddenPrompt::ask(std::string_view prompt) {
  Secret answer;
  bool ended = true;
  {
    const EchoOff echoOff(terminal_);  // before the prompt, so that no key is typed with echo
    writeAll(terminal_, prompt);
    // A byte at a time: a read never takes a byte of the line after, and no buffer but the
    // answer ever holds the secret.
    std::array<char, 1> byte{};
    while (readBlock(terminal_, byte) == 1) {
      if (byte[0] == '\n') {
        ended = false;
        break;
      }
      answer.push_back(byte[0]);
    }
    wipe(byte);
  }
  writeAll(terminal_, std::string_view("\n"));  // the line end that echo did not show
  if (ended) {
    return std::nullopt;
  }
  return answer;
}

void HiddenPrompt::say(std::string_view line) {
  writeAll(terminal_, line);
  writeAll(terminal_, std::string_view("\n"));
}

std::unique_ptr<HiddenPrompt> openHiddenPrompt() {
  const int terminal = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (terminal < 0) {
    return nullptr;
  }
  return std::unique_ptr<HiddenPrompt>(new HiddenPrompt(terminal));
}
