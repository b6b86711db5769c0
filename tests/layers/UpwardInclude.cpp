// Never part of a build: the graphics layer may not see the game, so compiling this file
// against the graphics library alone must fail. The test "layers.upward_include_fails" tries.
#include "game/Game.hpp"
