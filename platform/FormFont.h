// The font of the program's forms, chosen so that every caption fits its fixed rectangle.
#pragma once

#include <QFont>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <utility>

// Liberation Sans Narrow at 8 points. Where that face is not installed (another system, a
// font removed by hand), the first proportional face found among those of similar width, else
// any proportional face with Latin letters: never a monospaced or a symbol face. Font files in
// a "fonts" folder beside the program (as the Windows build ships them) count as installed.
QFont formFont();

// Makes the form's font (the form font, set before its controls were made) half a point
// smaller at a time until every caption of its labels and buttons, and each given text of a
// label whose caption changes, fits the control's width and height; with the intended face
// nothing changes.
void fitFormFont(QWidget* form, std::initializer_list<std::pair<QWidget*, QString>> texts = {});
