#pragma once
// An owning pointer that copies its object: a command's optional sub-records
// belong to exactly one command, and every copy of the command makes its own.
#include <memory>
#include <utility>

// A default-constructed T to copy new elements from: copying skips the
// registration and clearing that construction does, which counts when a
// stage reads hundreds of thousands of records.
template <class T>
const T& DefaultOf() {
    static const T proto;
    return proto;
}

template <class T>
class cOwnedPtr {
public:
    cOwnedPtr() = default;
    cOwnedPtr(const cOwnedPtr& o) : m_p(o.m_p ? std::make_unique<T>(*o.m_p) : nullptr) {}
    cOwnedPtr(cOwnedPtr&& o) noexcept = default;
    cOwnedPtr& operator=(const cOwnedPtr& o) {
        if (this != &o) m_p = o.m_p ? std::make_unique<T>(*o.m_p) : nullptr;
        return *this;
    }
    cOwnedPtr& operator=(cOwnedPtr&& o) noexcept = default;

    T* get() const { return m_p.get(); }
    T* operator->() const { return m_p.get(); }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // Replaces the held object by a new default one and returns it.
    T& MakeNew() { m_p = std::make_unique<T>(DefaultOf<T>()); return *m_p; }
    void reset() { m_p.reset(); }

private:
    std::unique_ptr<T> m_p;
};
