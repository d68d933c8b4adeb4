// Text pasted or dropped into a single-line box: it never brings a line break in.
#pragma once

#include <QString>

class QLineEdit;

namespace PastedText {

enum Blanks { KeepBlanks, TrimBlanks };

// The text with each line break replaced by one blank; CR LF counts as one line break, as
// do CR, LF, VT, FF, NEL and the Unicode line and paragraph separators.
QString singleLine(const QString& text);

// The text as it goes into a box: on one line, and with TrimBlanks without the blanks
// (spaces and tabs) at either end.
QString forBox(const QString& text, Blanks blanks);

// Every paste into the box (the paste keys, the context menu's Paste, the X11 middle-click)
// and every drop inserts forBox(text) in place of the text; the box's maximum length then
// cuts what is left, as it cuts typing. Install it before any key filter of the box, so that
// a paste key the key filter drops stays dropped.
void install(QLineEdit* box, Blanks blanks);

} // namespace PastedText
