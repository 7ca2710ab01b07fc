// Times the name matcher on its worst patterns over a 255-byte name, against fnmatch.
//
// Each pattern family is timed for both matchers in turn, A B A B, five rounds each;
// the median of each side is printed with the ratio of cpu and of wall time. The
// matchers differ in details ("*." and a trailing '?'), which do not change the work.
// Built with -DORVA_BENCH=ON; run build/<dir>/bench/match_names.
#include <fnmatch.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "walk/wildcard_match.h"

struct Timing {
    double cpu;
    double wall;
};

static volatile int sink;

static Timing time_calls(bool ours, const std::string& name, const std::string& pattern, int calls)
{
    const std::clock_t cpu_start = std::clock();
    const auto wall_start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; i++)
        sink = ours ? wildcard_match(name.c_str(), pattern.c_str()) : fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD);
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wall_start;
    return {static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC, wall.count()};
}

static double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

static std::string repeated(const char* piece, int count)
{
    std::string text;
    for (int i = 0; i < count; i++)
        text += piece;
    return text;
}

int main()
{
    // The code page is read on first use, so the locale must stand before any match.
    setenv("LC_ALL", "C", 1);
    setenv("TZ", "UTC", 1);
    const std::string name = std::string(251, 'a') + ".txt";
    struct Family {
        const char* label;
        std::string pattern;
    } families[] = {
        {"*a x6 *z", repeated("*a", 6) + "*z"},
        {"*a x120 *z", repeated("*a", 120) + "*z"},
        {"*a x500 *z", repeated("*a", 500) + "*z"},
        {"*a x128 b", "*" + std::string(128, 'a') + "b"},
        {"*a x128 b*z", "*" + std::string(128, 'a') + "b*z"},
        {"*a?? x80 *z", repeated("*a??", 80) + "*z"},
        {"*.txt", "*.txt"},
    };
    const int calls = 2000;
    printf("%-14s %12s %12s %10s %10s\n", "pattern", "ours us/call", "fnmatch", "cpu ratio", "wall ratio");
    for (const Family& family : families) {
        std::vector<double> our_cpu, our_wall, their_cpu, their_wall;
        time_calls(true, name, family.pattern, calls / 10);
        time_calls(false, name, family.pattern, calls / 10);
        for (int round = 0; round < 5; round++) {
            const Timing ours = time_calls(true, name, family.pattern, calls);
            const Timing theirs = time_calls(false, name, family.pattern, calls);
            our_cpu.push_back(ours.cpu);
            our_wall.push_back(ours.wall);
            their_cpu.push_back(theirs.cpu);
            their_wall.push_back(theirs.wall);
        }
        printf("%-14s %12.2f %12.2f %10.2f %10.2f\n", family.label, median(our_wall) * 1e6 / calls,
               median(their_wall) * 1e6 / calls, median(our_cpu) / median(their_cpu),
               median(our_wall) / median(their_wall));
    }
    return 0;
}
