#include "core/GamePaths.hpp"

#include <cstdlib>
#include <system_error>

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

// $XDG_DATA_HOME/dravolt, else $HOME/.local/share/dravolt. A relative XDG_DATA_HOME is
// invalid and ignored; without a usable HOME either the game keeps to the working folder.
fs::path userDataFolder(const GamePaths::Inputs& inputs) {
    const auto lookup = [&inputs](const std::string& name) {
        return inputs.environment ? inputs.environment(name) : std::nullopt;
    };
    const auto dataHome = lookup("XDG_DATA_HOME");
    if (dataHome && fs::path(*dataHome).is_absolute()) {
        return fs::path(*dataHome) / "dravolt";
    }
    const auto home = lookup("HOME");
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
    return inputs;
}

GamePaths::GamePaths() : GamePaths(systemInputs()) {}

GamePaths::GamePaths(Inputs given) : inputs(std::move(given)) {
    if (!inputs.executable.empty()) {
        installedData =
            (inputs.executable.parent_path() / "../share/games/dravolt").lexically_normal();
    }
    runsInstalled = !isFile(inputs.workingFolder / CHECKOUT_MARK);
    if (runsInstalled) {
        writeDir = userDataFolder(inputs);
    }
}

fs::path GamePaths::installedFile(const std::string& name) const {
    if (installedData.empty() || !isFile(installedData / name)) {
        return {};
    }
    return installedData / name;
}

fs::path GamePaths::dataFile(const std::string& name) const {
    if (isFile(inputs.workingFolder / name)) {
        return name;
    }
    const fs::path installedCopy = installedFile(name);
    return installedCopy.empty() ? fs::path(name) : installedCopy;
}

fs::path GamePaths::cascadeFile() const {
    const fs::path found = dataFile(CASCADE);
    if (found != CASCADE || isFile(inputs.workingFolder / CASCADE)) {
        return found;
    }
    const fs::path systemCopy = inputs.systemCascadeFolder / fs::path(CASCADE).filename();
    return isFile(systemCopy) ? systemCopy : found;
}

fs::path GamePaths::writeFile(const std::string& name) const {
    return writeDir / name;
}

bool GamePaths::makeWriteFolder(std::string& failure) const {
    if (writeDir.empty()) {
        return true;
    }
    std::error_code error;
    fs::create_directories(writeDir, error);
    if (error) {
        failure = "can't create the folder '" + writeDir.string() + "': " + error.message();
        return false;
    }
    return true;
}

std::string GamePaths::displayName(const fs::path& file) const {
    if (file.is_relative()) {
        return file.string();
    }
    const fs::path inside = file.lexically_relative(inputs.workingFolder);
    if (!inside.empty() && *inside.begin() != "..") {
        return inside.string();
    }
    return file.string();
}
