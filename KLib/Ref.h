#pragma once

#include <utility>

namespace KLib {

// Owning handle of an Object descendant: copying retains, destruction and reassignment release.
// A freshly created object has count 0 and is owned by the first Ref that takes it.
template <class T> class Ref {
public:
    Ref() = default;
    Ref(T* object) : object_(object) { retainTarget(); }
    Ref(const Ref& other) : object_(other.object_) { retainTarget(); }
    Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    template <class U> Ref(const Ref<U>& other) : object_(other.get()) { retainTarget(); }
    ~Ref() { releaseTarget(); }

    Ref& operator=(const Ref& other) {
        Ref copy(other);
        swap(copy);
        return *this;
    }
    Ref& operator=(Ref&& other) noexcept {
        Ref moved(std::move(other));
        swap(moved);
        return *this;
    }

    void reset() { Ref().swap(*this); }
    void swap(Ref& other) noexcept { std::swap(object_, other.object_); }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    void retainTarget() {
        if (object_)
            object_->retain();
    }
    void releaseTarget() {
        if (object_)
            object_->release();
    }

    T* object_ = nullptr;
};

} // namespace KLib
