// Compile time of the expression family (a|b)*a(a|b)...(a|b) with n trailing groups, whose DFA
// has 2^(n+1) + 1 states. Prints, per n, the state count and the median compile time of
// several runs, then the ratio of n = 14 to n = 12 (4 means compile time linear in states).
//   compile_bench [RUNS] [N]   (N alone: compile only that n once, for instruction counting)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "regex/TRegularExpression.h"

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (argc > 2) {
        std::string expr = "(a|b)*a";
        for (int i = 0; i < std::atoi(argv[2]); ++i)
            expr += "(a|b)";
        zb::TRegularExpression re;
        re.SetRegExp(expr);
        std::printf("states=%zu\n", re.GetCurrentDFA()->StateList.size());
        return 0;
    }
    std::map<int, double> median;
    std::printf("%4s %8s %12s\n", "n", "states", "median_ms");
    for (int n = 8; n <= 14; ++n) {
        std::string expr = "(a|b)*a";
        for (int i = 0; i < n; ++i)
            expr += "(a|b)";
        std::vector<double> times;
        std::size_t states = 0;
        for (int r = 0; r < runs; ++r) {
            zb::TRegularExpression re;  // a fresh object: no cache hit
            const auto t0 = std::chrono::steady_clock::now();
            re.SetRegExp(expr);
            const auto t1 = std::chrono::steady_clock::now();
            times.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            states = re.GetCurrentDFA()->StateList.size();
        }
        std::sort(times.begin(), times.end());
        median[n] = times[times.size() / 2];
        std::printf("%4d %8zu %12.3f\n", n, states, median[n]);
    }
    std::printf("ratio n14/n12 = %.2f (4.00 = linear in the number of states)\n",
                median[14] / median[12]);
    return 0;
}
