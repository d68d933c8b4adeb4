// The program's module: start-up, the wizard's shared state and the procedures that the
// forms call (saving a debt page, the results report, the help request).
#pragma once

#include "model/DebtCollection.h"

#include <QString>
#include <cstdint>

class frmMain;
class frmGetHelp;

namespace modGeneral {

// 0 = number-of-debts page, 1..N = debt page, N + 1 = results page.
extern std::int16_t g_nCurrentPage;
// N, the number of debts chosen (1 to 10); 0 until the first Next.
extern std::int16_t g_nNumDebts;
// One debt per debt page, keyed "1" to "N" in that order.
extern DebtCollection g_colDebts;

void Main();
void CreateDebts();
bool SaveDebtPage(std::int16_t& p_nDebtNumber);
void BuildResultsReport();
bool SubmitHelpRequest();
QString UrlEscapeValue(const QString& p_sValue);

// The single main window, or nullptr before Main.
frmMain* MainForm();
// The single help form, created on first use.
frmGetHelp* HelpForm();
// Destroys the help form (its close box does this; the next use creates it afresh).
void DestroyHelpForm();
// Destroys both forms and resets the module state; main() runs it when the program quits.
void Shutdown();

} // namespace modGeneral
