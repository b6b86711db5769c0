#include "gfx/Fingerprint.hpp"

Fingerprint& Fingerprint::add(const std::string& text) {
    add(text.size());
    bytes += text;
    return *this;
}

void Fingerprint::clear() {
    bytes.clear();
}

bool Fingerprint::operator==(const Fingerprint& other) const {
    return bytes == other.bytes;
}
