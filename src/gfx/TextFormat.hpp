#pragma once
// Number to text, as a default output string stream writes it.

#include <string>

std::string toString(int value);
// Fixed notation with exactly `precision` digits after the point (none for 0).
std::string toString(double value, int precision);
