// The payoff simulation. Every step below is IEEE double arithmetic in exactly this order;
// regrouping an expression can move a result by a cent.
#include "clsDebt.h"

#include <cmath>

const char* PayoutError::what() const noexcept {
    switch (m_kind) {
    case Kind::DivisionByZero:
        return "division by zero";
    case Kind::InvalidOperation:
        return "invalid floating-point operation";
    case Kind::Overflow:
        return "overflow";
    }
    return "payout error";
}

namespace {

// Rejects a NaN or an infinity produced by an operation on finite values.
double checked(double value) {
    if (std::isnan(value))
        throw PayoutError(PayoutError::Kind::InvalidOperation);
    if (std::isinf(value))
        throw PayoutError(PayoutError::Kind::Overflow);
    return value;
}

} // namespace

double payout::roundScaled(double x, double scale) {
    const double scaled = x * scale;
    if (std::isnan(scaled))
        throw PayoutError(PayoutError::Kind::InvalidOperation);
    if (std::isinf(scaled))
        throw PayoutError(PayoutError::Kind::Overflow);
    // To the nearest integer, a tie to the even one (the rounding mode is never changed).
    // A negative value that rounds to zero gives +0 like any integer; an exact -0 stays -0.
    double n = std::rint(scaled);
    if (n == 0 && scaled != 0)
        n = 0.0;
    if (n < -2147483648.0 || n > 2147483647.0)
        throw PayoutError(PayoutError::Kind::Overflow);
    return n / scale;
}

double clsDebt::CalculatePayout() {
    using payout::roundCents;
    using payout::roundFivePlaces;

    const double monthlyRate = roundFivePlaces(checked(checked(m_dblInterestRate / 12) / 100));

    if (m_dblBalance == 0) {
        if (m_dblMinPayment == 0 || std::isnan(m_dblMinPayment))
            throw PayoutError(PayoutError::Kind::InvalidOperation);
        throw PayoutError(PayoutError::Kind::DivisionByZero);
    }
    double ratio = roundFivePlaces(checked(m_dblMinPayment / m_dblBalance));
    const double lowestRatio = checked(monthlyRate + 0.01);
    if (ratio < lowestRatio)
        ratio = lowestRatio;

    std::int64_t months = 0;
    double totalPaid = 0;
    double totalInterest = 0;
    double owed = m_dblBalance;

    while (owed > 0) {
        ++months;
        double payment = roundCents(owed * ratio);
        if (payment < 15)
            payment = 15;
        const double interest = roundCents(monthlyRate * owed);
        totalInterest = checked(totalInterest + interest);
        const double principal = roundCents(payment - interest);
        totalPaid = checked(totalPaid + (principal + interest));
        owed = roundCents(owed - principal);
        if (!(owed > 15)) {
            // What is left, 15.00 or less, is paid in one more month without interest.
            totalPaid = checked(totalPaid + owed);
            ++months;
            owed = 0;
        }
    }

    if (months > INT16_MAX)
        throw PayoutError(PayoutError::Kind::Overflow);
    m_nTotalMonths = static_cast<std::int16_t>(months);
    m_dblTotalPayout = totalPaid;
    m_dblTotalInterestPaid = totalInterest;
    return totalPaid;
}
