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

std::optional<qint64> NumberText::cents(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e16)
        return std::nullopt;
    // The payoff's sums of cents stay below a few billion dollars (no month pays 2^31 cents
    // or more, and the balance falls by 1% a month at least). A double's error there is a
    // tiny fraction of a cent, so the product rounds to the intended cent.
    return std::llround(value * 100);
}

QString NumberText::moneyFromCents(qint64 cents) {
    const quint64 magnitude = cents < 0 ? 0 - static_cast<quint64>(cents) : cents;
    const quint64 whole = magnitude / 100;
    return QStringLiteral("%1$%2.%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString(),
             whole ? QString::number(whole) : QString())
        .arg(magnitude % 100, 2, 10, QChar(u'0'));
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
