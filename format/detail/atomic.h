// Atomic loads and stores on plain fields. Internal to the library.
//
// The compiler's own built-ins rather than <atomic>: the shipped command is
// compiled with no C++ library headers at all (the musl build), and these
// need none. Every compiler we build with (GCC, Clang, MinGW-w64's GCC) has
// them, and ThreadSanitizer understands them.
#pragma once

namespace bracket {

template <typename T>
inline T load_acquire(const T* field) {
    return __atomic_load_n(field, __ATOMIC_ACQUIRE);
}

template <typename T>
inline T load_relaxed(const T* field) {
    return __atomic_load_n(field, __ATOMIC_RELAXED);
}

template <typename T>
inline void store_release(T* field, T value) {
    __atomic_store_n(field, value, __ATOMIC_RELEASE);
}

template <typename T>
inline void store_relaxed(T* field, T value) {
    __atomic_store_n(field, value, __ATOMIC_RELAXED);
}

}  // namespace bracket
