#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <optional>
#include <string>

// The machine is shared with other programs: the benchmarks repeat their
// runs, interleaved, and their summaries compare medians.
class MedianRuns : public benchmark::ConsoleReporter {
public:
    // measure(run): the figure kept of each run.
    explicit MedianRuns(std::function<double(const Run&)> measure);

    // The library set up for repeated, interleaved runs reported by their
    // aggregates (each at least minTime seconds when above 0); flags given
    // on the command line come later and win.
    static void Initialize(int argc, char** argv, int repetitions, double minTime = 0);

    // The rate of a counter of the run, for measure.
    static double Counter(const Run& run, const std::string& name);

    void ReportRuns(const std::vector<Run>& runs) override;

    // The median of the named benchmark, or its only run when not repeated.
    std::optional<double> Find(const std::string& name) const;

private:
    std::function<double(const Run&)> mMeasure;
    std::map<std::string, double> mFigures;
};
