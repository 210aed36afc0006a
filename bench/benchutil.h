#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

// Median and worst of a set of timings, in microseconds.
struct Timings {
    std::vector<double> us;
    void add(qint64 ns) { us.push_back(static_cast<double>(ns) / 1000.0); }
    double median()
    {
        std::sort(us.begin(), us.end());
        return us.empty() ? 0 : us[us.size() / 2];
    }
    double worst() const { return us.empty() ? 0 : *std::max_element(us.begin(), us.end()); }
};
