#pragma once

#include <signal.h>
#include <termios.h>

// The signals around a line editor that puts the terminal in modes of its own. A signal that ends
// the program first puts the terminal back as it was (bracketed paste off included) and then ends
// the program alone, as it would have without the editor; a signal that stops it does the same and,
// once the program goes on, gives the terminal back to the editor. Signals the program was started
// with ignored stay ignored. The window-size signal is held back except while the editor waits for
// a key, so that the wait notices it.
namespace terminal_signals {

// Installs the handlers; until uninstall() restores the earlier ones and the signal mask.
void install();
void uninstall();

// The editor took the terminal (`original` are the modes it found, `editing` its own) or gave it
// back. `bracketedPaste`: it switched the terminal's bracketed-paste mode on.
void enteredEditing(const termios& original, const termios& editing, bool bracketedPaste);
void leftEditing();

// Holds the ending and stopping signals back while it lives, so that none comes between the
// editor's change of the terminal's modes and its note of them.
class HeldBack {
 public:
  HeldBack();
  ~HeldBack();
  HeldBack(const HeldBack&) = delete;
  HeldBack& operator=(const HeldBack&) = delete;

 private:
  sigset_t earlier_;
};

// The signal mask to wait for a key with: the window-size signal let through.
const sigset_t& waitingMask();

// Lets a held-back window-size signal in, so that it is noticed while bytes are still waiting to
// be read (a wait for a key, which lets it in too, is not needed for them then).
void letResizeIn();

// Whether the window changed size, or the program went on after a stop while editing (the line
// must then be drawn afresh), since the last call.
bool takeResize();
bool takeResumed();

}  // namespace terminal_signals
