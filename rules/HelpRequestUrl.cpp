// The help request's URL: the service's path, the contact values escaped, and four
// parameters per debt.
#include "HelpRequestUrl.h"

#include "rules/NumberText.h"

#include <QByteArray>

QString escapeUrlValue(const QString& value) {
    // Letters, digits, "-", "_" and "~" are left as they are; everything else, "." included,
    // is percent-encoded.
    return QString::fromLatin1(value.toUtf8().toPercentEncoding(QByteArray(), "."));
}

QString helpRequestUrl(const QString& host, const ContactFields& contact,
                       const DebtCollection& debts, const QString& scheme) {
    QString url =
        scheme + QStringLiteral("://") + host + QStringLiteral("/form_proc/dc_proc_v2.asp?id=161&");
    for (const auto& [key, value] : contact)
        url += key + u'=' + escapeUrlValue(value) + u'&';
    int counter = 0;
    for (const auto& entry : debts) {
        const clsDebt& debt = *entry.second;
        const QString n = QString::number(++counter);
        url += QStringLiteral("CreditorName") + n + QStringLiteral("=credit+card&");
        url +=
            QStringLiteral("TotalBalance") + n + u'=' + NumberText::general(debt.balance()) + u'&';
        url += QStringLiteral("InterestRate") + n + u'=' +
               NumberText::general(debt.interestRate()) + u'&';
        url += QStringLiteral("MinimumPayment") + n + u'=' +
               NumberText::general(debt.minPayment()) + u'&';
    }
    url.chop(1); // the last "&"
    return url;
}
