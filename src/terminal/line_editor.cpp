#include "line_editor.hpp"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <new>
#include <optional>
#include <system_error>
#include <vector>

// Readline's headers need FILE declared first.
#include <readline/history.h>
#include <readline/readline.h>

#include "out_of_memory.hpp"
#include "terminal_keys.hpp"
#include "terminal_signals.hpp"

namespace {

// Memory that runs out while the editor has the terminal ends the program as it does elsewhere,
// with the terminal put back first.
[[noreturn]] void endOutOfMemoryWhileEditing() noexcept {
  terminal_signals::putTerminalBack();
  endOutOfMemory();
}

}  // namespace

// Readline allocates through these two, and its own end the program with a message and a status
// of their own when memory runs out. The library calls them through the dynamic linker, so these
// take their place.
extern "C" void* xmalloc(std::size_t bytes) {
  void* block = std::malloc(bytes);
  if (block == nullptr) {
    endOutOfMemoryWhileEditing();
  }
  return block;
}

extern "C" void* xrealloc(void* block, std::size_t bytes) {
  void* moved = block != nullptr ? std::realloc(block, bytes) : std::malloc(bytes);
  if (moved == nullptr) {
    endOutOfMemoryWhileEditing();
  }
  return moved;
}

namespace {

// Enough to go back through a long session; the histories live only as long as the process.
constexpr std::size_t historySize = 100;

constexpr std::string_view pasteStart = "\033[200~";
constexpr std::string_view pasteEnd = "\033[201~";

struct FreeLine {
  void operator()(char* line) const { std::free(line); }
};
using ReadLine = std::unique_ptr<char, FreeLine>;

// Where a character of the locale's set starts, at or before `target`; a byte that starts no
// character counts as one.
std::size_t characterStartBefore(std::string_view line, std::size_t target) {
  std::mbstate_t state{};
  std::size_t start = 0;
  for (;;) {
    std::size_t length = std::mbrlen(line.data() + start, line.size() - start, &state);
    if (length == 0 || length > line.size() - start) {
      length = 1;
      state = {};
    }
    if (start + length > target) {
      return start;
    }
    start += length;
  }
}

constexpr auto incomplete = static_cast<std::size_t>(-2);
constexpr auto invalid = static_cast<std::size_t>(-1);
// How long the rest of a character may take to come after its first byte.
constexpr int characterMilliseconds = 100;

std::size_t lengthOfCharacter(std::string_view bytes) {
  std::mbstate_t state{};
  return std::mbrlen(bytes.data(), bytes.size(), &state);
}

// Takes back what the last command put into the line beyond `longest` bytes, whole characters:
// the bytes just before the cursor, where every insertion leaves it.
void refuseBeyond(std::size_t longest) {
  const std::string_view line(rl_line_buffer, static_cast<std::size_t>(rl_end));
  const auto point = static_cast<std::size_t>(rl_point);
  const std::size_t excess = line.size() - longest;
  if (point >= excess) {
    const std::size_t from = characterStartBefore(line, point - excess);
    rl_delete_text(static_cast<int>(from), rl_point);
    rl_point = static_cast<int>(from);
  } else {
    const std::size_t from = characterStartBefore(line, longest);
    rl_delete_text(static_cast<int>(from), rl_end);
    rl_point = std::min(rl_point, rl_end);
  }
}

// A paste, read up to its end mark, as one line: each line end in it (CR, LF or CR LF) becomes a
// space, and those it ends with are dropped. A NUL byte cannot stand in a line: it is refused.
// Of a longer paste `keep` bytes are kept (0: all), enough for the limit to show.
class Paste {
 public:
  explicit Paste(std::size_t keep) : keep_(keep) {}

  void add(char byte) {
    if (byte == '\n' && afterCarriageReturn_) {
      afterCarriageReturn_ = false;
      return;
    }
    afterCarriageReturn_ = byte == '\r';
    const bool lineEnd = byte == '\r' || byte == '\n';
    if (byte == '\0') {
      refused_ = true;
    } else if (keep_ == 0 || text_.size() < keep_) {
      text_.push_back(lineEnd ? ' ' : byte);
      lineEnds_ = lineEnd ? lineEnds_ + 1 : 0;
    }
  }

  std::string text() const { return text_.substr(0, text_.size() - lineEnds_); }
  bool refused() const { return refused_; }

 private:
  std::size_t keep_;
  std::string text_;
  std::size_t lineEnds_ = 0;  // the spaces at the end of text_ that stand for line ends
  bool afterCarriageReturn_ = false;
  bool refused_ = false;
};

// Reads the pasted bytes through the end mark into `paste`; stops early at the end of the input.
void readPaste(Paste& paste) {
  std::string held;  // bytes that may be the start of the end mark
  for (int key = rl_read_key(); key >= 0; key = rl_read_key()) {
    held.push_back(static_cast<char>(key));
    while (!held.empty() && !pasteEnd.starts_with(held)) {
      paste.add(held.front());
      held.erase(0, 1);
    }
    if (held == pasteEnd) {
      return;
    }
  }
  for (const char byte : held) {
    paste.add(byte);
  }
}

bool isBound(std::string_view sequence) {
  int type = ISKMAP;
  rl_command_func_t* function =
      rl_function_of_keyseq_len(sequence.data(), sequence.size(), rl_get_keymap(), &type);
  return type == ISMACR || (type == ISFUNC && function != nullptr);
}

// The keys a terminal sends, bound where the terminal description and ~/.inputrc left them free,
// so that a key with modifiers has a plain key to stand for it.
void bindPlainKeys(Keymap map) {
  const std::array<std::pair<const char*, rl_command_func_t*>, 9> plainKeys{{
      {"\033[A", rl_get_previous_history},
      {"\033[B", rl_get_next_history},
      {"\033[C", rl_forward_char},
      {"\033[D", rl_backward_char},
      {"\033[H", rl_beg_of_line},
      {"\033[F", rl_end_of_line},
      {"\033[3~", rl_delete},
      {"\033[1;5C", rl_forward_word},
      {"\033[1;5D", rl_backward_word},
  }};
  for (const auto& [sequence, function] : plainKeys) {
    rl_bind_keyseq_if_unbound_in_map(sequence, function, map);
  }
}

void rebind(rl_command_func_t* from, rl_command_func_t* to, Keymap map) {
  char** sequences = rl_invoking_keyseqs_in_map(from, map);
  if (sequences == nullptr) {
    return;
  }
  for (char** sequence = sequences; *sequence != nullptr; ++sequence) {
    rl_bind_keyseq_in_map(*sequence, to, map);
    std::free(*sequence);
  }
  std::free(static_cast<void*>(sequences));
}

// How long the bytes of one key's sequence may lie apart, as Readline's keyseq-timeout says;
// -1 for ever.
int sequenceMilliseconds() {
  const char* value = rl_variable_value("keyseq-timeout");
  const int milliseconds = value != nullptr ? std::atoi(value) : 0;
  return milliseconds > 0 ? milliseconds : -1;
}

}  // namespace

// The editor, its prompt and one history per kind of answer; the menu has none. Readline is one
// per process, and so is this.
struct LineEditor::Session {
  Session() : keys(STDIN_FILENO, {&isBound, &seeToSignals}, setUpReadline()) {
    current = this;
    terminal_signals::install();
    earlierNewHandler = std::set_new_handler(&endOutOfMemoryWhileEditing);
  }
  ~Session() {
    std::set_new_handler(earlierNewHandler);
    terminal_signals::uninstall();
    rl_clear_history();
    current = nullptr;
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  TerminalKeys keys;
  std::vector<std::string> texts;
  std::vector<std::string> keyWords;
  std::string prompt;
  Recall recall = Recall::nothing;
  std::size_t longest = 0;
  std::size_t waitsAtBell = 0;
  std::new_handler earlierNewHandler = nullptr;

  static inline Session* current = nullptr;

  std::vector<std::string>* historyOf(Recall which) {
    switch (which) {
      case Recall::texts:
        return &texts;
      case Recall::keys:
        return &keyWords;
      case Recall::nothing:
        break;
    }
    return nullptr;
  }

  // Readline keeps one history: the prompt's own is put in before each line and taken out after.
  void showHistory(Recall which) {
    rl_clear_history();
    if (const std::vector<std::string>* history = historyOf(which)) {
      for (const std::string& entry : *history) {
        add_history(entry.c_str());
      }
    }
  }

  // The next edited line with its line end; nothing at the end of the input.
  std::optional<std::string> readLine() {
    showHistory(recall);
    const ReadLine line(readline(prompt.c_str()));
    prompt.clear();  // a further line read for the same answer shows no prompt
    rl_clear_history();
    if (!line) {
      if (keys.error() != 0) {
        throw std::system_error(keys.error(), std::generic_category(), "cannot read the terminal");
      }
      return std::nullopt;
    }
    std::string read(line.get());
    std::replace(read.begin(), read.end(), '\n', ' ');  // one line is one answer, whatever it holds
    read.push_back('\n');
    return read;
  }

  // Readline set up for the dialogue; gives how long a key's bytes may lie apart.
  static int setUpReadline() {
    rl_readline_name = "ciphers";
    rl_instream = stdin;
    rl_outstream = stdout;
    rl_catch_signals = 0;  // terminal_signals sees to them
    rl_catch_sigwinch = 0;
    rl_change_environment = 0;
    rl_getc_function = &nextKey;
    rl_input_available_hook = &keyWaiting;
    rl_prep_term_function = &takeTerminal;
    rl_deprep_term_function = &giveTerminalBack;
    rl_attempted_completion_function = &noCompletion;
    rl_initialize();  // reads ~/.inputrc
    // Every byte typed goes into the line as it is, whatever the locale and ~/.inputrc say.
    rl_variable_bind("input-meta", "on");
    rl_variable_bind("output-meta", "on");
    rl_variable_bind("convert-meta", "off");
    for (const char* name : {"emacs-standard", "vi-insert", "vi-command"}) {
      Keymap map = rl_get_keymap_by_name(name);
      rl_bind_keyseq_in_map(pasteStart.data(), &insertPaste, map);
      bindPlainKeys(map);
    }
    for (const char* name : {"emacs-standard", "vi-insert"}) {
      Keymap map = rl_get_keymap_by_name(name);
      rl_bind_key_in_map('\t', rl_insert, map);  // texts have no completion
      for (int byte = 0x80; byte <= 0xff; ++byte) {
        rl_bind_key_in_map(byte, &insertCharacter, map);
      }
    }
    bindQuotedInsert();
    using_history();
    return sequenceMilliseconds();
  }

  // Readline binds the terminal's literal-next character (Ctrl-V) to its own quoted-insert each
  // time it takes the terminal, so this is done again then.
  static void bindQuotedInsert() {
    for (const char* name : {"emacs-standard", "vi-insert", "vi-command"}) {
      rebind(rl_quoted_insert, &insertQuoted, rl_get_keymap_by_name(name));
    }
  }

  // Readline asks for a key when the last one has had its effect: the moment to hold the line
  // to its limit. (A redisplay function of our own would do it too, but Readline then leaves
  // the terminal's bracketed paste off.)
  static int nextKey(FILE* /*stream*/) {
    terminal_signals::letResizeIn();
    seeToSignals();
    const std::size_t limit = current->longest;
    if (limit > 0 && static_cast<std::size_t>(rl_end) > limit &&
        !RL_ISSTATE(RL_STATE_ISEARCH | RL_STATE_NSEARCH)) {
      refuseBeyond(limit);
      rl_redisplay();
      current->ringOncePerBurst();
    }
    return current->keys.next();
  }

  // Typed-ahead bytes beyond the limit ring the bell once, not once each.
  void ringOncePerBurst() {
    if (keys.waits() != waitsAtBell) {
      waitsAtBell = keys.waits();
      rl_ding();
    }
  }

  static int keyWaiting() {
    const int microseconds = rl_set_keyboard_input_timeout(0);  // Readline's wait, read back
    rl_set_keyboard_input_timeout(microseconds);
    return current->keys.ready(microseconds / 1000) ? 1 : 0;
  }

  static void seeToSignals() {
    if (terminal_signals::takeResize()) {
      rl_resize_terminal();
    }
    if (terminal_signals::takeResumed()) {
      rl_forced_update_display();  // after a stop, on the line the shell left the cursor on
    }
  }

  static void takeTerminal(int meta) {
    const terminal_signals::HeldBack heldBack;
    termios modes{};
    const bool known = tcgetattr(STDIN_FILENO, &modes) == 0;
    if (known) {
      const std::string_view paste = rl_variable_value("enable-bracketed-paste");
      terminal_signals::enteringEditing(modes, paste == "on");
    }
    rl_prep_terminal(meta);
    if (known && tcgetattr(STDIN_FILENO, &modes) == 0) {
      terminal_signals::enteredEditing(modes);
    }
    bindQuotedInsert();
  }

  static void giveTerminalBack() {
    const terminal_signals::HeldBack heldBack;
    terminal_signals::leftEditing();
    rl_eof_found = 0;  // the dialogue itself ends the line at the end of the input
    rl_deprep_terminal();
  }

  static char** noCompletion(const char* /*text*/, int /*start*/, int /*end*/) {
    rl_attempted_completion_over = 1;
    return nullptr;
  }

  static int insertPaste(int /*count*/, int /*key*/) {
    // A little more than the limit is kept, so that the limit refuses the rest with the bell.
    Paste paste(current->longest > 0 ? current->longest + 4 : 0);
    current->keys.takeLiterally(true);
    readPaste(paste);
    current->keys.takeLiterally(false);
    rl_insert_text(paste.text().c_str());
    if (paste.refused()) {
      rl_ding();
    }
    return 0;
  }

  // A byte above 0x7F: a character of the locale's set, with the bytes that follow it. Readline
  // would drop a byte that starts a character the next byte does not go on with; here every
  // byte goes into the line, as through a pipe.
  static int insertCharacter(int count, int key) {
    std::string bytes(1, static_cast<char>(key));
    while (lengthOfCharacter(bytes) == incomplete) {
      const int next = current->keys.peek(characterMilliseconds);
      if (next < 0) {
        break;
      }
      bytes.push_back(static_cast<char>(next));
      if (lengthOfCharacter(bytes) == invalid) {
        bytes.pop_back();  // it starts something else, and is left for the next key
        break;
      }
      current->keys.next();
    }
    std::string text;
    for (int copy = 0; copy < std::max(count, 1); ++copy) {
      text += bytes;
    }
    rl_insert_text(text.c_str());
    return 0;
  }

  // Ctrl-V: the next byte goes in as it is, escape included; NUL and the line feed cannot.
  static int insertQuoted(int count, int /*key*/) {
    current->keys.takeLiterally(true);
    const int key = rl_read_key();
    current->keys.takeLiterally(false);
    if (key < 0) {
      return 1;
    }
    if (key == '\0' || key == '\n') {
      return rl_ding();
    }
    rl_insert_text(
        std::string(static_cast<std::size_t>(std::max(count, 1)), static_cast<char>(key)).c_str());
    return 0;
  }
};

LineEditor::LineEditor(std::unique_ptr<Session> session) : session_(std::move(session)) {}

LineEditor::~LineEditor() = default;

void LineEditor::expect(std::string_view prompt, Recall recall, std::size_t longest) {
  session_->prompt = prompt;
  session_->recall = recall;
  session_->longest = longest;
}

void LineEditor::remember(Recall recall, std::string_view answer) {
  std::vector<std::string>* history = session_->historyOf(recall);
  if (history == nullptr || answer.empty() || (!history->empty() && history->back() == answer)) {
    return;  // the same answer twice in a row is kept once
  }
  if (history->size() == historySize) {
    history->erase(history->begin());
  }
  history->emplace_back(answer);
}

LineEditor::int_type LineEditor::underflow() {
  if (gptr() < egptr()) {
    return traits_type::to_int_type(*gptr());
  }
  std::optional<std::string> line = session_->readLine();
  if (!line) {
    return traits_type::eof();
  }
  line_ = std::move(*line);
  setg(line_.data(), line_.data(), line_.data() + line_.size());
  return traits_type::to_int_type(line_.front());
}

std::unique_ptr<LineEditor> openLineEditor() {
  if (isatty(STDIN_FILENO) == 0 || isatty(STDOUT_FILENO) == 0) {
    return nullptr;
  }
  return std::unique_ptr<LineEditor>(new LineEditor(std::make_unique<LineEditor::Session>()));
}
