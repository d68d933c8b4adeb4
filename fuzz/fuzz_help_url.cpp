// The help request URL for arbitrary contact texts and debt values: one parameter per
// field, in order, and every contact value decodes back to exactly what was typed.
#include "FuzzCheck.h"
#include "rules/HelpRequestUrl.h"

#include <QByteArray>
#include <QList>
#include <cmath>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const keys[] = {"WorkPhone", "HomePhone", "Email",    "ZipCode",  "State",
                                       "City",      "Address",   "LastName", "FirstName"};
    // Nine texts separated by NUL bytes, then eight bytes per debt value.
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QList<QByteArray> pieces = input.split('\0');
    ContactFields contact;
    for (int i = 0; i < 9; ++i)
        contact.append(
            {QLatin1String(keys[i]), i < pieces.size() ? QString::fromUtf8(pieces[i]) : QString()});
    const QByteArray rest = pieces.size() > 9 ? pieces.mid(9).join('\0') : QByteArray();
    DebtCollection debts;
    const qsizetype values = std::min<qsizetype>(rest.size() / 8, 30);
    for (qsizetype v = 0; v + 2 < values; v += 3) {
        double numbers[3];
        std::memcpy(numbers, rest.constData() + v * 8, sizeof numbers);
        clsDebt& debt = debts.add(std::to_string(debts.count() + 1));
        debt.setBalance(numbers[0]);
        debt.setInterestRate(numbers[1]);
        debt.setMinPayment(numbers[2]);
    }

    const QString url =
        helpRequestUrl(QStringLiteral("127.0.0.1:8080"), contact, debts, QStringLiteral("http"));
    const QString base = QStringLiteral("http://127.0.0.1:8080/form_proc/dc_proc_v2.asp?");
    FUZZ_CHECK(url.startsWith(base));
    const QStringList parameters = url.mid(base.size()).split(u'&');
    FUZZ_CHECK(parameters.size() == 1 + 9 + 4 * static_cast<qsizetype>(debts.count()));
    FUZZ_CHECK(parameters[0] == QLatin1String("id=161"));
    for (const QString& parameter : parameters)
        FUZZ_CHECK(parameter.count(u'=') == 1);
    for (int i = 0; i < 9; ++i) {
        const QString& parameter = parameters[1 + i];
        const qsizetype equals = parameter.indexOf(u'=');
        FUZZ_CHECK(parameter.left(equals) == contact[i].first);
        const QString value = parameter.mid(equals + 1);
        for (const QChar ch : value)
            FUZZ_CHECK(ch.isLetterOrNumber() || ch == u'%' || ch == u'-' || ch == u'_' ||
                       ch == u'~');
        FUZZ_CHECK(QByteArray::fromPercentEncoding(value.toLatin1()) == contact[i].second.toUtf8());
    }
    const auto sentValue = [&](qsizetype index) {
        return parameters[index].section(u'=', 1).toDouble();
    };
    qsizetype d = 0;
    for (const auto& entry : debts) {
        const QString n = QString::number(d + 1);
        // Amounts in the range of a debt page are sent to 15 significant digits.
        const double values[] = {entry.second->balance(), entry.second->interestRate(),
                                 entry.second->minPayment()};
        for (int v = 0; v < 3; ++v)
            if (values[v] > 0 && values[v] < 1e10)
                FUZZ_CHECK(std::fabs(sentValue(11 + 4 * d + v) - values[v]) <= values[v] * 1e-14);
        FUZZ_CHECK(parameters[10 + 4 * d] ==
                   QStringLiteral("CreditorName") + n + QStringLiteral("=credit+card"));
        FUZZ_CHECK(parameters[11 + 4 * d].startsWith(QStringLiteral("TotalBalance") + n + u'='));
        FUZZ_CHECK(parameters[12 + 4 * d].startsWith(QStringLiteral("InterestRate") + n + u'='));
        FUZZ_CHECK(parameters[13 + 4 * d].startsWith(QStringLiteral("MinimumPayment") + n + u'='));
        ++d;
    }
    return 0;
}
