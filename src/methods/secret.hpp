#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

// Overwrites bytes that held a secret, with stores that the compiler may not drop as dead.
inline void wipe(std::span<char> bytes) noexcept {
  volatile char* at = bytes.data();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    at[i] = 0;
  }
}

// Wipes every buffer it frees, so that a buffer that grows or goes leaves no copy behind.
template <class T>
struct WipingAllocator {
  using value_type = T;
  WipingAllocator() = default;
  template <class U>
  WipingAllocator(const WipingAllocator<U>& /*other*/) noexcept {}  // NOLINT: as allocators convert
  T* allocate(std::size_t count) { return std::allocator<T>().allocate(count); }
  void deallocate(T* buffer, std::size_t count) noexcept {
    wipe({reinterpret_cast<char*>(buffer), count * sizeof(T)});
    std::allocator<T>().deallocate(buffer, count);
  }
  friend bool operator==(const WipingAllocator& /*a*/, const WipingAllocator& /*b*/) {
    return true;
  }
};

// A key's bytes. A vector rather than a string: a short string keeps its bytes in the object
// itself, where no allocator sees them go.
using Secret = std::vector<char, WipingAllocator<char>>;
