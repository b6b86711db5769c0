#include "app/MainLoop.hpp"

int main() {
    return runMain();
}
