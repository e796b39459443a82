#pragma once
// A value or an error, for functions whose failure the caller must look at.
// std::expected arrives only with C++23; this is the small part of it we need.

#include <cassert>
#include <utility>
#include <variant>

namespace hattsheet {

// The value of a step that gives nothing back but can fail.
struct Done {};

template <typename E>
struct Unexpected {
    E error;
};

template <typename E>
Unexpected<E> unexpected(E e) { return Unexpected<E>{std::move(e)}; }

template <typename T, typename E>
class [[nodiscard]] Expected {
public:
    Expected(T value) : m_v(std::in_place_index<0>, std::move(value)) {}
    Expected(Unexpected<E> u) : m_v(std::in_place_index<1>, std::move(u.error)) {}

    bool hasValue() const { return m_v.index() == 0; }
    explicit operator bool() const { return hasValue(); }

    const T& value() const { assert(hasValue()); return std::get<0>(m_v); }
    T& value() { assert(hasValue()); return std::get<0>(m_v); }
    const T& operator*() const { return value(); }
    T& operator*() { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }
    const E& error() const { assert(!hasValue()); return std::get<1>(m_v); }

private:
    std::variant<T, E> m_v;
};

} // namespace hattsheet
