// Feeds arbitrary bytes to HiScoreStore::load as "hiscore.xml", the way the game meets the file
// at start. Built and run by fuzz/run.sh.

#include "HiScoreFuzzCheck.hpp"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzcheck::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzcheck::checkLoad(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
