// Number <-> text conversions, independent of the user's locale.
#include "NumberText.h"

#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// Parses a plain decimal text (digits and at most one ".") exactly, whatever the locale.
// A value too large for a double is no number; one too small to tell from 0 reads as 0.
std::optional<double> parsePlainDecimal(const QString& text) {
    const std::string latin = text.toStdString();
    double value = 0;
    const char* first = latin.data();
    const char* last = first + latin.size();
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (ptr != last)
        return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        const std::string whole = latin.substr(0, latin.find('.'));
        if (whole.find_first_not_of('0') != std::string::npos)
            return std::nullopt;
        return 0.0;
    }
    if (ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

QString NumberText::general(double value) {
    if (value == 0)
        return QStringLiteral("0"); // no "-0"
    if (!std::isfinite(value) || std::fabs(value) >= 1e15 || std::fabs(value) < 1e-15)
        return QString::number(value, 'g', 15);
    // Plain decimals, never an exponent, for every amount that can be typed on a debt page
    // (0.00001 stays 0.00001, so that it reads back as a number).
    const QString scientific = QString::number(value, 'e', 14);
    const int exponent = scientific.mid(scientific.indexOf(u'e') + 1).toInt();
    QString text = QString::number(value, 'f', std::max(0, 14 - exponent));
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}

QString NumberText::money(double value) {
    if (!std::isfinite(value))
        return general(value);
    // Round the 15-significant-digit decimal value of the amount, so that a sum of cents
    // such as 183.67999999999998 reads $183.68; a true half goes away from zero.
    const bool negative = value < 0;
    const QString digitsAndExponent = QString::number(std::fabs(value), 'e', 14);
    const qsizetype ePos = digitsAndExponent.indexOf(u'e');
    QString digits = digitsAndExponent.left(ePos);
    digits.remove(u'.');
    const int exponent = digitsAndExponent.mid(ePos + 1).toInt();

    // digits holds d0 d1 ... d14, the value is 0.d0d1... * 10^(exponent + 1).
    // Cents are the digits left of position exponent + 3.
    const int centDigits = exponent + 3;
    QString cents;
    bool roundUp = false;
    if (centDigits <= 0) {
        cents = QStringLiteral("0");
        roundUp = centDigits == 0 && digits.at(0) >= u'5';
    } else if (centDigits >= digits.size()) {
        cents = digits + QString(centDigits - digits.size(), u'0');
    } else {
        cents = digits.left(centDigits);
        roundUp = digits.at(centDigits) >= u'5';
    }
    if (roundUp) {
        int i = static_cast<int>(cents.size()) - 1;
        while (i >= 0 && cents.at(i) == u'9') {
            cents[i] = u'0';
            --i;
        }
        if (i < 0)
            cents.prepend(u'1');
        else
            cents[i] = QChar(cents.at(i).unicode() + 1);
    }
    while (cents.size() < 3)
        cents.prepend(u'0');
    QString whole = cents.left(cents.size() - 2);
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
    const QString text = u'$' + whole + u'.' + cents.right(2);
    const bool isZero = whole.isEmpty() && cents.right(2) == QLatin1String("00");
    return negative && !isZero ? u'-' + text : text;
}

double NumberText::moneyValue(const QString& text) {
    const bool negative = text.startsWith(u'-');
    const QString number = text.mid(negative ? 2 : 1); // past "-$" or "$"
    const double value = parsePlainDecimal(number).value_or(0);
    return negative ? -value : value;
}

std::optional<double> NumberText::debtAmount(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("\\A([0-9]+\\.?[0-9]*|\\.[0-9]+)\\z"));
    if (!pattern.match(text).hasMatch())
        return std::nullopt;
    return parsePlainDecimal(text);
}

bool NumberText::isNumeric(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("\\A[ \\t]*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?[ \\t]*\\z"));
    return pattern.match(text).hasMatch();
}
