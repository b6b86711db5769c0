#pragma once
// A value, or the refusal that stands in its place: what a careful file operation returns
// when it makes something (an open folder, a held lock). Test it with ok() before taking the
// value; taking the value of a refusal, or the refusal of a value, is a programming error.

#include "files/Refusal.hpp"

#include <cassert>
#include <utility>
#include <variant>

template <typename T> class OrRefusal {
public:
    OrRefusal(T value) : m_held(std::move(value)) {}
    OrRefusal(Refusal refusal) : m_held(std::move(refusal)) {}

    bool ok() const { return m_held.index() == 0; }
    T& value() {
        assert(ok());
        return std::get<0>(m_held);
    }
    const T& value() const {
        assert(ok());
        return std::get<0>(m_held);
    }
    const Refusal& refusal() const {
        assert(!ok());
        return std::get<1>(m_held);
    }

private:
    std::variant<T, Refusal> m_held;
};
