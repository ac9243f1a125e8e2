#pragma once
// The console table, then the ratio of each measured benchmark to its
// baseline from the same run.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tryster::bench {

struct RatioPair {
    const char* what;
    const char* measured;  // benchmark name (prefix)
    const char* baseline;
    const char* target;    // empty when there is none
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::vector<RatioPair> pairs) : pairs_(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) times_[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nratios (same run):\n");
        for (const RatioPair& p : pairs_) {
            double m = find(p.measured);
            double b = find(p.baseline);
            if (m > 0 && b > 0)
                std::printf("  %-42s %8.2f%s%s\n", p.what, m / b, *p.target ? "   target: " : "", p.target);
        }
    }

private:
    double find(const std::string& prefix) const {
        for (const auto& [name, time] : times_)
            if (name.rfind(prefix, 0) == 0) return time;
        return 0;
    }

    std::vector<RatioPair> pairs_;
    std::map<std::string, double> times_;
};

}  // namespace tryster::bench
