#ifndef CORVANE_BENCHFIGURES_H
#define CORVANE_BENCHFIGURES_H

#include <QtGlobal>

#include <algorithm>
#include <vector>

// The median of a benchmark's runs: what the figures quote, as single runs on a shared machine
// are noisy.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

#endif
