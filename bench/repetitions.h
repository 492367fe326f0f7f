// Every benchmark here runs in repetitions and reports their median and 90th
// percentile: a mean is pulled up by the odd run a busy machine disturbs.
// Google Benchmark adds its mean, standard deviation and variation as well.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace bench {

// The nearest-rank 90th percentile.
inline double P90(const std::vector<double>& AValues) {
    if (AValues.empty()) return 0;
    std::vector<double> Sorted = AValues;
    std::sort(Sorted.begin(), Sorted.end());
    const auto Rank = static_cast<std::size_t>(std::ceil(0.9 * static_cast<double>(Sorted.size())));
    return Sorted[std::max<std::size_t>(Rank, 1) - 1];
}

// Apply to every registration: BENCHMARK(BM_X)->Apply(bench::Repeated).
inline void Repeated(benchmark::internal::Benchmark* ABenchmark) {
    ABenchmark->Repetitions(10)->MinTime(0.1)->ReportAggregatesOnly(true)->ComputeStatistics("p90", P90);
}

} // namespace bench
