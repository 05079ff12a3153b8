#include "line_editor.hpp"

#include <histedit.h>
#include <langinfo.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <optional>
#include <system_error>

namespace {

// Enough to go back through a long session; the histories live only as long as the process.
constexpr int historySize = 100;

struct EditLineEnd {
  void operator()(EditLine* editline) const { el_end(editline); }
};
struct HistoryEnd {
  void operator()(History* history) const { history_end(history); }
};
using EditLinePtr = std::unique_ptr<EditLine, EditLineEnd>;
using HistoryPtr = std::unique_ptr<History, HistoryEnd>;

HistoryPtr newHistory() {
  HistoryPtr history(history_init());
  if (history) {
    HistEvent event;
    ::history(history.get(), &event, H_SETSIZE, historySize);
    ::history(history.get(), &event, H_SETUNIQUE, 1);  // the same line twice in a row counts once
  }
  return history;
}

// libedit decodes the typed bytes by the C library's character set and silently drops what it
// cannot decode: in the "C" locale, every byte above 0x7F. So the user's own locale is taken, and
// where that is plain ASCII (the "C" locale, or none set) UTF-8, which terminals send today. The
// program's own letter rules do not depend on the C library's locale.
void useTerminalCharacterSet() {
  std::setlocale(LC_CTYPE, "");
  if (std::string_view(nl_langinfo(CODESET)) == "ANSI_X3.4-1968") {
    std::setlocale(LC_CTYPE, "C.UTF-8");
  }
}

// libedit binds the Home and End keys the terminal description names, and the xterm ones. The
// Linux console, tmux and screen send these others, often under a TERM that does not say so.
void bindHomeAndEnd(EditLine* editline) {
  for (const char* home : {"\033[1~", "\033[7~"}) {
    el_set(editline, EL_BIND, home, "ed-move-to-beg", static_cast<const char*>(nullptr));
  }
  for (const char* end : {"\033[4~", "\033[8~"}) {
    el_set(editline, EL_BIND, end, "ed-move-to-end", static_cast<const char*>(nullptr));
  }
}

// Adds the line, without its line end, to the history; an empty line is not kept.
void remember(History* history, std::string_view line) {
  if (line.ends_with('\n')) {
    line.remove_suffix(1);
  }
  if (!line.empty()) {
    HistEvent event;
    ::history(history, &event, H_ENTER, std::string(line).c_str());
  }
}

}  // namespace

// The editor, its prompt and one history per kind of answer. The menu's history stays empty:
// Up there brings back nothing.
struct LineEditor::Session {
  HistoryPtr texts = newHistory();
  HistoryPtr keys = newHistory();
  HistoryPtr none = newHistory();
  EditLinePtr editline;  // declared last, so ended before the histories it points to
  std::string prompt;
  Recall recall = Recall::nothing;

  History* historyOf(Recall which) const {
    switch (which) {
      case Recall::texts:
        return texts.get();
      case Recall::keys:
        return keys.get();
      case Recall::nothing:
        break;
    }
    return none.get();
  }

  // Called by libedit whenever it draws the line.
  static char* currentPrompt(EditLine* editline) {
    void* session = nullptr;
    el_get(editline, EL_CLIENTDATA, &session);
    return static_cast<Session*>(session)->prompt.data();
  }

  // The next edited line with its line end; nothing at the end of the input.
  std::optional<std::string_view> readLine() {
    int count = 0;
    errno = 0;
    const char* line = el_gets(editline.get(), &count);
    const int error = errno;
    prompt.clear();  // a further line read for the same answer shows no prompt
    if (count < 0) {
      throw std::system_error(error != 0 ? error : EIO, std::generic_category(),
                              "cannot read the terminal");
    }
    if (line == nullptr || count == 0) {
      return std::nullopt;
    }
    const std::string_view read(line, static_cast<std::size_t>(count));
    if (recall != Recall::nothing) {
      remember(historyOf(recall), read);
    }
    return read;
  }

  // An editor on standard input and output, or nothing when libedit cannot set one up.
  static std::unique_ptr<Session> open() {
    useTerminalCharacterSet();
    auto session = std::make_unique<Session>();
    session->editline.reset(el_init("ciphers", stdin, stdout, stderr));
    if (!session->editline || !session->texts || !session->keys || !session->none) {
      return nullptr;
    }
    EditLine* editline = session->editline.get();
    el_set(editline, EL_CLIENTDATA, session.get());
    el_set(editline, EL_PROMPT, &Session::currentPrompt);
    // Fixed key bindings: no ~/.editrc is read (el_source is not called), so the keys behave
    // the same for everyone.
    el_set(editline, EL_EDITOR, "emacs");
    bindHomeAndEnd(editline);
    // Puts the terminal back in its normal mode when a signal ends the program during a read.
    el_set(editline, EL_SIGNAL, 1);
    el_set(editline, EL_HIST, history, session->none.get());
    return session;
  }
};

LineEditor::LineEditor(std::unique_ptr<Session> session) : session_(std::move(session)) {}

LineEditor::~LineEditor() = default;

void LineEditor::expect(std::string_view prompt, Recall recall) {
  session_->prompt = prompt;
  session_->recall = recall;
  el_set(session_->editline.get(), EL_HIST, history, session_->historyOf(recall));
}

LineEditor::int_type LineEditor::underflow() {
  if (gptr() < egptr()) {
    return traits_type::to_int_type(*gptr());
  }
  const std::optional<std::string_view> line = session_->readLine();
  if (!line) {
    return traits_type::eof();
  }
  line_ = *line;
  setg(line_.data(), line_.data(), line_.data() + line_.size());
  return traits_type::to_int_type(line_.front());
}

std::unique_ptr<LineEditor> openLineEditor() {
  if (isatty(STDIN_FILENO) == 0 || isatty(STDOUT_FILENO) == 0) {
    return nullptr;
  }
  std::unique_ptr<LineEditor::Session> session = LineEditor::Session::open();
  if (!session) {
    return nullptr;
  }
  return std::unique_ptr<LineEditor>(new LineEditor(std::move(session)));
}
