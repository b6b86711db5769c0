#pragma once
// Checks the bytes of a high-score file before the library's reader sees them. That reader
// crashes, aborts or loops forever on some damaged files (a file cut short by a crash during
// a save is one of them), so only documents shaped like the game's own file get through:
// at most 64 KiB, no NUL byte, the exact opening the library writes, the table's root and
// sequence, then items holding plain keys at most two levels deep (text or elements, not
// both), without attributes, properly closed. The check also rewrites
// the numbers so the reader cannot misread them: a plain integer comes out in decimal,
// clamped to 32 bits (the reader would wrap it, and would take "010" for octal), and any
// other text in "score", "length" or "hits" becomes 0.

#include <cstddef>
#include <string>

class HiScoreFileCheck {
public:
    // Far above any real table (eight entries take about 1 KiB, a few KiB with the longest
    // names), far below what could exhaust anything.
    static constexpr std::size_t maxFileSize = 64 * 1024;

    explicit HiScoreFileCheck(const std::string& bytes);
    virtual ~HiScoreFileCheck() = default;

    bool ok() const { return reason.empty(); }

    // Why the bytes were refused, as a short phrase; empty when they passed.
    std::string reason;
    // The checked bytes with their numbers rewritten, for the reader; empty when refused.
    std::string text;

private:
    void check(const std::string& bytes);
    void refuse(const std::string& why, std::size_t at);
};
