#pragma once
// The one way the portable layers report a failure: a result that holds the value, or the failure's
// code and its words. The Windows shell turns a failure into a box in one place; the command prints
// its text. Nothing else carries a failure up (no error strings passed by reference, no -1, no
// GetLastError read calls later).
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

struct Failure
{
    int code = 0;             // the failing layer's own reason, where a caller acts on it; 0 otherwise
    uint32_t systemError = 0; // the Windows error code, taken right after the call that failed; 0 for none
    std::string text;         // what failed and why, for the user: one line, without the program's name
};

inline Failure Fail(std::string text, int code = 0, uint32_t systemError = 0)
{
    return Failure{code, systemError, std::move(text)};
}

template <typename T = void> class [[nodiscard]] CResult
{
public:
    CResult(T value) : m_value(std::move(value)) {}
    CResult(Failure failure) : m_failure(std::move(failure)) {}

    bool Ok() const { return m_value.has_value(); }
    explicit operator bool() const { return Ok(); }
    T& operator*() { return *m_value; }
    const T& operator*() const { return *m_value; }
    T* operator->() { return &*m_value; }
    const T* operator->() const { return &*m_value; }
    // Only of a failed result.
    const Failure& Error() const { return m_failure; }

private:
    std::optional<T> m_value;
    Failure m_failure;
};

template <> class [[nodiscard]] CResult<void>
{
public:
    CResult() = default;
    CResult(Failure failure) : m_failed(true), m_failure(std::move(failure)) {}

    bool Ok() const { return !m_failed; }
    explicit operator bool() const { return Ok(); }
    const Failure& Error() const { return m_failure; }

private:
    bool m_failed = false;
    Failure m_failure;
};
