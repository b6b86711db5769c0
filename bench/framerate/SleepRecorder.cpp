// A preloaded library that times the frame loops and the detection from outside: every sleep
// of exactly 10 ms (the pause of the game's frame loop and of the detection worker's loop) and
// every call of the eye cascade's detectMultiScale is recorded with the calling thread's id and
// the wall-clock time in nanoseconds. At exit the records go to the file named by
// DRAVOLT_SLEEP_RECORD, one "kind tid nanoseconds cpu wait" line each: kind S for a sleep, D
// for a cascade call as it begins; cpu and wait are the thread's total time on a CPU and waiting
// for one so far (nanoseconds, from /proc/thread-self/schedstat). The first line holds the
// process id. Without the variable nothing is recorded. The game itself knows nothing of it: a
// program that runs without the library pays nothing.
//
//   LD_PRELOAD=.../sleep-recorder.so DRAVOLT_SLEEP_RECORD=/tmp/sleeps.txt build/dravolt

#include <opencv2/objdetect.hpp>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
constexpr long RECORDED_SLEEP_NANOS = 10000000;
constexpr size_t CAPACITY = 1 << 20;

struct Record {
    char kind;
    int tid;
    int64_t nanos;
    long long cpu;
    long long wait;
};

// The calling thread's time on a CPU and waiting in a run queue, both in nanoseconds.
void schedulerTimes(long long& cpu, long long& wait) {
    thread_local int file = open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
    char text[128] = {};
    cpu = wait = 0;
    if (file >= 0 && pread(file, text, sizeof text - 1, 0) > 0) {
        std::sscanf(text, "%lld %lld", &cpu, &wait);
    }
}

Record* records = nullptr;
std::atomic<size_t> count{0};
const char* outputPath = nullptr;

using NanosleepFunction = int (*)(const timespec*, timespec*);
using ClockNanosleepFunction = int (*)(clockid_t, int, const timespec*, timespec*);

bool isFrameSleep(const timespec* request) {
    return request && request->tv_sec == 0 && request->tv_nsec == RECORDED_SLEEP_NANOS;
}

void record(char kind) {
    if (!records) {
        return;
    }
    const size_t index = count.fetch_add(1, std::memory_order_relaxed);
    if (index >= CAPACITY) {
        return;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    Record& entry = records[index];
    entry.kind = kind;
    entry.tid = static_cast<int>(syscall(SYS_gettid));
    entry.nanos = static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
    schedulerTimes(entry.cpu, entry.wait);
}

__attribute__((constructor)) void startRecording() {
    outputPath = std::getenv("DRAVOLT_SLEEP_RECORD");
    if (outputPath) {
        records = static_cast<Record*>(std::calloc(CAPACITY, sizeof(Record)));
    }
}

__attribute__((destructor)) void writeRecords() {
    if (!records) {
        return;
    }
    FILE* file = std::fopen(outputPath, "w");
    if (!file) {
        return;
    }
    std::fprintf(file, "%d\n", static_cast<int>(getpid()));
    const size_t n = std::min(count.load(), CAPACITY);
    for (size_t i = 0; i < n; ++i) {
        std::fprintf(file, "%c %d %lld %lld %lld\n", records[i].kind, records[i].tid,
                     static_cast<long long>(records[i].nanos), records[i].cpu, records[i].wait);
    }
    std::fclose(file);
}
} // namespace

extern "C" int nanosleep(const timespec* request, timespec* remaining) {
    static const auto real = reinterpret_cast<NanosleepFunction>(dlsym(RTLD_NEXT, "nanosleep"));
    if (isFrameSleep(request)) {
        record('S');
    }
    return real(request, remaining);
}

extern "C" int clock_nanosleep(clockid_t clock, int flags, const timespec* request,
                               timespec* remaining) {
    static const auto real =
        reinterpret_cast<ClockNanosleepFunction>(dlsym(RTLD_NEXT, "clock_nanosleep"));
    if (flags == 0 && isFrameSleep(request)) {
        record('S');
    }
    return real(clock, flags, request, remaining);
}

// The cascade call of the eye detector: noted, then handed on to the library's own.
void cv::CascadeClassifier::detectMultiScale(InputArray image, std::vector<Rect>& objects,
                                             double scaleFactor, int minNeighbors, int flags,
                                             Size minSize, Size maxSize) {
    using Method =
        void (CascadeClassifier::*)(InputArray, std::vector<Rect>&, double, int, int, Size, Size);
    static const Method real = [] {
        // A pointer to a member function is the address and an adjustment of this, 0 here.
        struct {
            void* address;
            std::ptrdiff_t adjustment;
        } parts{dlsym(RTLD_NEXT, "_ZN2cv17CascadeClassifier16detectMultiScaleERKNS_11_"
                                 "InputArrayERSt6vectorINS_5Rect_IiEESaIS6_EEdiiNS_5Size_IiEESB_"),
                0};
        static_assert(sizeof(Method) == sizeof parts, "a member function pointer of two words");
        Method method;
        std::memcpy(&method, &parts, sizeof method);
        return method;
    }();
    record('D');
    (this->*real)(image, objects, scaleFactor, minNeighbors, flags, minSize, maxSize);
}
