#pragma once
// Wall-clock timing of one piece of work and the median of several runs.

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

class CBenchClock {
public:
    // Seconds taken by one call of work.
    static double Time(const std::function<void()>& work)
    {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        return std::chrono::duration<double>(end - start).count();
    }

    // The median over nRuns runs of work, after one run that warms caches
    // and the heap up and is not counted; prepare runs untimed before each.
    static double Median(int nRuns, const std::function<void()>& prepare, const std::function<void()>& work)
    {
        std::vector<double> times;
        for (int i = 0; i <= nRuns; ++i) {
            if (prepare)
                prepare();
            const double dSeconds = Time(work);
            if (i > 0)
                times.push_back(dSeconds);
        }
        return MedianOf(times);
    }

    static double MedianOf(std::vector<double> values)
    {
        if (values.empty())
            return 0.0;
        std::sort(values.begin(), values.end());
        const size_t nMiddle = values.size() / 2;
        return values.size() % 2 == 1 ? values[nMiddle] : (values[nMiddle - 1] + values[nMiddle]) / 2.0;
    }
};
