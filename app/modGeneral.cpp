// Start-up, the wizard's shared state, the lifetimes of the two forms, saving a debt page
// and the results report.
#include "modGeneral.h"

#include "forms/frmGetHelp.h"
#include "forms/frmMain.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "rules/DebtPageCheck.h"
#include "rules/ReportText.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <variant>

namespace modGeneral {

std::int16_t g_nCurrentPage = 0;
std::int16_t g_nNumDebts = 0;
DebtCollection g_colDebts;

namespace {

QPointer<frmMain> g_frmMain;
QPointer<frmGetHelp> g_frmGetHelp;

} // namespace

frmMain* MainForm() {
    return g_frmMain;
}

frmGetHelp* HelpForm() {
    if (!g_frmGetHelp)
        g_frmGetHelp = new frmGetHelp(MainForm());
    return g_frmGetHelp;
}

void DestroyHelpForm() {
    delete g_frmGetHelp.data();
}

void Main() {
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
    const auto checked = checkDebtPage(form.txtBalance->text(), form.txtInterestRate->text(),
                                       form.txtMinimumPayment->text());
    if (const auto* refusal = std::get_if<DebtPageRefusal>(&checked)) {
        QLineEdit* const boxes[] = {form.txtBalance, form.txtInterestRate, form.txtMinimumPayment};
        MessageBox::show(&form, refusal->message, MessageBox::Exclamation);
        form.highlightTextBox(boxes[static_cast<int>(refusal->box)]);
        return false;
    }

    // Every debt page from 1 to N has its debt from the moment the count was chosen.
    clsDebt* debt = g_colDebts.item(std::to_string(p_nDebtNumber));
    if (debt == nullptr)
        qFatal("SaveDebtPage: no debt under the key %d", p_nDebtNumber);
    const auto& values = std::get<DebtPageValues>(checked);
    debt->setBalance(values.balance);
    debt->setInterestRate(values.interestRate);
    debt->setMinPayment(values.minPayment);
    return true;
}

void BuildResultsReport() {
    frmMain& form = *g_frmMain;
    form.txtResults->setPlainText(QString());

    ReportText report;
    for (const auto& [key, debt] : g_colDebts) {
        bool calculated = true;
        try {
            debt->CalculatePayout();
        } catch (const PayoutError&) {
            calculated = false;
        }
        form.ResultsAddLine(report.debtBlock(*debt, calculated));
        EventPump::doEvents();
        if (form.cancelPressed())
            return;
    }
    form.ResultsAddLine(report.totals());
}

void Shutdown() {
    DestroyHelpForm();
    delete g_frmMain.data();
    g_nCurrentPage = 0;
    g_nNumDebts = 0;
    g_colDebts = DebtCollection();
}

} // namespace modGeneral
