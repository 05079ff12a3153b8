#include "run_filter.hpp"

#include <cerrno>
#include <cstring>
#include <vector>

#include "descriptor_io.hpp"

namespace {

constexpr int standardInput = 0;
constexpr int standardOutput = 1;
constexpr std::string_view standardInputName = "-";

// How the run stopped early, if it did.
enum class Stop { no, refused, unwritable, enough };

class FilterRun {
 public:
  FilterRun(MethodFilter& filter, std::ostream& err)
      : filter_(filter), err_(err), block_(filter.largestInput()) {}

  Stop filterFile(const std::string& name);
  Stop endInput();
  bool failed() const { return failed_; }

 private:
  Stop filterDescriptor(int descriptor, const std::string& name);
  Stop pass(std::span<char> block);
  void reportFile(const std::string& name, int error);
  void reportRefusal();

  MethodFilter& filter_;
  std::ostream& err_;
  std::vector<char> block_;
  bool failed_ = false;
  // The file that gave the last bytes read, where a refused line lies, and the lines ended
  // before it began.
  std::string lastName_ = std::string(standardInputName);
  std::uint64_t linesBeforeLast_ = 0;
};

Stop FilterRun::filterFile(const std::string& name) {
  if (name == standardInputName) {
    return filterDescriptor(standardInput, name);
  }
  const int descriptor = openForReading(name.c_str());
  if (descriptor < 0) {
    reportFile(name, errno);
    return Stop::no;
  }
  const Stop stop = filterDescriptor(descriptor, name);
  closeDescriptor(descriptor);
  return stop;
}

Stop FilterRun::filterDescriptor(int descriptor, const std::string& name) {
  if (readsOwnOutput(descriptor, standardOutput)) {
    err_ << "ciphers: " << name << ": input file is output file\n";
    failed_ = true;
    return Stop::no;
  }
  const std::uint64_t linesBefore = filter_.linesEnded();
  for (;;) {
    const std::ptrdiff_t count = readBlock(descriptor, block_);
    if (count < 0) {
      reportFile(name, errno);
      filter_.dropLine();  // the error is the line's fault, and has been told
      return Stop::no;
    }
    if (count == 0) {
      return Stop::no;
    }
    lastName_ = name;
    linesBeforeLast_ = linesBefore;
    const Stop stop = pass(std::span(block_).first(static_cast<std::size_t>(count)));
    if (stop != Stop::no) {
      return stop;
    }
  }
}

Stop FilterRun::pass(std::span<char> block) {
  const std::span<const char> output = filter_.transform(block);
  if (!output.empty() && !writeOutput(output, err_)) {
    failed_ = true;
    return Stop::unwritable;
  }
  if (filter_.refused()) {
    reportRefusal();
    return Stop::refused;
  }
  return filter_.hasEnough() ? Stop::enough : Stop::no;
}

Stop FilterRun::endInput() {
  filter_.endInput();
  if (filter_.refused()) {
    reportRefusal();
    return Stop::refused;
  }
  return Stop::no;
}

void FilterRun::reportFile(const std::string& name, int error) {
  err_ << "ciphers: " << name << ": " << std::strerror(error) << '\n';
  failed_ = true;
}

void FilterRun::reportRefusal() {
  const std::uint64_t line = filter_.linesEnded() - linesBeforeLast_ + 1;
  err_ << "ciphers: " << digitLineRefusal(lastName_, line) << '\n';
  failed_ = true;
}

}  // namespace

bool writeOutput(std::span<const char> output, std::ostream& err) {
  if (writeAll(standardOutput, output)) {
    return true;
  }
  const std::string failure = outputFailure(errno);
  if (!failure.empty()) {
    err << failure << '\n';
  }
  return false;
}

int runFilter(MethodFilter& filter, std::span<const std::string> files, std::ostream& err) {
  useBinaryMode(standardInput);
  useBinaryMode(standardOutput);
  // Pipes that take a block in one read, and its output in one write.
  enlargePipe(standardInput, filter.largestInput());
  enlargePipe(standardOutput, filter.largestOutput());
  FilterRun run(filter, err);
  const std::string standardInputOnly(standardInputName);
  const std::span<const std::string> names =
      files.empty() ? std::span<const std::string>(&standardInputOnly, 1) : files;
  for (const std::string& name : names) {
    const Stop stop = run.filterFile(name);
    if (stop == Stop::enough) {
      return run.failed() ? 1 : 0;
    }
    if (stop != Stop::no) {
      return 1;
    }
  }
  run.endInput();
  return run.failed() ? 1 : 0;
}
