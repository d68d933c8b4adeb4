// The lines of the results report.
#include "ReportText.h"

#include "model/clsDebt.h"
#include "rules/NumberText.h"

#include <algorithm>

namespace {

const QString kRule = QStringLiteral("--------------");

// "Time till payoff:" with the years and months of a payoff time.
QString timeLine(std::int16_t months) {
    const int years = months / 12;
    const int rest = months % 12;
    return QStringLiteral("Time till payoff:\t%1 year%2, %3 month%4")
        .arg(years)
        .arg(years == 1 ? QString() : QStringLiteral("s"))
        .arg(rest)
        .arg(rest == 1 ? QString() : QStringLiteral("s"));
}

QStringList amountLines(std::int16_t months, qint64 interestCents, qint64 payoutCents) {
    return {timeLine(months),
            QStringLiteral("Total Interest Paid: \t") + NumberText::moneyFromCents(interestCents),
            QStringLiteral("Total Payout: \t") + NumberText::moneyFromCents(payoutCents)};
}

} // namespace

QStringList ReportText::debtBlock(const clsDebt& debt, bool calculated) {
    ++m_debtNumber;
    QStringList lines = {kRule, QStringLiteral("Debt #%1").arg(m_debtNumber), kRule,
                         QStringLiteral("Starting Balance: \t") +
                             NumberText::general(debt.balance())};
    // The simulation keeps every amount far below the range of cents.
    const auto interest = NumberText::cents(debt.totalInterestPaid());
    const auto payout = NumberText::cents(debt.totalPayout());
    if (calculated && interest && payout) {
        lines += amountLines(debt.totalMonths(), *interest, *payout);
        m_longestMonths = std::max(m_longestMonths, debt.totalMonths());
        m_interestCents += *interest;
        m_payoutCents += *payout;
    } else {
        lines += QStringLiteral("Payoff could not be calculated: the amounts are out of range.");
        m_notCalculated.push_back(m_debtNumber);
    }
    lines += {QString(), QString()};
    return lines;
}

QStringList ReportText::totals() const {
    QStringList lines = {QString(), kRule, QStringLiteral("Totals"), kRule};
    lines += amountLines(m_longestMonths, m_interestCents, m_payoutCents);
    lines += {QString(), QStringLiteral("* Calculations assume consumer makes minimum payments "
                                        "for the duration of the loan and incurs no new debt.")};
    for (const int number : m_notCalculated)
        lines += QStringLiteral("* Debt #%1 is not included in the totals.").arg(number);
    return lines;
}
