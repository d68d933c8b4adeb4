// Start-up, the wizard's shared state, saving a debt page and the results report.
#include "modGeneral.h"

#include "app/DebtPageCheck.h"
#include "forms/frmMain.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "platform/NumberText.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <vector>

namespace modGeneral {

std::int16_t g_nCurrentPage = 0;
std::int16_t g_nNumDebts = 0;
DebtCollection g_colDebts;

namespace {

QPointer<frmMain> g_frmMain;
bool g_quitHooked = false;

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

const QString kRule = QStringLiteral("--------------");

} // namespace

frmMain* MainForm() {
    return g_frmMain;
}

void Main() {
    if (!g_quitHooked) {
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, &Shutdown);
        g_quitHooked = true;
    }
    if (!g_frmMain)
        g_frmMain = new frmMain;
    g_frmMain->show();
    g_frmMain->showNumDebtsPage();
    g_frmMain->cboNumDebts->setCurrentIndex(0);
    g_nCurrentPage = 0;
    g_colDebts = DebtCollection();
}

void CreateDebts() {
    g_colDebts = DebtCollection();
    const std::int16_t count = g_nNumDebts;
    for (std::int16_t i = 1; i <= count; ++i)
        g_colDebts.add(std::to_string(i));
}

bool SaveDebtPage(std::int16_t& p_nDebtNumber) {
    frmMain& form = *g_frmMain;
    const auto refusal = checkDebtPage(form.txtBalance->text(), form.txtInterestRate->text(),
                                       form.txtMinimumPayment->text());
    if (refusal) {
        QLineEdit* const boxes[] = {form.txtBalance, form.txtInterestRate, form.txtMinimumPayment};
        MessageBox::show(&form, refusal->message, MessageBox::Exclamation);
        form.highlightTextBox(boxes[static_cast<int>(refusal->box)]);
        return false;
    }

    clsDebt* debt = g_colDebts.item(std::to_string(p_nDebtNumber));
    if (debt == nullptr)
        return false;
    debt->setBalance(NumberText::debtAmount(form.txtBalance->text()).value_or(0));
    debt->setInterestRate(NumberText::debtAmount(form.txtInterestRate->text()).value_or(0));
    debt->setMinPayment(NumberText::debtAmount(form.txtMinimumPayment->text()).value_or(0));
    return true;
}

void BuildResultsReport() {
    frmMain& form = *g_frmMain;
    form.txtResults->setPlainText(QString());

    std::int16_t debtNumber = 0;
    std::int16_t longestMonths = 0;
    double totalInterest = 0;
    double totalPayout = 0;
    std::vector<std::int16_t> notCalculated;

    for (const auto& [key, debt] : g_colDebts) {
        ++debtNumber;
        bool calculated = true;
        try {
            debt->CalculatePayout();
        } catch (const PayoutError&) {
            calculated = false;
        }
        form.ResultsAddLine(kRule);
        form.ResultsAddLine(QStringLiteral("Debt #%1").arg(debtNumber));
        form.ResultsAddLine(kRule);
        form.ResultsAddLine(QStringLiteral("Starting Balance: \t") +
                            NumberText::general(debt->balance()));
        if (calculated) {
            const QString interest = NumberText::money(debt->totalInterestPaid());
            const QString payout = NumberText::money(debt->totalPayout());
            form.ResultsAddLine(timeLine(debt->totalMonths()));
            form.ResultsAddLine(QStringLiteral("Total Interest Paid: \t") + interest);
            form.ResultsAddLine(QStringLiteral("Total Payout: \t") + payout);
            longestMonths = std::max(longestMonths, debt->totalMonths());
            // The totals add the amounts as printed, so they match the blocks to the cent.
            totalInterest += NumberText::moneyValue(interest);
            totalPayout += NumberText::moneyValue(payout);
        } else {
            form.ResultsAddLine(
                QStringLiteral("Payoff could not be calculated: the amounts are out of range."));
            notCalculated.push_back(debtNumber);
        }
        form.ResultsAddLine(QString());
        form.ResultsAddLine(QString());

        EventPump::doEvents();
        if (form.cancelPressed())
            return;
    }

    form.ResultsAddLine(QString());
    form.ResultsAddLine(kRule);
    form.ResultsAddLine(QStringLiteral("Totals"));
    form.ResultsAddLine(kRule);
    form.ResultsAddLine(timeLine(longestMonths));
    form.ResultsAddLine(QStringLiteral("Total Interest Paid: \t") +
                        NumberText::money(totalInterest));
    form.ResultsAddLine(QStringLiteral("Total Payout: \t") + NumberText::money(totalPayout));
    form.ResultsAddLine(QString());
    form.ResultsAddLine(QStringLiteral("* Calculations assume consumer makes minimum payments "
                                       "for the duration of the loan and incurs no new debt."));
    for (std::int16_t number : notCalculated)
        form.ResultsAddLine(
            QStringLiteral("* Debt #%1 is not included in the totals.").arg(number));
}

void Shutdown() {
    DestroyHelpForm();
    delete g_frmMain.data();
    g_nCurrentPage = 0;
    g_nNumDebts = 0;
    g_colDebts = DebtCollection();
}

} // namespace modGeneral
