// The dialogue pane: the console's menu loop, reading the lines the page hands it and writing
// to the page. A read waits for the page's next line (Asyncify suspends the loop meanwhile), so
// the loop is the console's own, byte for byte.

#include <emscripten/emscripten.h>

#include <cstddef>
#include <istream>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <vector>

#include "menu_loop.hpp"

namespace {

// clang-format off
// Waits for the page's next line, line feed included, and keeps its UTF-8 bytes: their count,
// or -1 when the page ends the input.
EM_ASYNC_JS(int, awaitPageLine, (), {
  const line = await Module.dialogueLine();
  if (line === null) {
    return -1;
  }
  Module.dialoguePending = new TextEncoder().encode(line);
  return Module.dialoguePending.length;
});

// Copies the bytes that awaitPageLine kept.
EM_JS(void, takePageLine, (char* out), {
  HEAPU8.set(Module.dialoguePending, out);
  Module.dialoguePending = null;
});

EM_JS(void, showOnPage, (const char* data, std::size_t size), {
  Module.dialogueOutput(HEAPU8.slice(data, data + size));
});
// clang-format on

class PageInput : public std::streambuf {
 protected:
  int_type underflow() override {
    const int size = awaitPageLine();
    if (size <= 0) {
      return traits_type::eof();
    }
    line_.resize(static_cast<std::size_t>(size));
    takePageLine(line_.data());
    setg(line_.data(), line_.data(), line_.data() + line_.size());
    return traits_type::to_int_type(line_.front());
  }

 private:
  std::vector<char> line_;
};

// Collects the output until a flush, and then shows it.
class PageOutput : public std::streambuf {
 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      pending_.push_back(traits_type::to_char_type(c));
    }
    return traits_type::not_eof(c);
  }

  std::streamsize xsputn(const char* data, std::streamsize size) override {
    pending_.insert(pending_.end(), data, data + size);
    return size;
  }

  int sync() override {
    if (!pending_.empty()) {
      showOnPage(pending_.data(), pending_.size());
      pending_.clear();
    }
    return 0;
  }

 private:
  std::vector<char> pending_;
};

}  // namespace

extern "C" {

// Runs one dialogue to its end; the status is the console's. A message it stops with is shown
// after its output, as a terminal shows standard error.
EMSCRIPTEN_KEEPALIVE int webRunDialogue() {
  PageInput input;
  PageOutput output;
  std::istream in(&input);
  std::ostream out(&output);
  std::ostringstream err;
  const int status = runMenuLoop(in, out, err);
  out.flush();
  const std::string message = err.str();
  if (!message.empty()) {
    showOnPage(message.data(), message.size());
  }
  return status;
}

}  // extern "C"
