// The checks of a debt page against a plain re-reading of the three texts: the first
// failing check is refused with its box, and an accepted page reads as the numbers typed.
#include "FuzzCheck.h"
#include "rules/DebtPageCheck.h"
#include "rules/NumberText.h"

#include <QStringList>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <variant>

namespace {

// Digits and at most one ".", with at least one digit.
bool plainDecimal(const QString& text) {
    int digits = 0;
    int points = 0;
    for (const QChar ch : text) {
        if (ch >= u'0' && ch <= u'9')
            ++digits;
        else if (ch == u'.')
            ++points;
        else
            return false;
    }
    return digits > 0 && points <= 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList texts =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
            .split(u'\n');
    while (texts.size() < 3)
        texts.append(QString());

    const auto checked = checkDebtPage(texts[0], texts[1], texts[2]);
    const auto* refusal = std::get_if<DebtPageRefusal>(&checked);
    double read[3] = {};
    const char* const blank[] = {"Balance can not be blank", "Interest rate can not be blank",
                                 "Minimum payment can not be blank"};
    const char* const notNumber[] = {"Balance must be a number", "Interest rate must be a number",
                                     "Minimum payment must be a number"};
    const char* const zero[] = {"Balance can not be zero", "Interest rate can not be zero",
                                "Minimum payment can not be zero"};
    for (int box = 0; box < 3; ++box) {
        const QString& text = texts[box];
        const char* expected = nullptr;
        double value = 0;
        if (text.isEmpty()) {
            expected = blank[box];
        } else if (!plainDecimal(text)) {
            expected = notNumber[box];
        } else {
            value = std::strtod(text.toStdString().c_str(), nullptr);
            if (std::isinf(value))
                expected = notNumber[box]; // too large for any amount
            else if (value == 0)
                expected = zero[box];
            else if (box == 1 && value > 100)
                expected = "Interest rate cannot be greater than 100%";
            if (!std::isinf(value))
                FUZZ_CHECK(NumberText::debtAmount(text) == value);
            read[box] = value;
        }
        if (expected != nullptr) {
            FUZZ_CHECK(refusal != nullptr);
            FUZZ_CHECK(static_cast<int>(refusal->box) == box);
            FUZZ_CHECK(refusal->message == QLatin1String(expected));
            return 0;
        }
    }
    FUZZ_CHECK(refusal == nullptr);
    const auto& values = std::get<DebtPageValues>(checked);
    FUZZ_CHECK(values.balance == read[0] && values.interestRate == read[1] &&
               values.minPayment == read[2]);
    return 0;
}
