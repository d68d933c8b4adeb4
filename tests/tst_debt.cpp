// The debt record and its payoff simulation.
#include "model/clsDebt.h"

#include <QTest>
#include <cmath>
#include <random>

namespace {

// Whole cents of an amount that is a sum of cent values, checking it lies within noise of
// that cent value.
qint64 cents(double amount) {
    const double scaled = amount * 100;
    const qint64 rounded = std::llround(scaled);
    if (std::fabs(scaled - static_cast<double>(rounded)) > 1e-4)
        qWarning("%.17g is not a whole number of cents", amount);
    return rounded;
}

clsDebt makeDebt(double balance, double rate, double payment) {
    clsDebt debt;
    debt.setBalance(balance);
    debt.setInterestRate(rate);
    debt.setMinPayment(payment);
    return debt;
}

} // namespace

class TestDebt : public QObject {
    Q_OBJECT

private slots:
    void wholeRuns_data();
    void wholeRuns();
    void roundingTiesToEvenOnTheComputedDouble();
    void roundingRangeIs32Bit();
    void failures_data();
    void failures();
    void resultsBeforeAndAfterWrites();
    void negativeBalancePaysNothing();
    void repeatedRunsAgree();
    void largestAcceptedInputsEndOrOverflow();
};

void TestDebt::wholeRuns_data() {
    QTest::addColumn<double>("balance");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("payment");
    QTest::addColumn<int>("months");
    QTest::addColumn<qint64>("interestCents");
    QTest::addColumn<qint64>("payoutCents");

    QTest::newRow("1000 at 18 with 25, floor from month 52")
        << 1000.0 << 18.0 << 25.0 << 113 << 92309LL << 192309LL;
    QTest::newRow("ratio 0.02 raised to r + 0.01")
        << 1000.0 << 18.0 << 20.0 << 113 << 92309LL << 192309LL;
    QTest::newRow("ratio above the bound stays")
        << 1000.0 << 18.0 << 50.0 << 58 << 35921LL << 135921LL;
    QTest::newRow("payment below the interest still pays off")
        << 5000.0 << 24.0 << 50.0 << 285 << 933194LL << 1433194LL;
    QTest::newRow("interest 0.905 rounds to 0.90")
        << 200.0 << 6.0 << 20.0 << 14 << 688LL << 20688LL;
    QTest::newRow("balance exactly 15.00 after month 6")
        << 103.0 << 6.0 << 15.0 << 7 << 200LL << 10500LL;
    QTest::newRow("first payment exceeds the balance")
        << 10.0 << 18.0 << 5.0 << 2 << 15LL << 1015LL;
    QTest::newRow("balance at the floor") << 15.0 << 18.0 << 1.0 << 2 << 22LL << 1522LL;
    QTest::newRow("12 months") << 200.0 << 12.0 << 30.0 << 12 << -1LL << -1LL;
    QTest::newRow("13 months") << 200.0 << 12.0 << 25.0 << 13 << -1LL << -1LL;
    QTest::newRow("36 months") << 1000.0 << 18.0 << 90.0 << 36 << -1LL << -1LL;
}

void TestDebt::wholeRuns() {
    QFETCH(double, balance);
    QFETCH(double, rate);
    QFETCH(double, payment);
    QFETCH(int, months);
    QFETCH(qint64, interestCents);
    QFETCH(qint64, payoutCents);

    clsDebt debt = makeDebt(balance, rate, payment);
    const double returned = debt.CalculatePayout();

    QCOMPARE(debt.totalMonths(), months);
    QCOMPARE(returned, debt.totalPayout());
    if (interestCents >= 0) {
        QCOMPARE(cents(debt.totalInterestPaid()), interestCents);
        QCOMPARE(cents(debt.totalPayout()), payoutCents);
    }
    // A whole-cent balance is paid off with exactly its interest on top.
    QCOMPARE(cents(debt.totalPayout()), cents(balance) + cents(debt.totalInterestPaid()));
    QCOMPARE(debt.balance(), balance);
    QCOMPARE(debt.interestRate(), rate);
    QCOMPARE(debt.minPayment(), payment);
}

void TestDebt::roundingTiesToEvenOnTheComputedDouble() {
    QCOMPARE(payout::roundScaled(90.5, 1), 90.0);
    QCOMPARE(payout::roundScaled(91.5, 1), 92.0);
    QCOMPARE(payout::roundScaled(12.5, 1), 12.0);
    QCOMPARE(payout::roundScaled(-12.5, 1), -12.0);
    QCOMPARE(payout::roundScaled(-13.5, 1), -14.0);
    // A negative value that rounds to zero is zero, not -0.
    QVERIFY(!std::signbit(payout::roundScaled(-0.4, 1)));
    QVERIFY(!std::signbit(payout::roundScaled(-0.5, 1)));
    // 181 * 0.005 scales to exactly 90.5; 0.015 * 15 scales to just below 22.5.
    QCOMPARE(payout::roundCents(181 * 0.005), 0.9);
    QCOMPARE(payout::roundCents(0.015 * 15), 0.22);
    QCOMPARE(payout::roundFivePlaces(18.0 / 12 / 100), 0.015);
    QCOMPARE(payout::roundFivePlaces(19.99 / 12 / 100), 0.01666);
    QCOMPARE(payout::roundFivePlaces(25.0 / 1000), 0.025);
}

void TestDebt::roundingRangeIs32Bit() {
    QCOMPARE(payout::roundScaled(2147483647.0, 1), 2147483647.0);
    QCOMPARE(payout::roundScaled(-2147483648.0, 1), -2147483648.0);
    QCOMPARE(payout::roundScaled(2147483646.5, 1), 2147483646.0);
    QVERIFY_THROWS_EXCEPTION(PayoutError, payout::roundScaled(2147483647.5, 1));
    QVERIFY_THROWS_EXCEPTION(PayoutError, payout::roundScaled(-2147483648.6, 1));
    QCOMPARE(payout::roundCents(21474836.47), 21474836.47);
    QVERIFY_THROWS_EXCEPTION(PayoutError, payout::roundCents(21474836.48));
    QVERIFY_THROWS_EXCEPTION(PayoutError, payout::roundCents(HUGE_VAL));
    try {
        payout::roundCents(std::nan(""));
        QFAIL("NaN was rounded");
    } catch (const PayoutError& error) {
        QCOMPARE(error.kind(), PayoutError::Kind::InvalidOperation);
    }
}

void TestDebt::failures_data() {
    QTest::addColumn<double>("balance");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("payment");
    QTest::addColumn<int>("kind");

    const int divide = int(PayoutError::Kind::DivisionByZero);
    const int invalid = int(PayoutError::Kind::InvalidOperation);
    const int overflow = int(PayoutError::Kind::Overflow);
    QTest::newRow("zero balance") << 0.0 << 18.0 << 25.0 << divide;
    QTest::newRow("zero balance and payment") << 0.0 << 18.0 << 0.0 << invalid;
    QTest::newRow("30,000,000 overflows in month 1") << 30000000.0 << 18.0 << 1.0 << overflow;
    QTest::newRow("ratio 30,000 overflows") << 1.0 << 18.0 << 30000.0 << overflow;
    QTest::newRow("rate too large") << 1000.0 << 1e12 << 25.0 << overflow;
    QTest::newRow("NaN rate") << 1000.0 << std::nan("") << 25.0 << invalid;
    QTest::newRow("infinite balance") << HUGE_VAL << 18.0 << 25.0 << overflow;
}

void TestDebt::failures() {
    QFETCH(double, balance);
    QFETCH(double, rate);
    QFETCH(double, payment);
    QFETCH(int, kind);

    // State: results of an earlier good run.
    clsDebt debt = makeDebt(1000, 18, 50);
    debt.CalculatePayout();
    debt.setBalance(balance);
    debt.setInterestRate(rate);
    debt.setMinPayment(payment);

    try {
        debt.CalculatePayout();
        QFAIL("the calculation did not fail");
    } catch (const PayoutError& error) {
        QCOMPARE(int(error.kind()), kind);
        QVERIFY(!std::string(error.what()).empty());
    }
    QCOMPARE(debt.totalMonths(), 58);
    QCOMPARE(cents(debt.totalInterestPaid()), 35921);
    QCOMPARE(cents(debt.totalPayout()), 135921);
}

void TestDebt::resultsBeforeAndAfterWrites() {
    clsDebt debt;
    QCOMPARE(debt.balance(), 0.0);
    QCOMPARE(debt.interestRate(), 0.0);
    QCOMPARE(debt.minPayment(), 0.0);
    QCOMPARE(debt.totalMonths(), 0);
    QCOMPARE(debt.totalPayout(), 0.0);
    QCOMPARE(debt.totalInterestPaid(), 0.0);

    debt = makeDebt(200, 6, 20);
    debt.CalculatePayout();
    debt.setBalance(5000);
    debt.setInterestRate(24);
    QCOMPARE(debt.totalMonths(), 14);
    QCOMPARE(cents(debt.totalPayout()), 20688);
    debt.CalculatePayout();
    QCOMPARE(debt.totalMonths(), 285); // 5000 at 24 % with 20: the ratio is raised to 0.03
}

void TestDebt::negativeBalancePaysNothing() {
    clsDebt debt = makeDebt(-500, 18, 25);
    QCOMPARE(debt.CalculatePayout(), 0.0);
    QCOMPARE(debt.totalMonths(), 0);
    QCOMPARE(debt.totalInterestPaid(), 0.0);
}

void TestDebt::repeatedRunsAgree() {
    clsDebt debt = makeDebt(12345.67, 19.99, 123.45);
    debt.CalculatePayout();
    const auto months = debt.totalMonths();
    const double payout = debt.totalPayout();
    const double interest = debt.totalInterestPaid();
    debt.CalculatePayout();
    QCOMPARE(debt.totalMonths(), months);
    QCOMPARE(debt.totalPayout(), payout);
    QCOMPARE(debt.totalInterestPaid(), interest);
}

// The debt pages accept up to ten balance digits, a rate up to 100 and eight payment
// digits. Every such debt either overflows or ends within the 16-bit month count, and then
// pays exactly its balance plus its interest.
void TestDebt::largestAcceptedInputsEndOrOverflow() {
    clsDebt longest = makeDebt(21474836.47, 0.0001, 0.01);
    longest.CalculatePayout();
    QVERIFY(longest.totalMonths() > 1000);
    QVERIFY(longest.totalMonths() < 2000);

    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<qint64> balanceCents(1, 2200000000LL);
    std::uniform_int_distribution<int> rateHundredths(1, 10000);
    std::uniform_int_distribution<qint64> paymentCents(1, 9999999999LL);
    int succeeded = 0;
    for (int i = 0; i < 3000; ++i) {
        clsDebt debt = makeDebt(static_cast<double>(balanceCents(random)) / 100,
                                rateHundredths(random) / 100.0,
                                static_cast<double>(paymentCents(random)) / 100);
        try {
            debt.CalculatePayout();
        } catch (const PayoutError& error) {
            QCOMPARE(error.kind(), PayoutError::Kind::Overflow);
            continue;
        }
        ++succeeded;
        QVERIFY(debt.totalMonths() >= 1);
        QCOMPARE(cents(debt.totalPayout()),
                 cents(debt.balance()) + cents(debt.totalInterestPaid()));
    }
    QVERIFY(succeeded > 100);
}

QTEST_GUILESS_MAIN(TestDebt)
#include "tst_debt.moc"
