#include "descriptor_buffers.hpp"

#include <cerrno>
#include <system_error>

#include "descriptor_io.hpp"

namespace {

constexpr std::size_t inputBlockSize = std::size_t{64} * 1024;
constexpr std::size_t initialOutputSize = std::size_t{8} * 1024;

}  // namespace

DescriptorInput::DescriptorInput(int descriptor)
    : descriptor_(descriptor), buffer_(inputBlockSize) {}

DescriptorInput::int_type DescriptorInput::underflow() {
  const std::ptrdiff_t count = readBlock(descriptor_, buffer_);
  if (count < 0) {
    throw std::system_error(errno, std::generic_category(), "read");
  }
  if (count == 0) {
    return traits_type::eof();
  }
  setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
  return traits_type::to_int_type(*gptr());
}

DescriptorOutput::DescriptorOutput(int descriptor)
    : descriptor_(descriptor), buffer_(initialOutputSize) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

// A full buffer grows instead of being written: only a flush writes.
DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) {
    return traits_type::not_eof(c);
  }
  const auto used = pptr() - pbase();
  buffer_.resize(buffer_.size() * 2);
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  pbump(static_cast<int>(used));
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int DescriptorOutput::sync() {
  const auto size = static_cast<std::size_t>(pptr() - pbase());
  if (!writeAll(descriptor_, {pbase(), size})) {
    return -1;  // errno tells the caller why
  }
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return 0;
}
