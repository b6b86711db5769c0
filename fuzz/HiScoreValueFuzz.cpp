// Aims at the library's value parser, which the file check lets through untouched: the input
// is cut at 0x1F bytes into value texts, placed four by four as "name", "score", "length" and
// "hits" into a file that is otherwise the game's own. The library is not instrumented, so a
// fuzzer over whole files spends most of its runs on shapes the check refuses; here every run
// reaches the reader. Built and run by fuzz/run.sh values.

#include "HiScoreFuzzCheck.hpp"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzcheck::setUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const keys[] = {"name", "score", "length", "hits"};
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string file = "<?xml version=\"1.0\"?>\n<opencv_storage>\n<hiscore>\n";
    std::size_t start = 0;
    for (int value = 0; start <= input.size(); ++value) {
        const std::size_t end = std::min(input.find('\x1F', start), input.size());
        if (value % 4 == 0)
            file += "  <_>\n    <player>\n";
        file += std::string("      <") + keys[value % 4] + ">" + input.substr(start, end - start) +
                "</" + keys[value % 4] + ">\n";
        if (value % 4 == 3 || end == input.size())
            file += "    </player></_>\n";
        start = end + 1;
    }
    file += "</hiscore>\n</opencv_storage>\n";
    fuzzcheck::checkLoad(file);
    return 0;
}
