#include "files/Refusal.hpp"

#include <cerrno>
#include <cstring>
#include <utility>

Refusal::Refusal(std::string why) : m_why(std::move(why)) {}

Refusal Refusal::systemError(const std::string& what) {
    return Refusal(what + ": " + std::strerror(errno));
}

Refusal Refusal::systemError() {
    return Refusal(std::strerror(errno));
}
