#pragma once
// The buffers of the game's three blocks (3 MB, read at once when a source loads): memory taken in
// large pages where the system has them (see platform::allocateLarge), and bytes a resize adds left
// as they are rather than zeroed, since they are read into at once. So a buffer is only ever made
// by copying bytes into it, or resized right before a read that fills it (whose failure leaves it
// unused).

#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "store/file_platform.h"

namespace tarvo {

template <typename T>
struct LargeBufferAllocator {
    using value_type = T;
    LargeBufferAllocator() = default;
    template <typename U>
    LargeBufferAllocator(const LargeBufferAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return static_cast<T*>(platform::allocateLarge(n * sizeof(T))); }
    void deallocate(T* memory, std::size_t n) noexcept { platform::freeLarge(memory, n * sizeof(T)); }
    // Default-initialised: for bytes, nothing written.
    template <typename U>
    void construct(U* at) noexcept {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
    template <typename U>
    bool operator==(const LargeBufferAllocator<U>&) const noexcept {
        return true;
    }
};

using BlockBytes = std::vector<std::uint8_t, LargeBufferAllocator<std::uint8_t>>;

}  // namespace tarvo
