#pragma once
// Intrusive reference counting, for the engine's objects and the character
// library's records. An object starts with one reference, owned by whoever
// made it; `destroy` runs when the last reference goes. `Ref` holds one
// reference.

#include <cassert>
#include <cstdint>
#include <utility>

namespace tryster::base {

class RefCounted {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    void addRef() { ++refs_; }
    void release() {
        assert(refs_ > 0);
        if (--refs_ == 0) destroy();
    }
    std::int32_t refCount() const { return refs_; }

protected:
    virtual ~RefCounted() = default;
    virtual void destroy() { delete this; }

private:
    std::int32_t refs_ = 1;
};

template <typename T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    // Takes over the creator's reference.
    static Ref adopt(T* object) {
        Ref r;
        r.p_ = object;
        return r;
    }
    // Adds a reference of its own.
    static Ref retain(T* object) {
        if (object) object->addRef();
        return adopt(object);
    }
    Ref(const Ref& o) : p_(o.p_) {
        if (p_) p_->addRef();
    }
    template <typename U>
    Ref(const Ref<U>& o) : p_(o.get()) {
        if (p_) p_->addRef();
    }
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Ref& operator=(Ref o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~Ref() { reset(); }

    void reset() {
        if (T* p = std::exchange(p_, nullptr)) p->release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    friend bool operator==(const Ref& a, const Ref& b) { return a.p_ == b.p_; }

private:
    T* p_ = nullptr;
};

}  // namespace tryster::base
