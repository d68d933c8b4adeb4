// Number <-> text conversions, in the C locale and in a locale that writes "," for the point.
#include "rules/NumberText.h"

#include <QLocale>
#include <QScopeGuard>
#include <QTest>
#include <clocale>
#include <limits>

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void general_data();
    void general();
    void moneyOfCents_data();
    void moneyOfCents();
    void centsAsPrinted();
    void debtAmount_data();
    void debtAmount();
    void numeric_data();
    void numeric();
    void commaLocaleChangesNothing();
};

void TestNumberText::general_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 2500.0 << "2500";
    QTest::newRow("one decimal") << 2500.5 << "2500.5";
    QTest::newRow("below one") << 0.25 << "0.25";
    QTest::newRow("rate") << 18.9 << "18.9";
    QTest::newRow("1200.50") << 1200.50 << "1200.5";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("ten digits") << 9999999999.0 << "9999999999";
    QTest::newRow("15 significant digits") << 123456789.123456 << "123456789.123456";
    QTest::newRow("noise cut at 15 digits") << 0.1 + 0.2 << "0.3";
    QTest::newRow("leading zero typed") << 250.5 << "250.5";
    QTest::newRow("small rate, no exponent") << 0.00001 << "0.00001";
    QTest::newRow("smallest typed balance") << 0.000000001 << "0.000000001";
    QTest::newRow("rounds at 15 digits") << 2.0 / 3 << "0.666666666666667";
    QTest::newRow("negative") << -4.85 << "-4.85";
    QTest::newRow("huge uses an exponent") << 1e20 << "1e+20";
}

void TestNumberText::general() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(NumberText::general(value), text);
}

void TestNumberText::moneyOfCents_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("sum of cents with noise") << 183.67999999999998 << "$183.68";
    QTest::newRow("under a dollar") << 0.15 << "$.15";
    QTest::newRow("zero") << 0.0 << "$.00";
    QTest::newRow("one decimal") << 12345.6 << "$12345.60";
    QTest::newRow("whole") << 105.0 << "$105.00";
    QTest::newRow("half cent away from zero") << 0.125 << "$.13";
    QTest::newRow("cents adding up to dollars") << 9.99 + 0.01 << "$10.00";
    QTest::newRow("below half a cent") << 0.004 << "$.00";
    QTest::newRow("just a cent") << 0.01 << "$.01";
    QTest::newRow("large") << 21474836.47 << "$21474836.47";
    QTest::newRow("negative") << -4.85 << "-$4.85";
    QTest::newRow("sum of two payouts") << 1359.21 + 10.15 << "$1369.36";
}

// An amount as the report prints it: first in whole cents, which the totals add up.
void TestNumberText::moneyOfCents() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(NumberText::moneyFromCents(NumberText::cents(value).value()), text);
}

void TestNumberText::centsAsPrinted() {
    QCOMPARE(NumberText::cents(0.15), 15);
    QCOMPARE(NumberText::cents(359.21), 35921);
    QCOMPARE(NumberText::cents(-4.85), -485);
    QCOMPARE(NumberText::cents(0.0), 0);
    QCOMPARE(NumberText::cents(qInf()), std::nullopt);
    QCOMPARE(NumberText::moneyFromCents(std::numeric_limits<qint64>::min()),
             QStringLiteral("-$92233720368547758.08"));
}

void TestNumberText::debtAmount_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    QTest::newRow("digits") << "2500" << true << 2500.0;
    QTest::newRow("leading zeros") << "0250.50" << true << 250.5;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("trailing point") << "12." << true << 12.0;
    QTest::newRow("zero forms") << "0." << true << 0.0;
    QTest::newRow(".0") << ".0" << true << 0.0;
    QTest::newRow("00") << "00" << true << 0.0;
    QTest::newRow("lone point") << "." << false << 0.0;
    QTest::newRow("two points") << "1.2.3" << false << 0.0;
    QTest::newRow("double point") << "12..5" << false << 0.0;
    QTest::newRow("letters") << "12abc" << false << 0.0;
    QTest::newRow("sign") << "-5" << false << 0.0;
    QTest::newRow("blank inside") << "1 000" << false << 0.0;
    QTest::newRow("comma") << "1,5" << false << 0.0;
    QTest::newRow("exponent") << "1e5" << false << 0.0;
    QTest::newRow("other digits") << QString::fromUtf8("\u0661\u0662") << false << 0.0;
    QTest::newRow("trailing line break") << "12\n" << false << 0.0;
    QTest::newRow("too large for a double") << QString(400, u'9') << false << 0.0;
    QTest::newRow("too small to tell from 0") << "0." + QString(400, u'0') + "1" << true << 0.0;
}

void TestNumberText::debtAmount() {
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const auto amount = NumberText::debtAmount(text);
    QCOMPARE(amount.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*amount, value);
}

void TestNumberText::numeric_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::newRow("blanks around") << " 12207 " << true;
    QTest::newRow("sign") << "+15185550100" << true;
    QTest::newRow("exponent") << "1e5" << true;
    QTest::newRow("trailing point") << "12." << true;
    QTest::newRow("plain") << "5550100" << true;
    QTest::newRow("negative decimal") << "-1.5E-3" << true;
    QTest::newRow("zip plus four") << "12345-6789" << false;
    QTest::newRow("phone with hyphen") << "555-0100" << false;
    QTest::newRow("blank between digits") << "12 34" << false;
    QTest::newRow("two points") << "1.2.3" << false;
    QTest::newRow("letter") << "12a" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("lone point") << "." << false;
    QTest::newRow("blanks only") << "   " << false;
    QTest::newRow("letters") << "abc" << false;
    QTest::newRow("trailing line break") << "0\n" << false;
}

void TestNumberText::numeric() {
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(NumberText::isNumeric(text), numeric);
}

void TestNumberText::commaLocaleChangesNothing() {
    const QLocale before;
    const std::string cBefore = std::setlocale(LC_ALL, nullptr);
    const auto restore = qScopeGuard([&] {
        QLocale::setDefault(before);
        std::setlocale(LC_ALL, cBefore.c_str());
    });
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_ALL, "de_DE.UTF-8"); // may be missing; QLocale is set either way

    QCOMPARE(NumberText::general(2500.5), QStringLiteral("2500.5"));
    QCOMPARE(NumberText::general(1234567.25), QStringLiteral("1234567.25"));
    QCOMPARE(NumberText::moneyFromCents(35921), QStringLiteral("$359.21"));
    QCOMPARE(NumberText::debtAmount(QStringLiteral("18.5")).value_or(-1), 18.5);
    QVERIFY(!NumberText::debtAmount(QStringLiteral("18,5")));
    QVERIFY(NumberText::isNumeric(QStringLiteral("12.5")));
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
