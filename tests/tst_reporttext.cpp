// The lines of the results report from the debts' results: the time lines, the numbering,
// and totals that add up the printed cents. (A debt whose payoff fails is followed through
// the real window, in the wizard's tests.)
#include "model/clsDebt.h"
#include "rules/ReportText.h"

#include <QTest>

namespace {

struct DebtInput {
    double balance, rate, payment;
};

// The report's lines for these debts, each calculated first.
QStringList reportFor(const QList<DebtInput>& debts) {
    ReportText report;
    QStringList lines;
    for (const DebtInput& input : debts) {
        clsDebt debt;
        debt.setBalance(input.balance);
        debt.setInterestRate(input.rate);
        debt.setMinPayment(input.payment);
        debt.CalculatePayout();
        lines += report.debtBlock(debt, true);
    }
    return lines + report.totals();
}

} // namespace

class TestReportText : public QObject {
    Q_OBJECT

private slots:
    void timeLinesAndNumbering();
};

void TestReportText::timeLinesAndNumbering() {
    const QList<DebtInput> debts = {{200, 12, 30},  {200, 12, 25},  {1000, 18, 90}, {250.5, 18, 25},
                                    {10, 18, 5},    {1000, 18, 25}, {103, 6, 15},   {15, 18, 1},
                                    {5000, 24, 50}, {200, 6, 20}};
    const QStringList lines = reportFor(debts);
    QCOMPARE(lines.size(), 10 * 9 + 9);
    const QStringList times = {"1 year, 0 months",  "1 year, 1 month",   "3 years, 0 months",
                               "1 year, 5 months",  "0 years, 2 months", "9 years, 5 months",
                               "0 years, 7 months", "0 years, 2 months", "23 years, 9 months",
                               "1 year, 2 months"};
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(lines[i * 9 + 1], QStringLiteral("Debt #%1").arg(i + 1));
        QCOMPARE(lines[i * 9 + 4], "Time till payoff:\t" + times[i]);
    }
    QCOMPARE(lines[3 * 9 + 3], QStringLiteral("Starting Balance: \t250.5"));
    QCOMPARE(lines[94], QStringLiteral("Time till payoff:\t23 years, 9 months"));

    // The totals are the sums of the amounts as printed.
    qint64 interest = 0;
    qint64 payout = 0;
    for (int i = 0; i < 10; ++i) {
        interest += qRound64(lines[i * 9 + 5].section(u'$', 1).toDouble() * 100);
        payout += qRound64(lines[i * 9 + 6].section(u'$', 1).toDouble() * 100);
    }
    QCOMPARE(qRound64(lines[95].section(u'$', 1).toDouble() * 100), interest);
    QCOMPARE(qRound64(lines[96].section(u'$', 1).toDouble() * 100), payout);
}

QTEST_APPLESS_MAIN(TestReportText)
#include "tst_reporttext.moc"
