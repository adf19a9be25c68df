#pragma once
// Why an operation of the core failed, for a front end to word: its kind, which decides the advice
// (only `tarvo` says "tarvo recover" or "--force"; the desktop names its own buttons), and the
// reason with the context each layer put in front of it: "Can not write sector 1234 of game.bin:
// No space left on device".

#include <string>
#include <utility>

namespace tarvo {

enum class FailureKind {
    None,
    NoSource,       // the path names no source: not there, or a CUE sheet naming no data track
    Busy,           // another program holds the source's lock
    LockFailed,     // no lock file could be made
    JournalLeft,    // an interrupted write's journal is there: it has to be undone first
    ChangedOnDisk,  // the source differs from what was loaded or last written
    Other,
};

class Failure {
public:
    Failure() = default;
    Failure(FailureKind kind, std::string reason) : m_kind(kind), m_text(std::move(reason)) {}

    explicit operator bool() const { return m_kind != FailureKind::None; }
    FailureKind kind() const { return m_kind; }
    // The reason with its context; empty when it was shown where it was met.
    const std::string& text() const { return m_text; }
    // Puts what the caller was doing in front of the reason: "<context>: <reason>".
    Failure& within(const std::string& context) {
        m_text = m_text.empty() ? context : context + ": " + m_text;
        return *this;
    }

private:
    FailureKind m_kind = FailureKind::None;
    std::string m_text;
};

}  // namespace tarvo
