#include "hiscore/HiScoreXml.hpp"

#include <algorithm>
#include <cctype>
#include <climits>
#include <exception>
#include <opencv2/core.hpp>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// The library's own opening, byte for byte, which is what the reader is given.
constexpr std::string_view declaration = "<?xml version=\"1.0\"?>";
constexpr std::string_view rootName = "opencv_storage";
constexpr std::string_view commentOpen = "<!--";
constexpr std::string_view commentClose = "-->";
constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

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

bool startsWith(std::string_view text, std::size_t pos, std::string_view part) {
    return text.substr(pos, part.size()) == part;
}

// The length of an XML declaration of version 1.0 at the start of the text, with or without
// encoding="UTF-8", with or without space before "?>"; 0 when there is none such.
std::size_t declarationLength(std::string_view text) {
    std::size_t pos = 0;
    const auto take = [&](std::string_view part, bool ignoreCase = false) {
        const std::string_view found = text.substr(pos, part.size());
        const bool same = ignoreCase
                              ? std::equal(found.begin(), found.end(), part.begin(), part.end(),
                                           [](unsigned char a, unsigned char b) {
                                               return std::tolower(a) == std::tolower(b);
                                           })
                              : found == part;
        pos += same ? part.size() : 0;
        return same;
    };
    const auto spaces = [&] {
        const std::size_t start = pos;
        while (pos < text.size() && isSpace(text[pos]))
            ++pos;
        return pos > start;
    };
    if (!take("<?xml") || !spaces() || !take("version=\"1.0\""))
        return 0;
    bool spaced = spaces();
    if (spaced && take("encoding=\"")) {
        if (!take("UTF-8", true) || !take("\""))
            return 0;
        spaced = spaces();
    }
    // Some editors declare a document that needs no other as such.
    if (spaced && take("standalone=\"")) {
        if (!take("yes\"") && !take("no\""))
            return 0;
        spaces();
    }
    return take("?>") ? pos : 0;
}

// The check of a file's bytes; see HiScoreXml. It works on the document without comments
// and keeps where each piece came from, so a refusal names the byte of the file.
class Checker {
public:
    explicit Checker(const std::string& bytes) : m_all(bytes) {
        if (prepare())
            check();
    }

    OrRefusal<std::string> result() const {
        if (m_refusal)
            return *m_refusal;
        return m_text;
    }

private:
    // Moves the document without the declaration and comments into `plain`; false when
    // refused.
    bool prepare();
    void check();
    void refuse(const std::string& why, std::size_t at);
    // Where a position of `plain` stood in the file.
    std::size_t inFile(std::size_t at) const;

    std::string_view m_all;
    std::string m_plain;
    // Where pieces of m_plain begin, and where each stood in the file, in order.
    std::vector<std::pair<std::size_t, std::size_t>> m_origins;
    std::optional<Refusal> m_refusal;
    std::string m_text; // the document as the reader is to see it, once checked
};

bool Checker::prepare() {
    if (m_all.empty()) {
        m_refusal = Refusal("the file is empty");
        return false;
    }
    if (m_all.size() > HiScoreXml::maxFileSize) {
        m_refusal = Refusal("larger than " + std::to_string(HiScoreXml::maxFileSize) + " bytes");
        return false;
    }
    const std::size_t nul = m_all.find('\0');
    if (nul != std::string_view::npos) {
        m_refusal = Refusal("a NUL byte at byte " + std::to_string(nul));
        return false;
    }
    // Some editors begin a UTF-8 file with a byte-order mark.
    const std::size_t start = startsWith(m_all, 0, byteOrderMark) ? byteOrderMark.size() : 0;
    std::size_t pos = declarationLength(m_all.substr(start));
    if (pos != 0)
        pos += start;
    if (pos == 0) {
        m_refusal = Refusal("it does not begin with <?xml version=\"1.0\"?>");
        return false;
    }
    m_origins.emplace_back(0, pos);
    bool inTag = false; // a comment opens only where a tag could
    while (pos < m_all.size()) {
        if (!inTag && startsWith(m_all, pos, commentOpen)) {
            const std::size_t end = m_all.find(commentClose, pos + commentOpen.size());
            if (end == std::string_view::npos) {
                m_refusal =
                    Refusal("a comment that is never closed at byte " + std::to_string(pos));
                return false;
            }
            pos = end + commentClose.size();
            m_origins.emplace_back(m_plain.size(), pos);
            continue;
        }
        inTag = m_all[pos] == '<' || (inTag && m_all[pos] != '>');
        m_plain += m_all[pos++];
    }
    return true;
}

std::size_t Checker::inFile(std::size_t at) const {
    auto piece = std::upper_bound(m_origins.begin(), m_origins.end(), std::make_pair(at, SIZE_MAX));
    --piece; // the first piece begins at 0
    return piece->second + (at - piece->first);
}

void Checker::refuse(const std::string& why, std::size_t at) {
    m_refusal = Refusal(why + " at byte " + std::to_string(inFile(at)));
}

void Checker::check() {
    const std::string_view text(m_plain);
    std::size_t pos = 0;
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    if (!startsWith(text, pos, "<" + std::string(rootName) + ">")) {
        m_refusal = Refusal("<opencv_storage> does not follow the declaration");
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
    std::string out(declaration);
    std::size_t copied = 0; // bytes of text already in out
    while (pos < text.size()) {
        const char c = text[pos];
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
        const bool closing = pos + 1 < text.size() && text[pos + 1] == '/';
        const std::size_t nameStart = pos + (closing ? 2 : 1);
        const std::size_t end = text.find('>', nameStart);
        if (end == std::string_view::npos)
            return refuse("the file ends inside a tag", pos);
        const std::string_view name = text.substr(nameStart, end - nameStart);
        if (closing) {
            if (open.empty() || name != open.back().name)
                return refuse("a closing tag that matches no open element", pos);
            // The entry's numbers; the same keys elsewhere are not read.
            if (open.size() == valueLevel && open[valueLevel - 2].name == "player" &&
                isNumberKey(name)) {
                out.append(text.substr(copied, valueStart - copied));
                out += normalisedNumber(text.substr(valueStart, pos - valueStart));
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
    out.append(text.substr(copied));
    m_text = std::move(out);
}

// The library's messages run over several lines; the console report keeps to one.
std::string oneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

// The library's parse errors carry the line and the problem where other errors name the
// function, and the function's name where the description would be.
std::string libraryError(const cv::Exception& e) {
    if (e.code == cv::Error::StsParseError)
        return oneLine(e.func);
    return oneLine(e.func.empty() ? e.err : e.err + " in " + e.func);
}

bool isKeyOf(const std::string& key, const cv::FileNode& map) {
    if (!map.isMap())
        return false;
    const std::vector<std::string> keys = map.keys();
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// True when the library's reader gives back exactly the entries written, in order: a save
// never replaces a good file by one that loses or changes records.
bool readsBack(const std::string& text, const std::list<HiScoreEntry>& entries) try {
    cv::FileStorage storage(text, cv::FileStorage::READ | cv::FileStorage::MEMORY);
    const cv::FileNode table = storage["hiscore"];
    if (entries.empty())
        return table.isNone();
    if (!table.isSeq() || table.size() != entries.size())
        return false;
    auto written = entries.begin();
    std::ostream quiet(nullptr);
    for (cv::FileNodeIterator item = table.begin(); item != table.end(); ++item, ++written) {
        HiScoreEntry entry;
        if (!(*item).isMap() || !entry.read((*item)["player"], quiet) ||
            entry.name != HiScoreEntry::boundName(written->name) || entry.score != written->score ||
            entry.length != written->length || entry.hits != written->hits)
            return false;
    }
    return true;
} catch (const std::exception&) {
    return false;
}

} // namespace

OrRefusal<std::string> HiScoreXml::check(const std::string& bytes) {
    return Checker(bytes).result();
}

HiScoreXml::Found HiScoreXml::read(const std::string& bytes, HiScore& table, std::ostream& console,
                                   std::string& reason) {
    table.clear();
    const OrRefusal<std::string> checked = check(bytes);
    if (!checked.ok()) {
        reason = checked.refusal().why();
        return Found::Damaged;
    }
    try {
        cv::FileStorage storage(checked.value(), cv::FileStorage::READ | cv::FileStorage::MEMORY);
        const cv::FileNode node = storage["hiscore"];
        if (node.isNone() && isKeyOf("hiscore", storage.root()))
            return Found::Table; // the library writes an empty table as an empty element
        if (!node.isSeq())
            return Found::NoTable;
        for (cv::FileNodeIterator item = node.begin(); item != node.end(); ++item) {
            // An item that is not a map has no "player"; the library would throw on the lookup.
            const cv::FileNode player = (*item).isMap() ? (*item)["player"] : cv::FileNode();
            if (player.isNone())
                continue;
            HiScoreEntry entry;
            if (entry.read(player, console))
                table.insertFromFile(entry);
        }
        return Found::Table;
    } catch (const cv::Exception& e) {
        reason = "the library can't read it: " + libraryError(e);
    } catch (const std::exception& e) {
        reason = "the library can't read it: " + oneLine(e.what());
    }
    table.clear();
    return Found::Damaged;
}

OrRefusal<std::string> HiScoreXml::write(const HiScore& table) {
    try {
        cv::FileStorage storage(".xml", cv::FileStorage::WRITE | cv::FileStorage::MEMORY);
        storage << "hiscore"
                << "[";
        for (const HiScoreEntry& entry : table.entries()) {
            storage << "{";
            entry.write(storage);
            storage << "}";
        }
        storage << "]";
        std::string text = storage.releaseAndGetString();
        const OrRefusal<std::string> checked = check(text);
        if (!checked.ok())
            return Refusal("the table would not load again (" + checked.refusal().why() + ")");
        if (!readsBack(text, table.entries()))
            return Refusal("the table would not read back the same");
        return text;
    } catch (const cv::Exception& e) {
        return Refusal("the library refused the table: " + libraryError(e));
    } catch (const std::exception& e) {
        return Refusal("the library refused the table: " + oneLine(e.what()));
    }
}
