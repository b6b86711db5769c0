#pragma once
// Why the game did not do what it set out to do with a file, as a short phrase that the
// player is shown ("the file is read-only"). A value of its own type, so that a failure can
// never be mistaken for a piece of text, nor an empty text for success.

#include <string>

class Refusal {
public:
    explicit Refusal(std::string why);
    virtual ~Refusal() = default;

    // "what: " and the system's description of the current errno.
    static Refusal systemError(const std::string& what);
    // The description of the current errno alone ("Permission denied").
    static Refusal systemError();

    const std::string& why() const { return m_why; }
    bool operator==(const Refusal& other) const { return m_why == other.m_why; }

private:
    std::string m_why;
};
