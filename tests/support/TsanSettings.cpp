// How ThreadSanitizer builds of these tests treat the image library, which is not built for
// it. Nothing here changes an ordinary build.

#include <opencv2/core/utility.hpp>

// On its first image read or write the library's GDAL plug-in registers itself and takes two
// of its own locks in both orders, on one thread; nothing of ours is involved.
extern "C" const char* __tsan_default_suppressions();
extern "C" const char* __tsan_default_suppressions() {
    return "deadlock:libgdal.so\n";
}

#if defined(__SANITIZE_THREAD__)
namespace {
// The library's own thread pool hands work around in ways the sanitizer cannot see, which it
// reports as races inside the cascade. On one thread the library's work runs on our threads,
// where every access is checked.
const bool libraryOnOneThread = [] {
    cv::setNumThreads(1);
    return true;
}();
} // namespace
#endif
