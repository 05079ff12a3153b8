#include "terminal_signals.hpp"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstddef>
#include <string_view>

#include "descriptor_io.hpp"

namespace terminal_signals {
namespace {

// Signals whose default action ends the program, and those whose default action stops it.
constexpr std::array endingSignals{SIGHUP,  SIGINT,  SIGQUIT,   SIGTERM, SIGALRM, SIGUSR1,
                                   SIGUSR2, SIGPIPE, SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ};
constexpr std::array stoppingSignals{SIGTSTP, SIGTTIN, SIGTTOU};
constexpr std::array noticedSignals{SIGWINCH, SIGCONT};
constexpr std::size_t handledCount =
    endingSignals.size() + stoppingSignals.size() + noticedSignals.size();

constexpr std::string_view pasteModeOff = "\033[?2004l";
constexpr std::string_view pasteModeOn = "\033[?2004h";

// Shared with the handlers: set by the editor, or by a handler, and read by the other.
volatile sig_atomic_t editing = 0;
volatile sig_atomic_t pasteMode = 0;
volatile sig_atomic_t resized = 0;
volatile sig_atomic_t continued = 0;
volatile sig_atomic_t terminalDescriptor = STDIN_FILENO;
volatile sig_atomic_t resumed = 0;
termios originalModes{};
termios editingModes{};

struct Earlier {
  int signal = 0;
  struct sigaction action {};
};
std::array<Earlier, handledCount> earlier{};
std::size_t earlierCount = 0;
sigset_t earlierMask;
sigset_t waitMask;

// The paste-mode switches, written whole; writeAll is async-signal-safe, as the handlers need.
void writeToTerminal(std::string_view bytes) {
  writeAll(STDOUT_FILENO, bytes);
}

// Both run inside handlers, so they make only async-signal-safe calls.
void restoreModes() {
  if (pasteMode != 0) {
    writeToTerminal(pasteModeOff);
  }
  tcsetattr(terminalDescriptor, TCSADRAIN, &originalModes);
}

void takeTerminalAgain() {
  tcsetattr(terminalDescriptor, TCSADRAIN, &editingModes);
  if (pasteMode != 0) {
    writeToTerminal(pasteModeOn);
  }
}

sigset_t endingAndStopping() {
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal : endingSignals) {
    sigaddset(&signals, signal);
  }
  for (const int signal : stoppingSignals) {
    sigaddset(&signals, signal);  // SIGTTOU among them: a handler may set the modes
  }
  return signals;
}

void setHandler(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  // Interrupted reads and writes go on by themselves; a wait for a key returns all the same.
  action.sa_flags = SA_RESTART;
  action.sa_mask = endingAndStopping();
  sigaction(signal, &action, nullptr);
}

extern "C" void endProgram(int signal) {
  if (editing != 0) {
    restoreModes();
  }
  // The program ends by the signal itself, once this handler returns and unblocks it.
  setHandler(signal, SIG_DFL);
  raise(signal);
}

extern "C" void stopProgram(int signal) {
  const int savedErrno = errno;
  const bool wasEditing = editing != 0;
  if (wasEditing) {
    restoreModes();
  }
  continued = 0;
  setHandler(signal, SIG_DFL);
  raise(signal);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  // The program stops here, unless the kernel discards the stop (an orphaned process group).
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  sigprocmask(SIG_BLOCK, &only, nullptr);
  setHandler(signal, stopProgram);
  if (wasEditing) {
    takeTerminalAgain();
    if (continued != 0) {
      resumed = 1;
    }
  }
  errno = savedErrno;
}

extern "C" void noteResize(int /*signal*/) {
  resized = 1;
}

extern "C" void noteContinued(int /*signal*/) {
  continued = 1;
}

void handleUnlessIgnored(int signal, void (*handler)(int)) {
  Earlier& saved = earlier.at(earlierCount);
  if (sigaction(signal, nullptr, &saved.action) != 0 || saved.action.sa_handler == SIG_IGN) {
    return;
  }
  saved.signal = signal;
  ++earlierCount;
  setHandler(signal, handler);
}

bool take(volatile sig_atomic_t& flag) {
  const bool raised = flag != 0;
  flag = 0;
  return raised;
}

}  // namespace

void install() {
  for (const int signal : endingSignals) {
    handleUnlessIgnored(signal, endProgram);
  }
  for (const int signal : stoppingSignals) {
    handleUnlessIgnored(signal, stopProgram);
  }
  handleUnlessIgnored(SIGWINCH, noteResize);
  handleUnlessIgnored(SIGCONT, noteContinued);
  sigset_t resize;
  sigemptyset(&resize);
  sigaddset(&resize, SIGWINCH);
  sigprocmask(SIG_BLOCK, &resize, &earlierMask);
  waitMask = earlierMask;
  sigdelset(&waitMask, SIGWINCH);
}

void uninstall() {
  sigprocmask(SIG_SETMASK, &earlierMask, nullptr);
  for (std::size_t i = 0; i < earlierCount; ++i) {
    sigaction(earlier.at(i).signal, &earlier.at(i).action, nullptr);
  }
  earlierCount = 0;
}

void enteringEditing(const termios& original, bool bracketedPaste, int terminal) {
  editing = 0;  // while the modes are copied, a handler must not use them
  terminalDescriptor = terminal;
  originalModes = original;
  editingModes = original;
  pasteMode = bracketedPaste ? 1 : 0;
  editing = 1;
}

void enteredEditing(const termios& editingNow) {
  editingModes = editingNow;
}

void leftEditing() {
  editing = 0;
}

HeldBack::HeldBack() {
  const sigset_t signals = endingAndStopping();
  sigprocmask(SIG_BLOCK, &signals, &earlier_);
}

HeldBack::~HeldBack() {
  sigprocmask(SIG_SETMASK, &earlier_, nullptr);
}

void putTerminalBack() {
  if (editing != 0) {
    editing = 0;
    restoreModes();
  }
}

const sigset_t& waitingMask() {
  return waitMask;
}

void letResizeIn() {
  sigset_t pending;
  if (sigpending(&pending) == 0 && sigismember(&pending, SIGWINCH) == 1) {
    sigset_t held;
    sigprocmask(SIG_SETMASK, &waitMask, &held);
    sigprocmask(SIG_SETMASK, &held, nullptr);
  }
}

bool takeResize() {
  return take(resized);
}

bool takeResumed() {
  return take(resumed);
}

}  // namespace terminal_signals
