#pragma once
// The main of every benchmark program: runs its benchmarks, then prints for
// named pairs how many times slower the subject ran than its baseline in
// the same run (medians of the repetitions when there are some), against
// the target where there is one, and checks time budgets.
//
// When TRYSTER_BENCH_TABLE names a file, each figure is also appended to it
// as one tab-separated line (program, figure, subject, subject seconds,
// baseline, baseline seconds, ratio, target, met|missed|-), from which
// scripts/run-bench prints the table of every program.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace tryster::bench {

struct Ratio {
    std::string subject;  // benchmark (function) names
    std::string baseline;
    double target = 0;      // the subject may take at most this many times the baseline; 0: none
    double atLeast = 0;     // and at least this many times; 0: no lower bound
    std::string what = {};  // the figure's name in the table; "subject / baseline" when empty
};

// A time the subject must stay within, for figures without a baseline.
struct Budget {
    std::string subject;
    double milliseconds;
    std::string what;
};

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            const std::string name = r.run_name.function_name;
            const double seconds = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians_[name] = seconds;
            else if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                single_[name] = seconds;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Seconds per iteration; 0 when the benchmark did not run.
    double seconds(const std::string& name) const {
        if (auto it = medians_.find(name); it != medians_.end()) return it->second;
        if (auto it = single_.find(name); it != single_.end()) return it->second;
        return 0;
    }

private:
    std::map<std::string, double> medians_, single_;
};

namespace detail {

inline std::string targetText(double atLeast, double atMost) {
    char text[64] = "";
    if (atLeast > 0 && atMost > 0)
        std::snprintf(text, sizeof text, "%.2g to %.2g", atLeast, atMost);
    else if (atMost > 0)
        std::snprintf(text, sizeof text, "at most %.2g", atMost);
    else if (atLeast > 0)
        std::snprintf(text, sizeof text, "at least %.2g", atLeast);
    return text;
}

class TableFile {
public:
    explicit TableFile(const char* program) : program_(program) {
        if (const char* path = std::getenv("TRYSTER_BENCH_TABLE"); path && *path)
            file_ = std::fopen(path, "a");
        const std::string name = program_;
        program_ = name.substr(name.find_last_of('/') + 1);
    }
    ~TableFile() {
        if (file_) std::fclose(file_);
    }
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    void row(const std::string& what, const std::string& subject, double subjectSeconds,
             const std::string& baseline, double baselineSeconds, double ratio, const std::string& target,
             const char* verdict) {
        if (!file_) return;
        std::fprintf(file_, "%s\t%s\t%s\t%.9g\t%s\t%.9g\t%.4f\t%s\t%s\n", program_.c_str(), what.c_str(),
                     subject.c_str(), subjectSeconds, baseline.c_str(), baselineSeconds, ratio,
                     target.c_str(), verdict);
    }

private:
    std::string program_;
    std::FILE* file_ = nullptr;
};

}  // namespace detail

// Returns the program's exit status: 1 when a benchmark named in a figure
// did not run (a missed target is reported, not an error).
inline int runWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios,
                         const std::vector<Budget>& budgets = {}) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    detail::TableFile table(argv[0]);
    int status = 0;
    for (const Ratio& r : ratios) {
        const double subject = reporter.seconds(r.subject), baseline = reporter.seconds(r.baseline);
        const std::string what = r.what.empty() ? r.subject + " / " + r.baseline : r.what;
        if (subject <= 0 || baseline <= 0) {
            std::printf("ratio %s: not measured\n", what.c_str());
            status = 1;
            continue;
        }
        const double ratio = subject / baseline;
        const std::string target = detail::targetText(r.atLeast, r.target);
        const bool hasTarget = !target.empty();
        const bool met = (r.target <= 0 || ratio <= r.target) && (r.atLeast <= 0 || ratio >= r.atLeast);
        std::printf("ratio %s: %.2f", what.c_str(), ratio);
        if (hasTarget) std::printf(" (target %s: %s)", target.c_str(), met ? "met" : "MISSED");
        std::printf("\n");
        const char* verdict = !hasTarget ? "-" : met ? "met" : "missed";
        table.row(what, r.subject, subject, r.baseline, baseline, ratio, target, verdict);
    }
    for (const Budget& b : budgets) {
        const double subject = reporter.seconds(b.subject);
        if (subject <= 0) {
            std::printf("%s: not measured\n", b.what.c_str());
            status = 1;
            continue;
        }
        const bool met = subject * 1000 <= b.milliseconds;
        std::printf("%s: %.0f ms (budget %.0f ms: %s)\n", b.what.c_str(), subject * 1000, b.milliseconds,
                    met ? "met" : "MISSED");
        char target[64];
        std::snprintf(target, sizeof target, "within %.0f ms", b.milliseconds);
        table.row(b.what, b.subject, subject, "", 0, 0, target, met ? "met" : "missed");
    }
    return status;
}

}  // namespace tryster::bench
