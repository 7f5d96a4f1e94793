#pragma once

#include "platform/windows/SystemHeaders.h"

#include <utility>

namespace quorvel::win {

// Owns one handle of the system and closes it when it goes. Copying is forbidden;
// moving hands the handle on. `Traits` says which value means "none" and how to close.
template <class Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::none())) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.handle_, Traits::none()));
        }
        return *this;
    }
    ~ScopedHandle() { reset(); }

    [[nodiscard]] Handle get() const { return handle_; }
    [[nodiscard]] bool valid() const { return handle_ != Traits::none(); }
    // The address to hand to a call that writes a new handle; the old one is closed first.
    Handle* receive() {
        reset();
        return &handle_;
    }
    void reset(Handle handle = Traits::none()) {
        if (handle_ != Traits::none()) {
            Traits::close(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::none();
};

struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle none() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle none() { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) { ::FindClose(h); }
};

struct ModuleHandleTraits {
    using Handle = HMODULE;
    static Handle none() { return nullptr; }
    static void close(Handle h) { ::FreeLibrary(h); }
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle none() { return nullptr; }
    static void close(Handle h) { ::RegCloseKey(h); }
};

using FileHandle = ScopedHandle<FileHandleTraits>;
using FindHandle = ScopedHandle<FindHandleTraits>;
using ModuleHandle = ScopedHandle<ModuleHandleTraits>;
using RegistryKey = ScopedHandle<RegistryKeyTraits>;

}  // namespace quorvel::win
