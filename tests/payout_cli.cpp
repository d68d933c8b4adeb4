// Reads "balance rate payment" lines from stdin, runs the payoff simulation for each and
// prints "ok MONTHS PAYOUT INTEREST" or "error KIND", one line per input line. The money
// values are printed with 17 significant digits so they read back as the same doubles.
#include "model/clsDebt.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {
const char* kindName(PayoutError::Kind kind) {
    switch (kind) {
    case PayoutError::Kind::DivisionByZero:
        return "div";
    case PayoutError::Kind::InvalidOperation:
        return "invalid";
    case PayoutError::Kind::Overflow:
        return "overflow";
    }
    return "unknown";
}
} // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        double balance = 0, rate = 0, payment = 0;
        // sscanf goes through strtod, which rounds the decimal text correctly.
        if (std::sscanf(line.c_str(), "%lf %lf %lf", &balance, &rate, &payment) != 3) {
            std::printf("error parse\n");
            continue;
        }
        clsDebt debt;
        debt.setBalance(balance);
        debt.setInterestRate(rate);
        debt.setMinPayment(payment);
        try {
            debt.CalculatePayout();
            std::printf("ok %d %.17g %.17g\n", static_cast<int>(debt.totalMonths()),
                        debt.totalPayout(), debt.totalInterestPaid());
        } catch (const PayoutError& e) {
            std::printf("error %s\n", kindName(e.kind()));
        }
    }
    return 0;
}
