#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// Decides where the game reads its data and where it writes its files.
//
// Data (the textures below graphics/ and the eye cascade) is looked up first in the working
// folder, as in a built checkout, then in the installed data folder next to the executable
// (<prefix>/games/dravolt reads <prefix>/share/games/dravolt, so a moved tree still works);
// the cascade last in the folder of Debian's opencv-data.
//
// When the working folder holds the game's textures, everything written (hiscore.xml with
// its companions, the detection dumps) stays there. Otherwise the game runs from an installed
// tree and writes to $XDG_DATA_HOME/dravolt (default ~/.local/share/dravolt, the home folder
// taken from the password database when HOME is unset, empty or relative), a folder that is
// made when something is first written there, for the player alone. An installed game never
// writes into its working folder: without any home folder it writes nothing.
class GamePaths {
public:
    // What the rules depend on; systemInputs() gives the real ones, tests their own.
    struct Inputs {
        std::filesystem::path workingFolder;
        std::filesystem::path executable; // empty when unknown
        std::function<std::optional<std::string>(const std::string&)> environment;
        std::filesystem::path systemCascadeFolder;
        // The effective user's home folder as the password database gives it.
        std::function<std::optional<std::string>()> accountHome;
    };

    static Inputs systemInputs();

    GamePaths();
    explicit GamePaths(Inputs inputs);

    // A data file named relative to the data folder, such as "graphics/car.png": relative to
    // the working folder when it is there, absolute when found in the installed data folder,
    // and unchanged when found nowhere (the loader's message then names it as before).
    std::filesystem::path dataFile(const std::string& name) const;
    // The eye cascade: the working folder's or installed classifier/haarcascade_eye.xml, or
    // opencv-data's copy; the working-folder name when found nowhere.
    std::filesystem::path cascadeFile() const;

    // True when the working folder does not hold the game's data.
    bool installed() const { return m_installed; }
    // Where files are written: the working folder ("") or the per-user data folder; also ""
    // for an installed game that knows no home folder, which writes nowhere.
    const std::filesystem::path& writeFolder() const { return m_writeFolder; }
    // A file to write, such as "hiscore.xml": relative in the working folder, else absolute;
    // empty, a name nothing can be written to, when the game writes nowhere.
    std::filesystem::path writeFile(const std::string& name) const;
    // True for an installed game that knows no home folder: it writes nothing at all.
    bool writesNowhere() const { return m_writesNowhere; }

    // How console messages name a file: as given when it lies in the working folder,
    // otherwise its full path.
    std::string displayName(const std::filesystem::path& file) const;

private:
    std::filesystem::path installedFile(const std::string& name) const;

    Inputs m_inputs;
    std::filesystem::path m_installedData; // empty when the executable is unknown
    bool m_installed = false;
    std::filesystem::path m_writeFolder;
    bool m_writesNowhere = false; // installed, and no home folder known
};
