#pragma once
// What a picture is drawn from, as a few bytes: the values that decide it, written one after
// another in a fixed order. Two pictures drawn from equal fingerprints have equal pixels, so
// the frame loop can skip drawing a frame whose fingerprint equals the last one's; building
// and comparing it costs microseconds where drawing costs a millisecond.

#include <string>
#include <type_traits>

class Fingerprint {
public:
    // Numbers and enumerations by their bytes; a text by its length and its bytes, so that
    // "ab" then "c" differs from "a" then "bc".
    template <typename T> Fingerprint& add(T value) {
        static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T>, "a plain value");
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
        return *this;
    }
    Fingerprint& add(const std::string& text);

    // Empty again, keeping the memory for the next frame's values.
    void clear();
    bool operator==(const Fingerprint& other) const;

private:
    std::string bytes;
};
