#include "gfx/TextFormat.hpp"

#include <sstream>

std::string toString(int value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string toString(double value, int precision) {
    std::ostringstream out;
    out.precision(precision);
    out << std::fixed << value;
    return out.str();
}
