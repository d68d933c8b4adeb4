// The help request: the contact values of the form and every debt sent to the
// consultation service, and the answer shown to the user.
#include "app/ServiceHost.h"
#include "app/modGeneral.h"
#include "forms/frmGetHelp.h"
#include "platform/HttpRequest.h"
#include "platform/MessageBox.h"
#include "rules/HelpRequestUrl.h"

#include <QLineEdit>

namespace {
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

QString UrlEscapeValue(const QString& p_sValue) {
    return escapeUrlValue(p_sValue);
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
