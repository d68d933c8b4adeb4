// Helpers shared by the widget tests: answering real message boxes, starting the program's
// windows afresh, and typing into controls.
#pragma once

#include "app/ServiceEndpoint.h"

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class frmMain;
class LoopbackHttpServer;

// Answers every QMessageBox that becomes the active modal widget by pressing its OK button,
// and records what it showed. A modal widget that is not a message box and stays open
// longer than the watchdog allows is rejected and recorded as a failure, so that a test
// fails instead of hanging.
class MessageBoxWatcher : public QObject {
    Q_OBJECT

public:
    struct Seen {
        QString text;
        QString title;
        QMessageBox::Icon icon;
        int buttonCount;
        bool fixedPitch; // the box's font
    };

    explicit MessageBoxWatcher(int watchdogMs = 20000);
    ~MessageBoxWatcher() override;

    // Answer with the Enter key instead of a click on OK.
    bool answerWithKey = false;

    // Called with each box just before it is answered (for checks while it is open).
    std::function<void(QMessageBox*)> onBox;

    QList<Seen> seen;
    QString unexpectedModal;

private:
    void poll();

    QTimer m_timer;
    QWidget* m_lastOtherModal = nullptr;
    int m_otherModalTicks = 0;
    int m_inactiveBoxTicks = 0;
    int m_watchdogTicks;
};

// Resets the program and runs its start-up, with Shutdown hooked to the application's end
// as the program's main() hooks it; returns the main window.
frmMain* startProgram();

// Waits until the window has the keyboard focus, as the next key press of a test needs, and
// says whether it got it. Qt's wait for activation does not work where a program cannot
// activate its own window (on Wayland the compositor hands the keyboard to a window when it
// maps it): there it warns and waits only for the window to be shown. This wait holds on
// every platform.
bool waitForKeyboard(QWidget* window);

// The text of the main window's results box with every line ended by CR LF.
QString resultsText(const frmMain* form);

// The built-in service endpoint pointed at the loopback server, trusting the CA
// certificates given (none: the system's store).
ServiceEndpoint endpointFor(const LoopbackHttpServer& server, const QByteArray& ca = {});

// Types text into the focused widget of the window, one key at a time, as a user would.
void typeText(QWidget* widget, const QString& text);

// Clears a line edit and types the text into it.
void retype(QWidget* lineEdit, const QString& text);
