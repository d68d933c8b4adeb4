// The forms' font: Liberation Sans Narrow at 8 points (Debian's fonts-liberation on Debian
// 12, fonts-liberation-sans-narrow on 13), narrow enough for the fixed label widths of the
// layouts at any scale factor; elsewhere a measured proportional fallback.
#include "FormFont.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

constexpr double kPointSize = 8;
constexpr double kSmallestPointSize = 6;

// The faces to try, narrowest first: fontconfig's own substitute for a missing face may be a
// monospaced one, which cuts the captions.
const char* const kFaces[] = {"Liberation Sans Narrow",
                              "Arial Narrow",
                              "DejaVu Sans Condensed",
                              "Liberation Sans",
                              "Arial",
                              "Noto Sans",
                              "DejaVu Sans",
                              "Segoe UI"};

void loadBundledFonts() {
    const QDir folder(QCoreApplication::applicationDirPath() + QStringLiteral("/fonts"));
    for (const QString& file : folder.entryList({QStringLiteral("*.ttf")}, QDir::Files))
        QFontDatabase::addApplicationFont(folder.filePath(file));
}

// One of the faces above, else the first proportional face with Latin letters that is not a
// symbol face. The Latin mark alone does not tell: fontconfig gives it to URW's D050000L and
// Standard Symbols PS, whose signs sit on Latin code points; Qt marks them Symbol as well, from
// their Type 1 files (Debian's fonts-urw-base35 installs both kinds).
QString proportionalFace() {
    for (const char* face : kFaces) {
        QString family = QLatin1String(face);
        if (QFontDatabase::hasFamily(family) && !QFontDatabase::isFixedPitch(family))
            return family;
    }
    for (const QString& family : QFontDatabase::families(QFontDatabase::Latin)) {
        if (!QFontDatabase::isFixedPitch(family) && !QFontDatabase::isPrivateFamily(family) &&
            !QFontDatabase::writingSystems(family).contains(QFontDatabase::Symbol))
            return family;
    }
    return {};
}

// The room a caption has in its control, as the control draws it.
int captionRoom(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->width() - 2 * label->margin();
    const auto* button = qobject_cast<const QPushButton*>(control);
    QStyleOptionButton option;
    option.initFrom(button);
    return button->width() -
           2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
}

bool fits(const QFont& font, const QWidget* control, QString caption) {
    const QFontMetrics metrics(font);
    caption.remove(u'&');
    return metrics.horizontalAdvance(caption) <= captionRoom(control) &&
           metrics.height() <= control->height();
}

} // namespace

QFont formFont() {
    static const QFont font = [] {
        loadBundledFonts();
        QFont chosen(QString::fromLatin1(kFaces[0]));
        chosen.setPointSizeF(kPointSize);
        chosen.setStyleHint(QFont::SansSerif);
        // Judged by the face the font is matched to, which the first window loads anyway; asking
        // the font database for the name would add a fontconfig substitution to start-up.
        const QFontInfo matched(chosen);
        if (matched.family().compare(chosen.family(), Qt::CaseInsensitive) != 0 ||
            matched.fixedPitch()) {
            const QString family = proportionalFace();
            if (!family.isEmpty())
                chosen.setFamily(family);
        }
        return chosen;
    }();
    return font;
}

void fitFormFont(QWidget* form, std::initializer_list<std::pair<QWidget*, QString>> texts) {
    QFont font = form->font();
    const auto allFit = [&] {
        for (const QLabel* label : form->findChildren<QLabel*>()) {
            if (!fits(font, label, label->text()))
                return false;
        }
        for (const QPushButton* button : form->findChildren<QPushButton*>()) {
            if (!fits(font, button, button->text()))
                return false;
        }
        for (const auto& [control, text] : texts) {
            if (!fits(font, control, text))
                return false;
        }
        return true;
    };
    while (font.pointSizeF() > kSmallestPointSize && !allFit())
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (font != form->font())
        form->setFont(font);
}
