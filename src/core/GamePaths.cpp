#include "core/GamePaths.hpp"

#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {
const char* const CASCADE = "classifier/haarcascade_eye.xml";
const char* const CHECKOUT_MARK = "graphics/car.png";

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

std::optional<std::string> variable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value ? std::optional<std::string>(value) : std::nullopt;
}

std::optional<std::string> accountHome() {
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir) {
        return std::nullopt;
    }
    return std::string(found->pw_dir);
}

// $XDG_DATA_HOME/dravolt, else HOME/.local/share/dravolt, HOME from the environment or else
// from the password database. A relative XDG_DATA_HOME or HOME is invalid and ignored; empty
// when no home folder is known.
fs::path userDataFolder(const GamePaths::Inputs& inputs) {
    const auto lookup = [&inputs](const std::string& name) {
        return inputs.environment ? inputs.environment(name) : std::nullopt;
    };
    const auto dataHome = lookup("XDG_DATA_HOME");
    if (dataHome && fs::path(*dataHome).is_absolute()) {
        return fs::path(*dataHome) / "dravolt";
    }
    auto home = lookup("HOME");
    if (!home || !fs::path(*home).is_absolute()) {
        home = inputs.accountHome ? inputs.accountHome() : std::nullopt;
    }
    if (home && fs::path(*home).is_absolute()) {
        return fs::path(*home) / ".local/share/dravolt";
    }
    return {};
}
} // namespace

GamePaths::Inputs GamePaths::systemInputs() {
    Inputs inputs;
    std::error_code error;
    inputs.workingFolder = fs::current_path(error);
    inputs.executable = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        inputs.executable.clear();
    }
    inputs.environment = variable;
    inputs.systemCascadeFolder = "/usr/share/opencv4/haarcascades";
    inputs.accountHome = accountHome;
    return inputs;
}

GamePaths::GamePaths() : GamePaths(systemInputs()) {}

GamePaths::GamePaths(Inputs given) : m_inputs(std::move(given)) {
    if (!m_inputs.executable.empty()) {
        m_installedData =
            (m_inputs.executable.parent_path() / "../share/games/dravolt").lexically_normal();
    }
    m_installed = !isFile(m_inputs.workingFolder / CHECKOUT_MARK);
    if (m_installed) {
        m_writeFolder = userDataFolder(m_inputs);
        m_writesNowhere = m_writeFolder.empty();
    }
}

fs::path GamePaths::installedFile(const std::string& name) const {
    if (m_installedData.empty() || !isFile(m_installedData / name)) {
        return {};
    }
    return m_installedData / name;
}

fs::path GamePaths::dataFile(const std::string& name) const {
    if (isFile(m_inputs.workingFolder / name)) {
        return name;
    }
    const fs::path installedCopy = installedFile(name);
    return installedCopy.empty() ? fs::path(name) : installedCopy;
}

fs::path GamePaths::cascadeFile() const {
    const fs::path found = dataFile(CASCADE);
    if (found != CASCADE || isFile(m_inputs.workingFolder / CASCADE)) {
        return found;
    }
    const fs::path systemCopy = m_inputs.systemCascadeFolder / fs::path(CASCADE).filename();
    return isFile(systemCopy) ? systemCopy : found;
}

fs::path GamePaths::writeFile(const std::string& name) const {
    return m_writesNowhere ? fs::path() : m_writeFolder / name;
}

std::string GamePaths::displayName(const fs::path& file) const {
    if (file.is_relative()) {
        return file.string();
    }
    const fs::path inside = file.lexically_relative(m_inputs.workingFolder);
    if (!inside.empty() && *inside.begin() != "..") {
        return inside.string();
    }
    return file.string();
}
