#pragma once
// Intrusive reference counting for views and bitmaps. An object starts with no reference and
// lives while at least one Ref holds it; the last Ref to go deletes it. Counts are plain
// integers: views and bitmaps belong to the one thread that opened the editor.

#include <utility>

namespace vorlatek::toolkit {

class ReferenceCounted {
public:
    ReferenceCounted(const ReferenceCounted&) = delete;
    ReferenceCounted& operator=(const ReferenceCounted&) = delete;

    void remember() { ++references_; }
    void forget() {
        if (--references_ == 0) delete this;
    }
    int referenceCount() const { return references_; }

protected:
    ReferenceCounted() = default;
    virtual ~ReferenceCounted() = default;

private:
    int references_ = 0;
};

template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    Ref(T* object) : object_(object) {
        if (object_) object_->remember();
    }
    Ref(const Ref& other) : Ref(other.object_) {}
    Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    template <class U>
    Ref(const Ref<U>& other) : Ref(other.get()) {}
    ~Ref() { reset(); }

    Ref& operator=(Ref other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }

    void reset() {
        if (T* old = std::exchange(object_, nullptr)) old->forget();
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }
    friend bool operator==(const Ref& a, const Ref& b) { return a.object_ == b.object_; }

private:
    T* object_ = nullptr;
};

template <class T, class... Args>
Ref<T> make(Args&&... args) {
    return Ref<T>(new T(std::forward<Args>(args)...));
}

}  // namespace vorlatek::toolkit
