#pragma once
// What the benchmarks share: a clock in seconds and the median of a run.
#include <algorithm>
#include <chrono>
#include <vector>

inline double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
