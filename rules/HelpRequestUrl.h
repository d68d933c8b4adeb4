// The URL of a help request, apart from the form that holds the contact details.
#pragma once

#include "model/DebtCollection.h"

#include <QList>
#include <QString>
#include <utility>

// One pair per contact box, in the form's control order: the box's name without its "txt"
// and its text. The values are escaped here; the keys and the debt numbers are not.
using ContactFields = QList<std::pair<QString, QString>>;

// A contact value as it goes into the query: "." %2E, "," %2C and "@" %40, and every other
// byte of its UTF-8 text but letters, digits, "-", "_" and "~" percent-encoded, so that no
// typed value can break out of its parameter.
QString escapeUrlValue(const QString& value);

// scheme is "http" or "https".
QString helpRequestUrl(const QString& host, const ContactFields& contact,
                       const DebtCollection& debts, const QString& scheme);
