// A full report of ten of the longest debts, from Next on the last debt page to "Done",
// in the real main window on the offscreen platform.
#include "app/modGeneral.h"
#include "forms/frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <benchmark/benchmark.h>

static void reportOfTenDebts(benchmark::State& state) {
    using namespace modGeneral;
    Main();
    frmMain* form = MainForm();
    g_nNumDebts = 10;
    CreateDebts();
    for (const auto& entry : g_colDebts) {
        entry.second->setBalance(21474836.4);
        entry.second->setInterestRate(100);
        entry.second->setMinPayment(0.01);
    }
    g_nCurrentPage = 10;
    form->showDebtPage(10);
    for (auto _ : state) {
        form->cmdNext->click(); // runs the report
        state.PauseTiming();
        if (form->lblResults->text() != QLatin1String("Done"))
            state.SkipWithError("the report did not finish");
        form->cmdBack->click();
        state.ResumeTiming();
    }
    Shutdown();
}
BENCHMARK(reportOfTenDebts)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
