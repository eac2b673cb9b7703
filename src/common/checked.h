#pragma once
// How a plain function that can fail says so, in every layer: a value or the
// refusal saying why there is none, a code a program branches on with the
// details of its Italian sentence (Checked<T>), or, for an action with no
// value, nothing when it was done or the Italian message (Failure). Callers
// keep their own state until they hold a value, so a refusal changes nothing.
#include "common/refusal.h"

#include <optional>
#include <string>
#include <utility>

namespace calvero {

template <typename T>
struct Checked {
    std::optional<T> value;
    Refusal refusal; // why there is no value

    // The Italian sentence of the refusal.
    std::string failure() const { return refusalText(refusal); }

    explicit operator bool() const { return value.has_value(); }
    const T& operator*() const { return *value; }
    T& operator*() { return *value; }
    const T* operator->() const { return &*value; }
    T* operator->() { return &*value; }
};

template <typename T>
Checked<T> succeeded(T value)
{
    return Checked<T>{std::move(value), {}};
}

template <typename T>
Checked<T> failed(Refusal refusal)
{
    return Checked<T>{std::nullopt, std::move(refusal)};
}

// A refusal whose sentence was made where it happened.
template <typename T>
Checked<T> failed(std::string message)
{
    return Checked<T>{std::nullopt, refusalOf(std::move(message))};
}

// An action that may fail: nothing when it was done, else the Italian message.
using Failure = std::optional<std::string>;

} // namespace calvero
