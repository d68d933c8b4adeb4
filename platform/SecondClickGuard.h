// Keeps the second click of a double-click from pressing a button that has just taken the
// clicked button's place.
#pragma once

#include <QObject>
#include <QWidget>
#include <initializer_list>
#include <optional>

class SecondClickGuard : public QObject {
public:
    // Watches the button and its successors, the buttons shown in its place when it is
    // clicked; the guard belongs to the button. A successor ignores a left mouse press (or
    // double-click) that comes within the system's double-click interval of the last left
    // press on the button, and the release that ends it. Keys and later clicks press it as
    // usual.
    SecondClickGuard(QWidget* button, std::initializer_list<QWidget*> successors);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_button;
    std::optional<quint64> m_buttonPressedAt;
    bool m_swallowRelease = false;
};
