// Console output that also keeps each benchmark's time, so a program can
// print the ratio of two benchmarks measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration)
                seconds_[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    // "what: 0.123 (target below 0.100)" when both ran.
    void PrintRatio(const char *what, const std::string &num, const std::string &den, double target) const
    {
        const auto n = seconds_.find(num), d = seconds_.find(den);
        if (n != seconds_.end() && d != seconds_.end() && d->second > 0)
            std::printf("%s: %.3f (target below %.3f)\n", what, n->second / d->second, target);
    }

private:
    std::map<std::string, double> seconds_;
};
