// The checks of a debt page's three texts, apart from the window that shows them.
#pragma once

#include <QString>
#include <optional>

enum class DebtBox { Balance, InterestRate, MinimumPayment };

struct DebtPageRefusal {
    DebtBox box;
    QString message;
};

// The first check that fails, in the order balance, rate, payment (blank, not a number,
// zero, and a rate over 100), or nothing when the page can be stored.
std::optional<DebtPageRefusal> checkDebtPage(const QString& balance, const QString& rate,
                                             const QString& payment);
