// The main window: a wizard of three overlapping pages (number of debts, one debt page per
// debt, results) with Next, Back, Cancel and "Get Help Now!" below them.
#pragma once

#include <QStringList>
#include <QWidget>
#include <cstdint>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class frmMain : public QWidget {
    Q_OBJECT

public:
    frmMain();

    void showNumDebtsPage();
    void showDebtPage(std::int16_t p_nDebtNumber);
    bool cancelPressed() const { return m_bCancelPressed; }

    std::int16_t KeyPressNumericFilter(std::int16_t& p_sKeyAscii) const;
    void highlightTextBox(QLineEdit* txtTextBox);

    // Appends lines to the text of the results box, in one edit. The box stores each line
    // ended by LF.
    void ResultsAddLine(const QStringList& p_colLines);

    void cmdNext_Click();
    void cmdBack_Click();
    void cmdCancel_Click();
    void cmdGetHelp_Click();

    void txtBalance_KeyPress(std::int16_t& KeyAscii);
    void txtInterestRate_KeyPress(std::int16_t& KeyAscii);
    void txtMinimumPayment_KeyPress(std::int16_t& KeyAscii);

    // The controls, named as on the form.
    QPushButton* cmdGetHelp;
    QPushButton* cmdBack;
    QPushButton* cmdNext;
    QPushButton* cmdCancel;
    QFrame* fraDebt;
    QLineEdit* txtBalance;
    QLineEdit* txtInterestRate;
    QLineEdit* txtMinimumPayment;
    QLabel* Label5;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QFrame* fraNumDebts;
    QComboBox* cboNumDebts;
    QLabel* Label4;
    QFrame* fraResults;
    QPlainTextEdit* txtResults;
    QLabel* lblResults;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class PageState { NumberOfDebts, Debt, ReportRunning, Results };
    void showPageState(PageState state);
    void runReport();
    void nameOpenList(QObject* parent, QObject* child);

    QObject* m_txtSelectOnFocus = nullptr;
    bool m_bCancelPressed = false;
    bool m_bReportRunning = false;
    bool m_bClosedDuringReport = false;
};
