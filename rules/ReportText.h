// The text of the results report, apart from the box that shows it: the block of lines of
// each debt, and the totals with the closing notes.
#pragma once

#include <QStringList>
#include <QtGlobal>
#include <cstdint>
#include <vector>

class clsDebt;

class ReportText {
public:
    // The block of the next debt, numbered from 1 in the order of the calls. A calculated
    // debt shows its payoff time and amounts, which the totals take up to the printed
    // cent; a debt whose calculation failed shows one line instead and stays out of the
    // totals.
    QStringList debtBlock(const clsDebt& debt, bool calculated);

    // The totals block and the closing notes, after the last debt.
    QStringList totals() const;

private:
    int m_debtNumber = 0;
    std::int16_t m_longestMonths = 0;
    qint64 m_interestCents = 0;
    qint64 m_payoutCents = 0;
    std::vector<int> m_notCalculated;
};
