#include "game/HudView.hpp"

#include "gfx/TextFormat.hpp"

std::array<std::string, 5> HudView::texts() const {
    const double seconds = (timeLeft / 1000) / 1000.0;
    return {toString(static_cast<int>(score)), toString(static_cast<int>(speed)), toString(hits),
            toString(seconds, 1), toString(length / 1000.0, 2)};
}
