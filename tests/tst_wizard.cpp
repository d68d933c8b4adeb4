// The calculator driven through the real main window: typing, the checks of a debt page,
// the results report, and the navigation between the pages.
#include "TestSupport.h"
#include "app/modGeneral.h"
#include "forms/frmGetHelp.h"
#include "forms/frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

using namespace modGeneral;

namespace {

struct DebtInput {
    QString balance, rate, payment;
};

frmMain* form() {
    return MainForm();
}

void click(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// Chooses the number of debts and goes to debt page 1.
void chooseCount(int count) {
    form()->cboNumDebts->setCurrentIndex(count - 1);
    click(form()->cmdNext);
}

void fillPage(const DebtInput& debt) {
    retype(form()->txtBalance, debt.balance);
    retype(form()->txtInterestRate, debt.rate);
    retype(form()->txtMinimumPayment, debt.payment);
}

// From the number-of-debts page, enters every debt and runs the report.
void runReportFor(const QList<DebtInput>& debts) {
    chooseCount(static_cast<int>(debts.size()));
    for (const DebtInput& debt : debts) {
        fillPage(debt);
        click(form()->cmdNext);
    }
}

QString report(const QStringList& lines) {
    return lines.join(QStringLiteral("\r\n")) + "\r\n";
}

const QString kRule = QStringLiteral("--------------");
const QString kNote = QStringLiteral("* Calculations assume consumer makes minimum payments for "
                                     "the duration of the loan and incurs no new debt.");

QStringList debtBlock(int number, const QString& balance, const QString& time,
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

QStringList totalsBlock(const QString& time, const QString& interest, const QString& payout) {
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

int lineCount(const QString& text) {
    return static_cast<int>(text.count(QStringLiteral("\r\n")));
}

} // namespace

class TestWizard : public QObject {
    Q_OBJECT

private slots:
    void init() { startProgram(); }
    void cleanupTestCase() { Shutdown(); }

    void typing_data();
    void typing();
    void tabWalksTheShownControls();
    void refusals_data();
    void refusals();
    void refusalOnTheLastPageStartsNothing();
    void enterInADebtBoxPressesNext();
    void tinyValuesComeBackAsTheyWereTyped();
    void saveStoresAllThreeValues();
    void failedSaveKeepsEarlierValues();

    void oneDebtReport();
    void twoDebtReport();
    void failedDebtIsLeftOutOfTotals();
    void reportRunState();
    void cancelEndsAtABlockBoundary_data();
    void cancelEndsAtABlockBoundary();
    void secondRunGivesTheSameText();
    void typingDuringTheRunStaysInTheReport();

    void firstNextCreatesTheDebts();
    void backKeepsCountAndSavedValues();
    void differentCountEmptiesEveryPage();
    void backDropsUnsavedTyping();
    void resultsPageKeys();
    void closingDuringReportStopsTheRun();
    void closingDuringReportEndsTheProgram();
    void closingWithAWarningOpenEndsTheProgram();

    void doubleClickTypingLimitAndPastes();
};

void TestWizard::typing_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("cursor");
    // Every row starts from "12.5" with the cursor after "12".
    const int none = Qt::NoModifier;
    QTest::newRow("minus") << int(Qt::Key_Minus) << none << "12.5" << 2;
    QTest::newRow("comma") << int(Qt::Key_Comma) << none << "12.5" << 2;
    QTest::newRow("space") << int(Qt::Key_Space) << none << "12.5" << 2;
    QTest::newRow("letter") << int(Qt::Key_A) << none << "12.5" << 2;
    QTest::newRow("capital") << int(Qt::Key_E) << int(Qt::ShiftModifier) << "12.5" << 2;
    QTest::newRow("plus") << int(Qt::Key_Plus) << none << "12.5" << 2;
    QTest::newRow("digit") << int(Qt::Key_7) << none << "127.5" << 3;
    QTest::newRow("point, even a second one") << int(Qt::Key_Period) << none << "12..5" << 3;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << none << "1.5" << 1;
    QTest::newRow("delete") << int(Qt::Key_Delete) << none << "125" << 2;
    QTest::newRow("left") << int(Qt::Key_Left) << none << "12.5" << 1;
    QTest::newRow("right") << int(Qt::Key_Right) << none << "12.5" << 3;
    QTest::newRow("home") << int(Qt::Key_Home) << none << "12.5" << 0;
    QTest::newRow("end") << int(Qt::Key_End) << none << "12.5" << 4;
    QTest::newRow("ctrl+v pastes nothing")
        << int(Qt::Key_V) << int(Qt::ControlModifier) << "12.5" << 2;
    QTest::newRow("ctrl+x cuts nothing")
        << int(Qt::Key_X) << int(Qt::ControlModifier) << "12.5" << 2;
}

void TestWizard::typing() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, after);
    QFETCH(int, cursor);
    QGuiApplication::clipboard()->setText(QStringLiteral("99"));
    chooseCount(1);
    for (QLineEdit* box :
         {form()->txtBalance, form()->txtInterestRate, form()->txtMinimumPayment}) {
        box->setFocus();
        box->setText(QStringLiteral("12.5"));
        box->setCursorPosition(2);
        if (key == Qt::Key_X)
            box->setSelection(0, 2);
        QTest::keyClick(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(box->text(), after);
        if (key != Qt::Key_X)
            QCOMPARE(box->cursorPosition(), cursor);
    }
}

void TestWizard::tabWalksTheShownControls() {
    chooseCount(2);
    frmMain* window = form();
    QTRY_COMPARE(QApplication::focusWidget(), window->txtBalance);
    const QList<QWidget*> order = {window->txtInterestRate, window->txtMinimumPayment,
                                   window->cmdNext, window->cmdBack, window->txtBalance};
    for (QWidget* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), expected);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), window->cmdBack);
    QCOMPARE(g_nCurrentPage, 1); // Tab never pressed a button
}

void TestWizard::refusals_data() {
    QTest::addColumn<QString>("balance");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("payment");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("box");

    QTest::newRow("all blank") << ""
                               << ""
                               << ""
                               << "Balance can not be blank"
                               << "txtBalance";
    QTest::newRow("balance 0.00") << "0.00"
                                  << "18"
                                  << "25"
                                  << "Balance can not be zero"
                                  << "txtBalance";
    QTest::newRow("balance .") << "."
                               << "18"
                               << "25"
                               << "Balance must be a number"
                               << "txtBalance";
    QTest::newRow("balance 1.2.3") << "1.2.3"
                                   << ""
                                   << ""
                                   << "Balance must be a number"
                                   << "txtBalance";
    QTest::newRow("balance pasted letters") << "12abc"
                                            << "18"
                                            << "25"
                                            << "Balance must be a number"
                                            << "txtBalance";
    QTest::newRow("rate blank") << "1000"
                                << ""
                                << ""
                                << "Interest rate can not be blank"
                                << "txtInterestRate";
    QTest::newRow("rate 12..5") << "1000"
                                << "12..5"
                                << "25"
                                << "Interest rate must be a number"
                                << "txtInterestRate";
    QTest::newRow("rate 0 before blank payment") << "1000"
                                                 << "0"
                                                 << ""
                                                 << "Interest rate can not be zero"
                                                 << "txtInterestRate";
    QTest::newRow("rate 100.5") << "1000"
                                << "100.5"
                                << "25"
                                << "Interest rate cannot be greater than 100%"
                                << "txtInterestRate";
    QTest::newRow("rate 100 passes") << "1000"
                                     << "100"
                                     << ""
                                     << "Minimum payment can not be blank"
                                     << "txtMinimumPayment";
    QTest::newRow("payment .") << "1000"
                               << "18"
                               << "."
                               << "Minimum payment must be a number"
                               << "txtMinimumPayment";
    QTest::newRow("payment 0.") << "1000"
                                << "18"
                                << "0."
                                << "Minimum payment can not be zero"
                                << "txtMinimumPayment";
}

void TestWizard::refusals() {
    QFETCH(QString, balance);
    QFETCH(QString, rate);
    QFETCH(QString, payment);
    QFETCH(QString, message);
    QFETCH(QString, box);
    chooseCount(2);
    frmMain* window = form();
    window->txtBalance->setText(balance);
    window->txtInterestRate->setText(rate);
    window->txtMinimumPayment->setText(payment);
    window->txtBalance->setFocus();

    MessageBoxWatcher watcher;
    click(window->cmdNext);

    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(watcher.seen[0].text, message);
    QCOMPARE(watcher.seen[0].title, QStringLiteral("Quillaby"));
    QCOMPARE(watcher.seen[0].icon, QMessageBox::Warning);
    QCOMPARE(watcher.seen[0].buttonCount, 1);
    auto* highlighted = window->findChild<QLineEdit*>(box);
    QTRY_COMPARE(QApplication::focusWidget(), highlighted);
    QCOMPARE(highlighted->selectionStart(), highlighted->text().isEmpty() ? -1 : 0);
    QCOMPARE(highlighted->selectedText(), highlighted->text());
    QCOMPARE(g_nCurrentPage, 1);
    QVERIFY(window->fraDebt->isVisible());
    QCOMPARE(g_colDebts.item("1")->balance(), 0.0);
    QCOMPARE(g_colDebts.item("1")->interestRate(), 0.0);
    QCOMPARE(g_colDebts.item("1")->minPayment(), 0.0);
}

void TestWizard::refusalOnTheLastPageStartsNothing() {
    chooseCount(1);
    fillPage({"1000", "101", "25"});
    MessageBoxWatcher watcher;
    click(form()->cmdNext);
    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(g_nCurrentPage, 1);
    QVERIFY(form()->fraDebt->isVisible());
    QVERIFY(!form()->fraResults->isVisible());
    QVERIFY(form()->cmdNext->isVisible());
    QVERIFY(form()->cmdBack->isVisible());
    QVERIFY(!form()->cmdCancel->isVisible());
    QCOMPARE(form()->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(form()->lblResults->text().isEmpty());
    QVERIFY(resultsText(form()).isEmpty());
}

void TestWizard::enterInADebtBoxPressesNext() {
    chooseCount(2);
    fillPage({"1000", "18", "25"});
    QTest::keyClick(form()->txtMinimumPayment, Qt::Key_Return);
    QCOMPARE(g_nCurrentPage, 2);
    QCOMPARE(g_colDebts.item("1")->minPayment(), 25.0);
    fillPage({"10", "18", "5"});
    QTest::keyClick(form()->txtBalance, Qt::Key_Enter);
    QCOMPARE(g_nCurrentPage, 3);
    QCOMPARE(form()->lblResults->text(), QStringLiteral("Done"));
}

// Values accepted once are accepted again when the page is shown anew.
void TestWizard::tinyValuesComeBackAsTheyWereTyped() {
    chooseCount(1);
    fillPage({".000000001", ".00001", ".0000001"});
    std::int16_t page = 1;
    QVERIFY(SaveDebtPage(page));
    form()->showDebtPage(1);
    QCOMPARE(form()->txtBalance->text(), QStringLiteral("0.000000001"));
    QCOMPARE(form()->txtInterestRate->text(), QStringLiteral("0.00001"));
    QCOMPARE(form()->txtMinimumPayment->text(), QStringLiteral("0.0000001"));
    MessageBoxWatcher watcher;
    QVERIFY(SaveDebtPage(page));
    QVERIFY(watcher.seen.isEmpty());
}

void TestWizard::saveStoresAllThreeValues() {
    chooseCount(3);
    fillPage({"100", "5", "15"});
    click(form()->cmdNext);
    fillPage({"2500", "18", "50"});
    std::int16_t page = 2;
    QVERIFY(SaveDebtPage(page));
    QCOMPARE(page, 2);
    QCOMPARE(g_colDebts.item("2")->balance(), 2500.0);
    QCOMPARE(g_colDebts.item("2")->interestRate(), 18.0);
    QCOMPARE(g_colDebts.item("2")->minPayment(), 50.0);
    QCOMPARE(g_colDebts.item("1")->balance(), 100.0);
    QCOMPARE(g_colDebts.item("3")->balance(), 0.0);
}

void TestWizard::failedSaveKeepsEarlierValues() {
    chooseCount(2);
    fillPage({"0250.50", "19.99", "25"});
    click(form()->cmdNext);
    click(form()->cmdBack);
    fillPage({"300", "", "30"});
    MessageBoxWatcher watcher;
    click(form()->cmdNext);
    QCOMPARE(watcher.seen.size(), 1);
    const clsDebt* debt = g_colDebts.item("1");
    QCOMPARE(debt->balance(), 250.5);
    QCOMPARE(debt->interestRate(), 19.99);
    QCOMPARE(debt->minPayment(), 25.0);
}

void TestWizard::oneDebtReport() {
    runReportFor({{"200", "6", "20"}});
    const QStringList lines = debtBlock(1, "200", "1 year, 2 months", "$6.88", "$206.88") +
                              totalsBlock("1 year, 2 months", "$6.88", "$206.88");
    QCOMPARE(lines.size(), 18);
    QCOMPARE(resultsText(form()), report(lines));
    // The box shows the report line by line.
    const QTextDocument* document = form()->txtResults->document();
    for (int i = 0; i < lines.size(); ++i)
        QCOMPARE(document->findBlockByNumber(i).text(), lines[i]);
    QCOMPARE(form()->lblResults->text(), QStringLiteral("Done"));
}

void TestWizard::twoDebtReport() {
    runReportFor({{"1000", "18", "50"}, {"10", "18", "5"}});
    const QStringList lines = debtBlock(1, "1000", "4 years, 10 months", "$359.21", "$1359.21") +
                              debtBlock(2, "10", "0 years, 2 months", "$.15", "$10.15") +
                              totalsBlock("4 years, 10 months", "$359.36", "$1369.36");
    QCOMPARE(resultsText(form()), report(lines));
}

void TestWizard::failedDebtIsLeftOutOfTotals() {
    runReportFor(
        {{"1000", "18", "50"}, {"30000000", "18", "1"}, {"10", "18", "5"}, {"1", "18", "30000"}});
    const QStringList failed2 = {kRule,
                                 "Debt #2",
                                 kRule,
                                 "Starting Balance: \t30000000",
                                 "Payoff could not be calculated: the amounts are out of range.",
                                 "",
                                 ""};
    const QStringList failed4 = {kRule,
                                 "Debt #4",
                                 kRule,
                                 "Starting Balance: \t1",
                                 "Payoff could not be calculated: the amounts are out of range.",
                                 "",
                                 ""};
    const QStringList lines = debtBlock(1, "1000", "4 years, 10 months", "$359.21", "$1359.21") +
                              failed2 + debtBlock(3, "10", "0 years, 2 months", "$.15", "$10.15") +
                              failed4 + totalsBlock("4 years, 10 months", "$359.36", "$1369.36") +
                              QStringList{"* Debt #2 is not included in the totals.",
                                          "* Debt #4 is not included in the totals."};
    QCOMPARE(resultsText(form()), report(lines));
    QCOMPARE(form()->lblResults->text(), QStringLiteral("Done"));
}

void TestWizard::reportRunState() {
    chooseCount(2);
    fillPage({"1000", "18", "50"});
    click(form()->cmdNext);
    fillPage({"10", "18", "5"});

    struct Seen {
        bool busyCursor, cancelShown, nextShown, backShown, resultsShown, numDebtsShown;
        QString status;
    };
    QList<Seen> during;
    QTimer::singleShot(0, this, [&] {
        frmMain* window = form();
        during.append({window->cursor().shape() == Qt::BusyCursor, window->cmdCancel->isVisible(),
                       window->cmdNext->isVisible(), window->cmdBack->isVisible(),
                       window->fraResults->isVisible(), window->fraNumDebts->isVisible(),
                       window->lblResults->text()});
        // Enter cannot start a second run while this one is going.
        QTest::keyClick(window, Qt::Key_Return);
    });
    click(form()->cmdNext);

    QCOMPARE(during.size(), 1);
    QVERIFY(during[0].busyCursor);
    QVERIFY(during[0].cancelShown);
    QVERIFY(!during[0].nextShown);
    QVERIFY(!during[0].backShown);
    QVERIFY(during[0].resultsShown);
    QVERIFY(!during[0].numDebtsShown);
    QCOMPARE(during[0].status, QStringLiteral("Calculating"));

    frmMain* window = form();
    QCOMPARE(lineCount(resultsText(window)), 27);
    QCOMPARE(window->lblResults->text(), QStringLiteral("Done"));
    QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(window->cmdBack->isVisible());
    QVERIFY(window->cmdGetHelp->isVisible());
    QVERIFY(!window->cmdNext->isVisible());
    QVERIFY(!window->cmdCancel->isVisible());
    QVERIFY(!window->cancelPressed());
    QCOMPARE(g_nCurrentPage, 3);
}

void TestWizard::cancelEndsAtABlockBoundary_data() {
    QTest::addColumn<int>("cancelAfter");
    QTest::newRow("during debt 1") << 1;
    QTest::newRow("during debt 2") << 2;
    QTest::newRow("during the last debt") << 3;
}

void TestWizard::cancelEndsAtABlockBoundary() {
    QFETCH(int, cancelAfter);
    chooseCount(3);
    for (int i = 0; i < 2; ++i) {
        fillPage({"1000", "18", "50"});
        click(form()->cmdNext);
    }
    fillPage({"10", "18", "5"});

    bool cancelHidAtOnce = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (lineCount(resultsText(form())) >= 9 * cancelAfter) {
            poll.stop();
            click(form()->cmdCancel);
            cancelHidAtOnce = !form()->cmdCancel->isVisible();
        }
    });
    poll.start(0);
    click(form()->cmdNext);

    QVERIFY(cancelHidAtOnce);
    QCOMPARE(lineCount(resultsText(form())), 9 * cancelAfter);
    QVERIFY(!resultsText(form()).contains(QStringLiteral("Totals")));
    QCOMPARE(form()->lblResults->text(), QStringLiteral("Cancelled by user"));
    QVERIFY(!form()->cancelPressed());
    QVERIFY(form()->cmdBack->isVisible());
    QVERIFY(form()->cmdGetHelp->isVisible());
    QVERIFY(!form()->cmdCancel->isVisible());

    // The old click does not cancel the next run.
    click(form()->cmdBack);
    click(form()->cmdNext);
    QCOMPARE(lineCount(resultsText(form())), 3 * 9 + 9);
    QCOMPARE(form()->lblResults->text(), QStringLiteral("Done"));
}

void TestWizard::secondRunGivesTheSameText() {
    runReportFor({{"1000", "18", "50"}, {"10", "18", "5"}});
    const QString first = resultsText(form());
    click(form()->cmdBack);
    QCOMPARE(g_nCurrentPage, 2);
    QVERIFY(form()->fraDebt->isVisible());
    QCOMPARE(form()->txtBalance->text(), QStringLiteral("10"));
    QCOMPARE(resultsText(form()), first); // kept, hidden, until the next run
    QCOMPARE(form()->lblResults->text(), QStringLiteral("Done"));
    click(form()->cmdNext);
    QCOMPARE(resultsText(form()), first);
}

// The box stays editable during a run: what is typed at each pause stays, where the cursor
// was (the start, after every line written), and nothing of the report can be undone.
void TestWizard::typingDuringTheRunStaysInTheReport() {
    runReportFor({{"1000", "18", "50"}, {"10", "18", "5"}});
    const QString report = resultsText(form());
    click(form()->cmdBack);

    QTimer typist;
    int pauses = 0;
    connect(&typist, &QTimer::timeout, this, [&] {
        if (form()->cmdCancel->isVisible() && pauses < 2) {
            QTest::keyClick(form()->txtResults, static_cast<char>('a' + pauses));
            ++pauses;
        }
    });
    typist.start(0);
    click(form()->cmdNext);
    typist.stop();

    QCOMPARE(pauses, 2);
    QCOMPARE(resultsText(form()), QStringLiteral("ba") + report);
    QVERIFY(!form()->txtResults->document()->isUndoAvailable());
    QCOMPARE(form()->txtResults->textCursor().position(), 0);
}

void TestWizard::firstNextCreatesTheDebts() {
    click(form()->cmdNext);
    QCOMPARE(g_nNumDebts, 1);
    QCOMPARE(g_colDebts.count(), 1u);
    QVERIFY(g_colDebts.item("1") != nullptr);
    QCOMPARE(g_nCurrentPage, 1);
    QVERIFY(form()->txtBalance->text().isEmpty());
    QTRY_COMPARE(QApplication::focusWidget(), form()->txtBalance);

    // With one debt, its page is the last: Next saves it and runs the report.
    fillPage({"200", "6", "20"});
    click(form()->cmdNext);
    QCOMPARE(g_nCurrentPage, 2);
    QCOMPARE(form()->lblResults->text(), QStringLiteral("Done"));
}

void TestWizard::backKeepsCountAndSavedValues() {
    chooseCount(3);
    fillPage({"2500", "18.5", "50"});
    click(form()->cmdNext);
    click(form()->cmdBack);
    click(form()->cmdBack);
    QCOMPARE(g_nCurrentPage, 0);
    QVERIFY(form()->fraNumDebts->isVisible());
    QVERIFY(!form()->cmdBack->isVisible());
    QCOMPARE(form()->cboNumDebts->currentText(), QStringLiteral("3"));
    QTRY_COMPARE(QApplication::focusWidget(), form()->cboNumDebts);

    click(form()->cmdNext);
    QCOMPARE(form()->txtBalance->text(), QStringLiteral("2500"));
    QCOMPARE(form()->txtInterestRate->text(), QStringLiteral("18.5"));
    QCOMPARE(form()->txtMinimumPayment->text(), QStringLiteral("50"));
}

void TestWizard::differentCountEmptiesEveryPage() {
    chooseCount(2);
    fillPage({"2500", "18", "50"});
    click(form()->cmdNext);
    fillPage({"300", "12", "30"});
    click(form()->cmdBack);
    click(form()->cmdBack);
    chooseCount(3);
    QCOMPARE(g_colDebts.count(), 3u);
    for (int page = 1; page <= 3; ++page) {
        QVERIFY(form()->txtBalance->text().isEmpty());
        QVERIFY(form()->txtInterestRate->text().isEmpty());
        QVERIFY(form()->txtMinimumPayment->text().isEmpty());
        fillPage({"100", "10", "15"});
        if (page < 3)
            click(form()->cmdNext);
    }
    click(form()->cmdBack);
    click(form()->cmdBack);
    click(form()->cmdBack);
    chooseCount(1);
    QCOMPARE(g_colDebts.count(), 1u);
    QVERIFY(form()->txtBalance->text().isEmpty());
}

void TestWizard::backDropsUnsavedTyping() {
    chooseCount(2);
    fillPage({"500", "10", "20"});
    click(form()->cmdNext);
    fillPage({"999", "9", "99"});
    click(form()->cmdBack);
    QCOMPARE(form()->txtBalance->text(), QStringLiteral("500"));
    click(form()->cmdNext);
    QVERIFY(form()->txtBalance->text().isEmpty());
    QCOMPARE(g_colDebts.item("2")->balance(), 0.0);
}

void TestWizard::resultsPageKeys() {
    runReportFor({{"200", "6", "20"}});
    const QString text = resultsText(form());
    form()->cmdBack->setFocus();
    QTest::keyClick(form()->cmdBack, Qt::Key_Return, Qt::NoModifier);
    QCOMPARE(g_nCurrentPage, 1); // Enter on the focused Back button presses Back
    click(form()->cmdNext);
    QCOMPARE(g_nCurrentPage, 2);

    form()->cmdGetHelp->setFocus();
    form()->cmdGetHelp->setVisible(false); // Enter with nothing to press starts nothing
    QTest::keyClick(form(), Qt::Key_Return);
    QCOMPARE(g_nCurrentPage, 2);
    QCOMPARE(resultsText(form()), text);
}

// Enters three debts and leaves the last page ready for Next.
static void prepareThreeDebts() {
    chooseCount(3);
    for (int i = 0; i < 2; ++i) {
        fillPage({"1000", "18", "50"});
        click(form()->cmdNext);
    }
    fillPage({"10", "18", "5"});
}

void TestWizard::closingDuringReportStopsTheRun() {
    prepareThreeDebts();
    QTimer::singleShot(0, this, [] { form()->close(); });
    click(form()->cmdNext);

    QVERIFY(!form()->isVisible());
    QCOMPARE(lineCount(resultsText(form())), 9);                         // stopped after debt 1
    QCOMPARE(form()->lblResults->text(), QStringLiteral("Calculating")); // nothing written
    QVERIFY(!form()->cancelPressed());
    QCOMPARE(form()->cursor().shape(), Qt::ArrowCursor);
}

void TestWizard::closingDuringReportEndsTheProgram() {
    prepareThreeDebts();
    QString textAtClose;
    connect(form()->txtResults, &QPlainTextEdit::textChanged, this,
            [&] { textAtClose = resultsText(form()); });
    QTimer::singleShot(0, this, [this] {
        QTimer::singleShot(0, this, [] { form()->close(); }); // runs during debt 1
        click(form()->cmdNext);
    });
    QTimer::singleShot(10000, this, [] { QCoreApplication::exit(99); }); // watchdog

    const int exitCode = QCoreApplication::exec();

    QCOMPARE(exitCode, 0);
    QCOMPARE(lineCount(textAtClose), 9);
    QVERIFY(MainForm() == nullptr); // the window is gone with the program
    QCOMPARE(g_colDebts.count(), 0u);
}

void TestWizard::closingWithAWarningOpenEndsTheProgram() {
    chooseCount(1);
    MessageBoxWatcher watcher;
    watcher.onBox = [](QMessageBox*) { form()->close(); };
    QTimer::singleShot(0, this, [] { click(form()->cmdNext); });         // all boxes blank
    QTimer::singleShot(10000, this, [] { QCoreApplication::exit(99); }); // watchdog

    const int exitCode = QCoreApplication::exec();

    QCOMPARE(exitCode, 0);
    QCOMPARE(watcher.seen.size(), 1);
    QVERIFY(MainForm() == nullptr);
}

// What a person meets with a double-click on Next of the last page, a stored value shown
// again, and the clipboard.
void TestWizard::doubleClickTypingLimitAndPastes() {
    frmMain* window = form();
    MessageBoxWatcher watcher(2000);

    // A double-click on Next of the last page: its second press lands on Cancel while the
    // report runs, or on "Get Help Now!" after it, and presses neither.
    chooseCount(1);
    fillPage({"1000", "18", "50"});
    QWindow* screenWindow = window->windowHandle();
    const QPoint next = window->cmdNext->geometry().center();
    bool secondPressOnCancel = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (!window->cmdCancel->isVisible())
            return;
        poll.stop();
        secondPressOnCancel = window->childAt(next) == window->cmdCancel;
        QTest::mouseClick(screenWindow, Qt::LeftButton, Qt::NoModifier, next);
    });
    poll.start(0);
    QTest::mousePress(screenWindow, Qt::LeftButton, Qt::NoModifier, next);
    QTest::mouseRelease(screenWindow, Qt::LeftButton, Qt::NoModifier, next);
    QVERIFY(secondPressOnCancel);
    QCOMPARE(window->lblResults->text(), QStringLiteral("Done"));

    click(window->cmdBack);
    QTest::mouseClick(screenWindow, Qt::LeftButton, Qt::NoModifier, next);
    QCOMPARE(window->childAt(next), window->cmdGetHelp);
    // QTest keeps its clicks further apart than a double-click: the second click of this one
    // comes right after the first.
    QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval;
    QTest::mouseClick(screenWindow, Qt::LeftButton, Qt::NoModifier, next);
    QCOMPARE(g_nCurrentPage, 2);
    QVERIFY(window->findChild<frmGetHelp*>() == nullptr);
    QVERIFY(watcher.unexpectedModal.isEmpty());

    // A stored value longer than the typing limit is shown whole; once edited, the box takes
    // ten characters again, and the value still comes back whole.
    click(window->cmdBack);
    fillPage({".000000001", "18", "1"});
    std::int16_t page = 1;
    QVERIFY(SaveDebtPage(page));
    window->showDebtPage(1);
    QCOMPARE(window->txtBalance->text(), QStringLiteral("0.000000001"));
    retype(window->txtBalance, QStringLiteral("12345678901"));
    QCOMPARE(window->txtBalance->text(), QStringLiteral("1234567890"));
    window->showDebtPage(1);
    QCOMPARE(window->txtBalance->text(), QStringLiteral("0.000000001"));

    QClipboard* clipboard = QGuiApplication::clipboard();
    enum Way { ShiftInsert, ContextMenu, Drop };
    const auto paste = [&](QLineEdit* box, const QString& text, Way way) {
        box->clear();
        box->setFocus();
        if (way == ShiftInsert) {
            clipboard->setText(text);
            QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
        } else if (way == ContextMenu) {
            clipboard->setText(text);
            QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(2, 2),
                                      box->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(box, &request);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu != nullptr);
            for (QAction* action : menu->actions())
                if (action->text().startsWith(QStringLiteral("&Paste")))
                    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                                      menu->actionGeometry(action).center());
            QVERIFY(QApplication::activePopupWidget() == nullptr);
        } else {
            QMimeData data;
            data.setText(text);
            QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(box, &enter);
            QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(box, &drop);
            QVERIFY(drop.isAccepted());
        }
    };

    // Pasted and dropped numbers: each line break a blank, the blanks at the ends gone before
    // the typing limit cuts, so no digit is lost; what the boxes show is what is stored.
    const struct {
        QLineEdit* box;
        QString text;
        Way way;
        QString shown;
    } pastes[] = {
        {window->txtBalance, " 1000000000\r\n", ShiftInsert, "1000000000"},
        {window->txtBalance, "1000\n", ShiftInsert, "1000"},
        {window->txtInterestRate, "18\r\n", ContextMenu, "18"},
        {window->txtMinimumPayment, "1\r\n2", Drop, "1 2"},
        {window->txtMinimumPayment, "\t50\r\n\r\n", Drop, "50"},
    };
    for (const auto& row : pastes) {
        paste(row.box, row.text, row.way);
        QCOMPARE(row.box->text(), row.shown);
    }
    QVERIFY(SaveDebtPage(page));
    QVERIFY(watcher.seen.isEmpty());
    QCOMPARE(g_colDebts.item("1")->balance(), 1000.0);

    // The help form's boxes take a pasted two-line address whole, on one line.
    frmGetHelp* help = HelpForm();
    help->show();
    QVERIFY(waitForKeyboard(help));
    paste(help->txtAddress, "1 Elm St.\r\nApt 2\n", ShiftInsert);
    QCOMPARE(help->txtAddress->text(), QStringLiteral("1 Elm St. Apt 2 "));
    paste(help->txtCity, "Albany\rNY", ContextMenu);
    QCOMPARE(help->txtCity->text(), QStringLiteral("Albany NY"));

    // A paste is an undo step of its own, apart from the typing before and after it.
    retype(help->txtState, QStringLiteral("ab"));
    clipboard->setText(QStringLiteral("XY"));
    QTest::keyClick(help->txtState, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(help->txtState, Qt::Key_C);
    QCOMPARE(help->txtState->text(), QStringLiteral("abXYc"));
    help->txtState->undo();
    QCOMPARE(help->txtState->text(), QStringLiteral("abXY"));
    help->txtState->undo();
    QCOMPARE(help->txtState->text(), QStringLiteral("ab"));
}

QTEST_MAIN(TestWizard)
#include "tst_wizard.moc"
