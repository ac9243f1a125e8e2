#pragma once
// A benchmark main that also prints, for named pairs, how many times
// slower the subject ran than its baseline in the same run (medians of the
// repetitions when there are some).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tryster::bench {

struct Ratio {
    std::string subject;
    std::string baseline;
    double target;  // the subject may take at most this many times the baseline; 0: none
};

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const std::string name = r.run_name.function_name;
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians_[name] = r.GetAdjustedRealTime();
            else if (r.run_type == Run::RT_Iteration)
                single_[name] = r.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double time(const std::string& name) const {
        if (auto it = medians_.find(name); it != medians_.end()) return it->second;
        if (auto it = single_.find(name); it != single_.end()) return it->second;
        return 0;
    }

private:
    std::map<std::string, double> medians_, single_;
};

inline int runWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    int status = 0;
    for (const Ratio& r : ratios) {
        double subject = reporter.time(r.subject), baseline = reporter.time(r.baseline);
        if (subject <= 0 || baseline <= 0) continue;
        double ratio = subject / baseline;
        bool met = r.target <= 0 || ratio <= r.target;
        std::printf("ratio %s / %s: %.2f", r.subject.c_str(), r.baseline.c_str(), ratio);
        if (r.target > 0) std::printf(" (target at most %.0f: %s)", r.target, met ? "met" : "MISSED");
        std::printf("\n");
    }
    return status;
}

}  // namespace tryster::bench
