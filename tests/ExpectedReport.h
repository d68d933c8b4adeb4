// The results report as the tests expect it: the block of a calculated debt, the totals
// block, and the text of the box with its CR LF line ends.
#pragma once

#include <QString>
#include <QStringList>

namespace {

inline QString report(const QStringList& lines) {
    return lines.join(QStringLiteral("\r\n")) + "\r\n";
}

const QString kRule = QStringLiteral("--------------");
const QString kNote = QStringLiteral("* Calculations assume consumer makes minimum payments for "
                                     "the duration of the loan and incurs no new debt.");

inline QStringList debtBlock(int number, const QString& balance, const QString& time,
                             const QString& interest, const QString& payout) {
    return {kRule,
            QStringLiteral("Debt #%1").arg(number),
            kRule,
            "Starting Balance: \t" + balance,
            "Time till payoff:\t" + time,
            "Total Interest Paid: \t" + interest,
            "Total Payout: \t" + payout,
            "",
            ""};
}

inline QStringList totalsBlock(const QString& time, const QString& interest,
                               const QString& payout) {
    return {"",
            kRule,
            "Totals",
            kRule,
            "Time till payoff:\t" + time,
            "Total Interest Paid: \t" + interest,
            "Total Payout: \t" + payout,
            "",
            kNote};
}

} // namespace
