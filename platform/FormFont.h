// The font of the program's forms, chosen so that every caption fits its fixed rectangle.
#pragma once

#include <QFont>

QFont formFont();
