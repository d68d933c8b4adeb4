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

namespace {

// The amount in whole cents, as decimal digits without a sign: the 15-significant-digit
// decimal value of the double rounded to the cent, a true half going away from zero (a sum
// of cents such as 183.67999999999998 gives 18368).
QString centDigits(double magnitude) {
    const QString digitsAndExponent = QString::number(magnitude, 'e', 14);
    const qsizetype ePos = digitsAndExponent.indexOf(u'e');
    QString digits = digitsAndExponent.left(ePos);
    digits.remove(u'.');
    const int exponent = digitsAndExponent.mid(ePos + 1).toInt();

    // digits holds d0 d1 ... d14, the value is 0.d0d1... * 10^(exponent + 1).
    // Cents are the digits left of position exponent + 3.
    const int centPlaces = exponent + 3;
    QString cents;
    bool roundUp = false;
    if (centPlaces <= 0) {
        cents = QStringLiteral("0");
        roundUp = centPlaces == 0 && digits.at(0) >= u'5';
    } else if (centPlaces >= digits.size()) {
        cents = digits + QString(centPlaces - digits.size(), u'0');
    } else {
        cents = digits.left(centPlaces);
        roundUp = digits.at(centPlaces) >= u'5';
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
    return cents;
}

// "$#.00" of a whole number of cents given as digits: no digit before the point when the
// whole part is 0, and no sign on a zero amount.
QString moneyFromCentDigits(bool negative, QString cents) {
    while (cents.size() < 3)
        cents.prepend(u'0');
    QString whole = cents.left(cents.size() - 2);
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
    const QString text = u'$' + whole + u'.' + cents.right(2);
    const bool isZero = whole.isEmpty() && cents.right(2) == QLatin1String("00");
    return negative && !isZero ? u'-' + text : text;
}

} // namespace

QString NumberText::money(double value) {
    if (!std::isfinite(value))
        return general(value);
    return moneyFromCentDigits(value < 0, centDigits(std::fabs(value)));
}

std::optional<qint64> NumberText::cents(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e16)
        return std::nullopt;
    const qint64 magnitude = centDigits(std::fabs(value)).toLongLong();
    return value < 0 ? -magnitude : magnitude;
}

QString NumberText::moneyFromCents(qint64 cents) {
    const auto magnitude = static_cast<quint64>(cents < 0 ? -(cents + 1) : cents) + (cents < 0);
    return moneyFromCentDigits(cents < 0, QString::number(magnitude));
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
