// The URL of a help request, apart from the form that holds the contact details.
#pragma once

#include "model/DebtCollection.h"

#include <QList>
#include <QString>
#include <utility>

// One pair per contact box, in the form's control order: the box's name without its "txt"
// and its text. The values are escaped here; the keys and the debt numbers are not.
using ContactFields = QList<std::pair<QString, QString>>;

// scheme is "http" or "https".
QString helpRequestUrl(const QString& host, const ContactFields& contact,
                       const DebtCollection& debts, const QString& scheme = QStringLiteral("http"));
