// The payoff simulation over arbitrary doubles (NaN, infinities, negatives, subnormals,
// huge values): it either succeeds with results that add up, or fails and leaves the
// results of the previous run in place.
#include "FuzzCheck.h"
#include "model/clsDebt.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    double inputs[3] = {0, 0, 0};
    std::memcpy(inputs, data, std::min(size, sizeof inputs));

    clsDebt debt;
    debt.setBalance(1000);
    debt.setInterestRate(18);
    debt.setMinPayment(50);
    debt.CalculatePayout(); // 58 months
    const double previousPayout = debt.totalPayout();
    const double previousInterest = debt.totalInterestPaid();

    debt.setBalance(inputs[0]);
    debt.setInterestRate(inputs[1]);
    debt.setMinPayment(inputs[2]);
    double returned = 0;
    try {
        returned = debt.CalculatePayout();
    } catch (const PayoutError&) {
        FUZZ_CHECK(debt.totalMonths() == 58);
        FUZZ_CHECK(debt.totalPayout() == previousPayout);
        FUZZ_CHECK(debt.totalInterestPaid() == previousInterest);
        return 0;
    }
    FUZZ_CHECK(returned == debt.totalPayout());
    for (int i = 0; i < 3; ++i) {
        const double stored[] = {debt.balance(), debt.interestRate(), debt.minPayment()};
        // inputs kept bit for bit (a NaN's payload and the sign of zero too)
        FUZZ_CHECK(std::bit_cast<std::uint64_t>(stored[i]) ==
                   std::bit_cast<std::uint64_t>(inputs[i]));
    }
    const auto months = debt.totalMonths();
    const double interest = debt.totalInterestPaid();
    debt.CalculatePayout(); // the same inputs give the same results
    FUZZ_CHECK(debt.totalMonths() == months && debt.totalPayout() == returned &&
               debt.totalInterestPaid() == interest);
    const double balance = inputs[0];
    if (!(balance > 0)) {
        FUZZ_CHECK(debt.totalMonths() == 0);
        FUZZ_CHECK(debt.totalPayout() == 0);
        return 0;
    }
    FUZZ_CHECK(debt.totalMonths() >= 1);
    const double balanceCents = balance * 100;
    if (balanceCents == std::round(balanceCents)) {
        // A whole-cent balance is paid off with exactly its interest on top.
        FUZZ_CHECK(std::llround(debt.totalPayout() * 100) ==
                   std::llround(balanceCents) + std::llround(debt.totalInterestPaid() * 100));
    }
    return 0;
}
