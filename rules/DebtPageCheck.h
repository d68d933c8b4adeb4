// The checks of a debt page's three texts, apart from the window that shows them.
#pragma once

#include <QString>
#include <variant>

enum class DebtBox { Balance, InterestRate, MinimumPayment };

struct DebtPageRefusal {
    DebtBox box;
    QString message;
};

// The three numbers of a page that passed its checks.
struct DebtPageValues {
    double balance;
    double interestRate;
    double minPayment;
};

// The numbers read from the page, or the first check that fails, in the order balance,
// rate, payment (blank, not a number, zero, and a rate over 100).
std::variant<DebtPageValues, DebtPageRefusal>
checkDebtPage(const QString& balance, const QString& rate, const QString& payment);
