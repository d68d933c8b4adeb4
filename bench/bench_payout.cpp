// Speed of the payoff simulation on the longest payoff a debt page accepts.
#include "model/clsDebt.h"

#include <benchmark/benchmark.h>

static void longestPayoff(benchmark::State& state) {
    // The longest payoff a debt page accepts: the largest balance that does not overflow,
    // typed in ten characters, at 100 % with the smallest payment (1203 months).
    clsDebt debt;
    debt.setBalance(21474836.4);
    debt.setInterestRate(100);
    debt.setMinPayment(0.01);
    for (auto _ : state)
        benchmark::DoNotOptimize(debt.CalculatePayout());
    state.counters["months"] = debt.totalMonths();
    // Seconds per simulated month (printed with an SI prefix: 37n is 37 ns).
    state.counters["per_month"] =
        benchmark::Counter(debt.totalMonths(), benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
}
BENCHMARK(longestPayoff);

BENCHMARK_MAIN();
