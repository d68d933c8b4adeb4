// The checks of a debt page.
#include "DebtPageCheck.h"

#include "rules/NumberText.h"

std::variant<DebtPageValues, DebtPageRefusal>
checkDebtPage(const QString& balance, const QString& rate, const QString& payment) {
    struct Check {
        DebtBox box;
        const QString& text;
        const char* blank;
        const char* notNumber;
        const char* zero;
        std::optional<double> maximum;
        const char* tooLarge;
    };
    const Check checks[] = {
        {DebtBox::Balance, balance, "Balance can not be blank", "Balance must be a number",
         "Balance can not be zero", std::nullopt, nullptr},
        {DebtBox::InterestRate, rate, "Interest rate can not be blank",
         "Interest rate must be a number", "Interest rate can not be zero", 100.0,
         "Interest rate cannot be greater than 100%"},
        {DebtBox::MinimumPayment, payment, "Minimum payment can not be blank",
         "Minimum payment must be a number", "Minimum payment can not be zero", std::nullopt,
         nullptr},
    };
    double values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const Check& check = checks[i];
        const std::optional<double> value = NumberText::debtAmount(check.text);
        const char* failure = nullptr;
        if (check.text.isEmpty())
            failure = check.blank;
        else if (!value)
            failure = check.notNumber;
        else if (*value == 0)
            failure = check.zero;
        else if (check.maximum && *value > *check.maximum)
            failure = check.tooLarge;
        if (failure != nullptr)
            return DebtPageRefusal{check.box, QString::fromLatin1(failure)};
        values[i] = *value;
    }
    return DebtPageValues{values[0], values[1], values[2]};
}
