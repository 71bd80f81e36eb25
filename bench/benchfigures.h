#ifndef CORVANE_BENCHFIGURES_H
#define CORVANE_BENCHFIGURES_H

#include <QFile>
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

// The process's resident memory in MB, as the system counts it.
inline double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/status");
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    qFatal("no VmRSS in /proc/self/status");
}

#endif
