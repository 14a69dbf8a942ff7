// FindProcessId against the plainest loop that answers the same question
// (names already folded, strcmp), over made-up lists of 300, 3,000 and
// 30,000 processes. scripts/bench.sh prints the ratio of the two.
#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <string>

#include "bench/synthetic.hpp"
#include "launcher/launch_logic.hpp"

namespace {

using corvane::bench::SyntheticList;

const SyntheticList& ListOf(std::size_t count) {
    static std::map<std::size_t, SyntheticList> lists;
    auto it = lists.find(count);
    if (it == lists.end()) it = lists.emplace(count, corvane::bench::MakeSyntheticList(count)).first;
    return it->second;
}

void BM_FindProcessId(benchmark::State& state) {
    const SyntheticList& list = ListOf(static_cast<std::size_t>(state.range(0)));
    const std::string wanted = corvane::bench::kWanted;
    const corvane::CaseRule& upper = corvane::AsciiUpper();
    if (corvane::FindProcessId(list.records, wanted, upper) != list.plantedPid) {
        state.SkipWithError("the planted record was not found");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(corvane::FindProcessId(list.records, wanted, upper));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_StrcmpLoop(benchmark::State& state) {
    const SyntheticList& list = ListOf(static_cast<std::size_t>(state.range(0)));
    const std::string wanted = corvane::bench::kWanted;
    for (auto _ : state) {
        std::uint32_t found = 0;
        for (std::size_t i = 0; i < list.records.size(); ++i)
            if (list.records[i].pid != 0 && std::strcmp(list.folded[i].c_str(), wanted.c_str()) == 0)
                found = list.records[i].pid;
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_FindProcessId)->Arg(300)->Arg(3000)->Arg(30000);
BENCHMARK(BM_StrcmpLoop)->Arg(300)->Arg(3000)->Arg(30000);

}  // namespace

BENCHMARK_MAIN();
