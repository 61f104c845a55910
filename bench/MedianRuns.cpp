#include "MedianRuns.h"

#include <cmath>
#include <vector>

MedianRuns::MedianRuns(std::function<double(const Run&)> measure) : mMeasure(std::move(measure)) {}

void MedianRuns::Initialize(int argc, char** argv, int repetitions, double minTime)
{
    static std::vector<std::string> defaults;
    defaults = {"--benchmark_repetitions=" + std::to_string(repetitions), "--benchmark_enable_random_interleaving=true",
                "--benchmark_report_aggregates_only=true"};
    if (minTime > 0)
        defaults.push_back("--benchmark_min_time=" + std::to_string(minTime));
    std::vector<char*> args{argv[0]};
    for (std::string& flag : defaults)
        args.push_back(flag.data());
    args.insert(args.end(), argv + 1, argv + argc);
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
}

double MedianRuns::Counter(const Run& run, const std::string& name)
{
    const auto counter = run.counters.find(name);
    return counter == run.counters.end() ? NAN : counter->second.value;
}

void MedianRuns::ReportRuns(const std::vector<Run>& runs)
{
    for (const Run& run : runs) {
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (!run.error_occurred && (median || run.run_type == Run::RT_Iteration)) {
            const double figure = mMeasure(run);
            if (!std::isnan(figure))
                mFigures[run.run_name.str()] = figure;
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

std::optional<double> MedianRuns::Find(const std::string& name) const
{
    const auto found = mFigures.find(name);
    if (found == mFigures.end())
        return std::nullopt;
    return found->second;
}
