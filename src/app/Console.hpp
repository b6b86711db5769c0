#pragma once
// What the game writes to the console: the start-up banner, the key help, the settings and
// the game-state dump of key z.

#include <iosfwd>
#include <string>

class Config;
class Game;

extern const std::string WINDOW_TITLE;
extern const std::string HELP_TEXT;

void printBanner(std::ostream& out);
void printHelp(std::ostream& out);
void printSettings(const Config& config, std::ostream& out);
// gameTime, canGenCar and every traffic car's id and row.
std::string gameStateDump(const Game& game);
