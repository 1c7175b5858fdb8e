// Reads a recording from standard input (16-bit little-endian mono samples at
// the rate given as the first argument, as parec writes them) and prints the
// wall-clock time, in ms since the epoch, at which each sound begins: where
// 5 ms windows rise above the noise floor after at least 40 ms of silence.
// A sample's time is taken from the moment its block arrived, less the
// block's length, so the figures hold to a few milliseconds. "recording" goes
// to standard error when the first samples arrive (a sound server may take
// a second to start a recording).
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const int rate = argc > 1 ? std::atoi(argv[1]) : 8000;
    const int threshold = argc > 2 ? std::atoi(argv[2]) : 200;
    const long window = rate / 200;           // 5 ms
    const long silence = 8;                   // windows of silence before a new sound
    int16_t block[256];
    long n = 0, quiet = silence;
    int peak = 0;
    ssize_t got;
    bool first = true;
    while ((got = read(0, block, sizeof block)) > 0) {
        const double arrived = nowMs();
        if (first) {
            // The recording runs from here on: whoever waits for it may start.
            std::fprintf(stderr, "recording\n");
            std::fflush(stderr);
            first = false;
        }
        const long samples = got / 2;
        const double blockStart = arrived - 1000.0 * samples / rate;
        for (long i = 0; i < samples; ++i) {
            const int v = block[i] < 0 ? -block[i] : block[i];
            if (v > peak)
                peak = v;
            if (++n % window == 0) {
                if (peak > threshold) {
                    if (quiet >= silence) {
                        std::printf("%.0f\n", blockStart + 1000.0 * (i + 1 - window) / rate);
                        std::fflush(stdout);
                    }
                    quiet = 0;
                } else {
                    ++quiet;
                }
                peak = 0;
            }
        }
    }
    return 0;
}
