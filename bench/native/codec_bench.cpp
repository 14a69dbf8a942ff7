// Reading and writing a Favorites file of 32,767 favorites (the most the
// list holds) against the plainest loops that do the same line work:
//
//   read    ParseFavorites        vs  splitting the bytes into lines at CR,
//                                     CR LF, each line its own string;
//   write   SerializeFavorites    vs  appending those lines, each with CR LF.
//
// Both sides see the same bytes. Each benchmark is repeated; the medians of
// CPU time give the ratios printed last, next to their budget.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "favorites/favorites_file.hpp"
#include "../sample_favorites.hpp"

namespace {

constexpr int kFavorites = 32767;
constexpr int kRepetitions = 9;

const std::string& FileBytes() {
    static const std::string bytes = corvane::bench::SampleFavorites(kFavorites);
    return bytes;
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t cr = bytes.find('\r', pos);
        if (cr == std::string_view::npos) cr = bytes.size();
        lines.emplace_back(bytes.substr(pos, cr - pos));
        pos = cr + 1;
        if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
    }
    return lines;
}

void ReadFavorites(benchmark::State& state) {
    const std::string& bytes = FileBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(corvane::ParseFavorites(bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void ReadBaselineSplitLines(benchmark::State& state) {
    const std::string& bytes = FileBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(SplitLines(bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void WriteFavorites(benchmark::State& state) {
    const auto favorites = corvane::ParseFavorites(FileBytes());
    if (favorites.size() != kFavorites || corvane::SerializeFavorites(favorites) != FileBytes()) {
        state.SkipWithError("the sample does not come back byte for byte");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(corvane::SerializeFavorites(favorites));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileBytes().size()));
}

void WriteBaselineJoinLines(benchmark::State& state) {
    const auto lines = SplitLines(FileBytes());
    for (auto _ : state) {
        std::string out;
        for (const std::string& line : lines) {
            out += line;
            out += "\r\n";
        }
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileBytes().size()));
}

BENCHMARK(ReadFavorites)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(ReadBaselineSplitLines)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(WriteFavorites)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(WriteBaselineJoinLines)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

// Prints as usual, without colours (the figures usually end up in a log),
// and keeps the median CPU time of each benchmark.
class MedianKeeper : public benchmark::ConsoleReporter {
public:
    MedianKeeper() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median" && !r.error_occurred)
                medians[r.run_name.function_name] = r.GetAdjustedCPUTime();
    }
    std::map<std::string, double> medians;
};

void PrintRatio(const MedianKeeper& k, const char* what, const std::string& program, const std::string& baseline,
                double budget) {
    const auto p = k.medians.find(program), b = k.medians.find(baseline);
    if (p == k.medians.end() || b == k.medians.end() || b->second <= 0) {
        std::printf("%-38s not measured\n", what);
        return;
    }
    const double ratio = p->second / b->second;
    std::printf("%-38s corvane %7.2f ms   baseline %7.2f ms   ratio %5.2f   budget %4.2f   %s\n", what, p->second,
                b->second, ratio, budget, ratio <= budget ? "within" : "OVER");
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    MedianKeeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);
    benchmark::Shutdown();
    std::printf("\nmedians of CPU time, Favorites of 32,767 favorites (%zu bytes)\n", FileBytes().size());
    PrintRatio(keeper, "read 32,767 favorites", "ReadFavorites", "ReadBaselineSplitLines", 1.5);
    PrintRatio(keeper, "write 32,767 favorites", "WriteFavorites", "WriteBaselineJoinLines", 1.5);
    return 0;
}
