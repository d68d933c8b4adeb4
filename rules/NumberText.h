// Number <-> text conversions of the program. They never depend on the user's locale:
// the decimal separator is always ".".
#pragma once

#include <QString>
#include <optional>

namespace NumberText {

// General number form: up to 15 significant digits, no grouping, no trailing zeros or
// point, a leading 0 below 1 (2500, 2500.5, 0.25, 0.00001); an exponent only for
// magnitudes of 1e15 and more or below 1e-15.
QString general(double value);

// A whole-cent amount, such as a sum of amounts rounded to the cent, in whole cents: the
// nearest cent, a half away from zero; nothing for an amount that is not finite or of 1e16
// or more.
std::optional<qint64> cents(double value);

// Money in the pattern "$#.00" of a whole number of cents: no digit before the point when
// the whole part is 0, no sign on zero ($.15, $.00, -$4.85, $12345.60).
QString moneyFromCents(qint64 cents);

// A text made only of digits with at most one "." and at least one digit (12, 12., .5,
// 0250.50), as typed into a debt page; nothing else is a debt amount.
std::optional<double> debtAmount(const QString& text);

// The general text-to-number test: a whole text that is a number, blanks around it allowed:
// optional sign, digits with at most one ".", at least one digit, an optional exponent.
bool isNumeric(const QString& text);

} // namespace NumberText
