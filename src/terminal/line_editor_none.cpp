#include "line_editor.hpp"

// The build without Readline: there is no editor, and the console reads standard input plainly.

struct LineEditor::Session {};

LineEditor::LineEditor(std::unique_ptr<Session> session) : session_(std::move(session)) {}

LineEditor::~LineEditor() = default;

void LineEditor::expect(std::string_view /*prompt*/, Recall /*recall*/, std::size_t /*longest*/) {}

void LineEditor::remember(Recall /*recall*/, std::string_view /*answer*/) {}

LineEditor::int_type LineEditor::underflow() {
  return traits_type::eof();
}

std::unique_ptr<LineEditor> openLineEditor() {
  return nullptr;
}
