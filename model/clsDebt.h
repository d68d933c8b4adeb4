// One credit-card debt as the user entered it, and its payoff simulation when only the
// minimum payment is made each month.
#pragma once

#include <cstdint>
#include <exception>

// Why a payoff simulation failed. The debt's results are left as they were.
class PayoutError : public std::exception {
public:
    enum class Kind { DivisionByZero, InvalidOperation, Overflow };

    explicit PayoutError(Kind kind) : m_kind(kind) {}
    Kind kind() const noexcept { return m_kind; }
    const char* what() const noexcept override;

private:
    Kind m_kind;
};

class clsDebt {
public:
    // Runs the month-by-month simulation, stores the three results and returns the total
    // payout. Throws PayoutError and leaves the results unchanged on failure.
    double CalculatePayout();

    double balance() const { return m_dblBalance; }
    void setBalance(double dblNewValue) { m_dblBalance = dblNewValue; }
    double interestRate() const { return m_dblInterestRate; }
    void setInterestRate(double dblNewValue) { m_dblInterestRate = dblNewValue; }
    double minPayment() const { return m_dblMinPayment; }
    void setMinPayment(double dblNewValue) { m_dblMinPayment = dblNewValue; }

    std::int16_t totalMonths() const { return m_nTotalMonths; }
    double totalPayout() const { return m_dblTotalPayout; }
    double totalInterestPaid() const { return m_dblTotalInterestPaid; }

private:
    double m_dblBalance = 0;
    double m_dblInterestRate = 0;
    double m_dblMinPayment = 0;
    std::int16_t m_nTotalMonths = 0;
    double m_dblTotalPayout = 0;
    double m_dblTotalInterestPaid = 0;
};

namespace payout {
// Rounds x * scale to the nearest integer, ties to the even integer, and divides by scale.
// Throws PayoutError::Overflow when the scaled integer leaves the 32-bit signed range and
// PayoutError::InvalidOperation for NaN.
double roundScaled(double x, double scale);
inline double roundCents(double x) {
    return roundScaled(x, 100);
}
inline double roundFivePlaces(double x) {
    return roundScaled(x, 100000);
}
} // namespace payout
