#pragma once

#include <utility>

namespace qv {

// One move-only owner for every kind of handle; each owner type is a one-line alias naming the
// function that releases it. A handle equal to Invalid is never released.
template <typename Handle, auto Close, Handle Invalid = Handle{}> class Unique {
public:
    Unique() = default;
    explicit Unique(Handle handle) : handle_(handle) {}
    Unique(Unique&& other) noexcept : handle_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        reset(other.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid; }

    void reset(Handle handle = Invalid) {
        Handle old = std::exchange(handle_, handle);
        if (old != Invalid) {
            Close(old);
        }
    }
    [[nodiscard]] Handle release() { return std::exchange(handle_, Invalid); }

    // For APIs that hand a new handle back through an out-parameter.
    Handle* put() {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Invalid;
};

} // namespace qv
