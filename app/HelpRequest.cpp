// The help request: the single contact form, the escaping of its values, and the request
// that sends them with every debt to the consultation service.
#include "app/HelpRequestUrl.h"
#include "app/ServiceHost.h"
#include "app/modGeneral.h"
#include "forms/frmGetHelp.h"
#include "forms/frmMain.h"
#include "platform/HttpRequest.h"
#include "platform/MessageBox.h"
#include "platform/NumberText.h"

#include <QLineEdit>
#include <QPointer>

namespace {
QPointer<frmGetHelp> g_frmGetHelp;
QString g_serviceHost = QStringLiteral(QUILLABY_SERVICE_HOST);
QString g_serviceScheme = QStringLiteral(QUILLABY_SERVICE_SCHEME);
QByteArray g_serviceCa = builtInServiceCa();
} // namespace

QString serviceHost() {
    return g_serviceHost;
}
void setServiceHost(const QString& host) {
    g_serviceHost = host;
}

QString serviceScheme() {
    return g_serviceScheme;
}
void setServiceScheme(const QString& scheme) {
    g_serviceScheme = scheme;
}

QByteArray serviceCa() {
    return g_serviceCa;
}
void setServiceCa(const QByteArray& pem) {
    g_serviceCa = pem;
}

namespace modGeneral {

frmGetHelp* HelpForm() {
    if (!g_frmGetHelp)
        g_frmGetHelp = new frmGetHelp(MainForm());
    return g_frmGetHelp;
}

void DestroyHelpForm() {
    delete g_frmGetHelp.data();
}

// Keeps the three escapes "." %2E, "," %2C and "@" %40, and percent-encodes every other
// byte of the UTF-8 text but letters, digits, "-", "_" and "~", so that no typed value can
// break out of its parameter.
QString UrlEscapeValue(const QString& p_sValue) {
    static const char hex[] = "0123456789ABCDEF";
    QString escaped;
    for (const char ch : p_sValue.toUtf8()) {
        const auto byte = static_cast<unsigned char>(ch);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' ||
                                byte == '~';
        if (unreserved) {
            escaped += QChar(byte);
        } else {
            escaped += u'%';
            escaped += QChar(hex[byte >> 4]);
            escaped += QChar(hex[byte & 0xF]);
        }
    }
    return escaped;
}

bool SubmitHelpRequest() {
    frmGetHelp* form = HelpForm();
    HttpRequest request;

    ContactFields contact;
    for (const QObject* child : form->children()) {
        const auto* box = qobject_cast<const QLineEdit*>(child);
        if (box != nullptr && box->objectName().startsWith(QLatin1String("txt")))
            contact.append({box->objectName().mid(3), box->text()});
    }
    const QString url = helpRequestUrl(serviceHost(), contact, g_colDebts, serviceScheme());
    request.setCaCertificates(serviceCa());

    QString response;
    try {
        request.open(QStringLiteral("GET"), url, false);
        request.send(QString());
        response = request.responseText();
    } catch (const HttpError&) {
        response.clear(); // reported below like any answer other than "OK"
    }

    if (response == QLatin1String("OK")) {
        MessageBox::show(form,
                         QStringLiteral("Thank you for your interest in our program.\r\n"
                                        "Your request has been submitted for processing.\r\n"
                                        "You will receive a call from one of our consultants "
                                        "within 24 hours."),
                         MessageBox::Information);
        return true;
    }
    MessageBox::show(form, QStringLiteral("An error occured. Please try again later."),
                     MessageBox::Exclamation);
    return false;
}

} // namespace modGeneral

QString helpRequestUrl(const QString& host, const ContactFields& contact,
                       const DebtCollection& debts, const QString& scheme) {
    QString url =
        scheme + QStringLiteral("://") + host + QStringLiteral("/form_proc/dc_proc_v2.asp?id=161&");
    for (const auto& [key, value] : contact)
        url += key + u'=' + modGeneral::UrlEscapeValue(value) + u'&';
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
