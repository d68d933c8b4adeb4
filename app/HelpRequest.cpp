// The help request: the contact values of the form and every debt sent to the
// consultation service, and the answer shown to the user.
#include "app/ServiceEndpoint.h"
#include "app/modGeneral.h"
#include "forms/frmGetHelp.h"
#include "platform/HttpRequest.h"
#include "platform/MessageBox.h"
#include "rules/HelpRequestUrl.h"

#include <QLineEdit>

namespace {
ServiceEndpoint g_endpoint = ServiceEndpoint::builtIn();
} // namespace

ServiceEndpoint ServiceEndpoint::builtIn() {
    return {QStringLiteral(QUILLABY_SERVICE_HOST), QStringLiteral(QUILLABY_SERVICE_SCHEME),
            builtInServiceCa()};
}

const ServiceEndpoint& serviceEndpoint() {
    return g_endpoint;
}
void setServiceEndpoint(const ServiceEndpoint& endpoint) {
    g_endpoint = endpoint;
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
    const ServiceEndpoint& endpoint = serviceEndpoint();
    const QString url = helpRequestUrl(endpoint.host, contact, g_colDebts, endpoint.scheme);
    request.setCaCertificates(endpoint.ca);
    request.setTimeouts(endpoint.connectTimeoutMs, endpoint.totalTimeoutMs);

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
