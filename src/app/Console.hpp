#pragma once
// What the game writes to the console at start: the banner, the key help and the settings.

#include <iosfwd>
#include <string>

class Config;

extern const std::string WINDOW_TITLE;
extern const std::string HELP_TEXT;

void printBanner(std::ostream& out);
void printHelp(std::ostream& out);
void printSettings(const Config& config, std::ostream& out);
