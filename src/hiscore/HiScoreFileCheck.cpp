#include "hiscore/HiScoreFileCheck.hpp"

#include <climits>
#include <string_view>
#include <vector>

namespace {

// The library's own opening, byte for byte.
constexpr std::string_view declaration = "<?xml version=\"1.0\"?>";
constexpr std::string_view rootName = "opencv_storage";

// The levels of the table: the root, the table, its items, the keys of an item ("player"
// among them) and the keys of those (the entry's values among them).
constexpr std::size_t itemLevel = 3;
constexpr std::size_t valueLevel = 5;

// A key the reader takes as a plain map key: "_" would make it a sequence item instead.
bool isKeyName(std::string_view name) {
    constexpr std::string_view keyChars =
        "_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::size_t firstDigit = keyChars.find('0');
    return !name.empty() && name != "_" && keyChars.find(name.front()) < firstDigit &&
           name.find_first_not_of(keyChars) == std::string_view::npos;
}

// The root and the table stand where the game writes them; below an item any key may stand
// (the reader ignores keys it does not use), so an item or a "player" of another shape is
// skipped with its message instead of costing the whole file.
bool allowedAt(std::string_view name, std::size_t level) {
    switch (level) {
    case 1:
        return name == rootName;
    case 2:
        return name == "hiscore";
    case itemLevel:
        return name == "_";
    default:
        return level <= valueLevel && isKeyName(name);
    }
}

bool isNumberKey(std::string_view name) {
    return name == "score" || name == "length" || name == "hits";
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// The value text of "score", "length" or "hits" as the reader should see it.
std::string normalisedNumber(std::string_view text) {
    const std::string_view value = trimmed(text);
    if (value.empty())
        return std::string(text); // an empty value reads as absent; keep it so
    std::size_t i = 0;
    const bool negative = value[0] == '-';
    if (value[0] == '-' || value[0] == '+')
        i = 1;
    if (i == value.size())
        return "0";
    long long magnitude = 0;
    const long long cap = static_cast<long long>(INT_MAX) + 1;
    for (; i < value.size(); ++i) {
        if (value[i] < '0' || value[i] > '9')
            return "0";
        if (magnitude < cap)
            magnitude = magnitude * 10 + (value[i] - '0');
    }
    if (magnitude > cap)
        magnitude = cap;
    long long number = negative ? -magnitude : magnitude;
    if (number > INT_MAX)
        number = INT_MAX;
    return std::to_string(number);
}

} // namespace

HiScoreFileCheck::HiScoreFileCheck(const std::string& bytes) {
    check(bytes);
    if (!ok())
        text.clear();
}

void HiScoreFileCheck::refuse(const std::string& why, std::size_t at) {
    reason = why + " at byte " + std::to_string(at);
}

void HiScoreFileCheck::check(const std::string& bytes) {
    if (bytes.empty()) {
        reason = "the file is empty";
        return;
    }
    if (bytes.size() > maxFileSize) {
        reason = "larger than " + std::to_string(maxFileSize) + " bytes";
        return;
    }
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string::npos)
        return refuse("a NUL byte", nul);
    const std::string_view all(bytes);
    if (all.substr(0, declaration.size()) != declaration) {
        reason = "it does not begin with <?xml version=\"1.0\"?>";
        return;
    }
    std::size_t pos = declaration.size();
    while (pos < all.size() && isSpace(all[pos]))
        ++pos;
    if (all.substr(pos, rootName.size() + 2) != "<" + std::string(rootName) + ">") {
        reason = "<opencv_storage> does not follow the declaration";
        return;
    }

    // The elements enclosing pos, outermost first. An element below the table holds either
    // text or elements, never both.
    struct Element {
        std::string_view name;
        bool hasText = false;
        bool hasElements = false;
    };
    std::vector<Element> open;
    bool rootClosed = false;
    int tables = 0;             // the library would read only the first
    std::size_t valueStart = 0; // where the text of the innermost element begins
    std::size_t copied = 0;     // bytes of the input already in text
    while (pos < all.size()) {
        const char c = all[pos];
        if (c != '<') {
            if (!isSpace(c)) {
                if (rootClosed)
                    return refuse("content after the document", pos);
                if (open.size() < itemLevel)
                    return refuse("text outside a value", pos);
                if (open.back().hasElements)
                    return refuse("text next to elements", pos);
                open.back().hasText = true;
            }
            ++pos;
            continue;
        }
        if (rootClosed)
            return refuse("content after the document", pos);
        const bool closing = pos + 1 < all.size() && all[pos + 1] == '/';
        const std::size_t nameStart = pos + (closing ? 2 : 1);
        const std::size_t end = all.find('>', nameStart);
        if (end == std::string_view::npos)
            return refuse("the file ends inside a tag", pos);
        const std::string_view name = all.substr(nameStart, end - nameStart);
        if (closing) {
            if (open.empty() || name != open.back().name)
                return refuse("a closing tag that matches no open element", pos);
            // The entry's numbers; the same keys elsewhere are not read.
            if (open.size() == valueLevel && open[valueLevel - 2].name == "player" &&
                isNumberKey(name)) {
                text.append(all.substr(copied, valueStart - copied));
                text += normalisedNumber(all.substr(valueStart, pos - valueStart));
                copied = pos;
            }
            open.pop_back();
            rootClosed = open.empty();
        } else {
            if (open.size() >= valueLevel)
                return refuse("elements nested deeper than the table's", pos);
            if (!allowedAt(name, open.size() + 1)) {
                const bool plainName = isKeyName(name) || name == "_";
                return refuse(plainName ? "an element out of place" : "a tag with more than a name",
                              pos);
            }
            if (!open.empty() && open.back().hasText)
                return refuse("an element next to text", pos);
            if (open.size() == 1 && tables++ > 0)
                return refuse("a second table", pos);
            if (!open.empty())
                open.back().hasElements = true;
            open.push_back({name});
            valueStart = end + 1;
        }
        pos = end + 1;
    }
    if (!rootClosed)
        return refuse("the file ends before its elements are closed", pos);
    text.append(all.substr(copied));
}
