#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace tesral {

/**
 * std::allocator, except that elements made without a value are left unwritten while the
 * calling thread is inside resizeUnfilled(). Elsewhere a vector(n) or resize(n) fills as
 * usual. For element types that any bytes make valid (plain values, trivially copied).
 */
template <class T>
struct UnfilledAllocator {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
    using value_type = T;

    UnfilledAllocator() = default;
    template <class U>
    UnfilledAllocator(const UnfilledAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) { return std::allocator<T>().allocate(n); }
    void deallocate(T* p, std::size_t n) noexcept { std::allocator<T>().deallocate(p, n); }

    template <class U>
    void construct(U* p) {
        if (!skipFill) ::new (static_cast<void*>(p)) U();
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <class U>
    bool operator==(const UnfilledAllocator<U>&) const noexcept {
        return true;
    }

    /** Set by resizeUnfilled() on its own thread only. */
    static inline thread_local bool skipFill = false;
};

/**
 * Resizes `v` to `n` elements without writing the new ones: their bytes are whatever the
 * memory held (fresh pages are not even touched), to be overwritten by the caller.
 */
template <class T>
void resizeUnfilled(std::vector<T, UnfilledAllocator<T>>& v, std::size_t n) {
    struct Skip {
        Skip() { UnfilledAllocator<T>::skipFill = true; }
        ~Skip() { UnfilledAllocator<T>::skipFill = false; }
    } skip;
    v.resize(n);
}

}  // namespace tesral
