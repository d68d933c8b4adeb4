// Shared helpers of the widget tests.
#include "TestSupport.h"

#include "LoopbackHttpServer.h"
#include "app/modGeneral.h"
#include "forms/frmMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QWindow>

MessageBoxWatcher::MessageBoxWatcher(int watchdogMs) : m_watchdogTicks(watchdogMs / 10) {
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxWatcher::poll);
    m_timer.start(10);
}

MessageBoxWatcher::~MessageBoxWatcher() {
    m_timer.stop();
}

void MessageBoxWatcher::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    auto* box = qobject_cast<QMessageBox*>(modal);
    // As a person would, answer once the box has the keyboard (on Wayland the compositor gives
    // it a moment later, longer on a busy machine; answered before, the box can cost the
    // window its selection), or after three seconds where it never gets it.
    if (box != nullptr && box->isVisible() && !box->isActiveWindow() && ++m_inactiveBoxTicks < 300)
        return;
    m_inactiveBoxTicks = 0;
    if (box != nullptr && box->isVisible()) {
        if (onBox)
            onBox(box);
        seen.append({box->text(), box->windowTitle(), box->icon(),
                     static_cast<int>(box->buttons().size()), QFontInfo(box->font()).fixedPitch()});
        if (answerWithKey)
            QTest::keyClick(box, Qt::Key_Return);
        else if (QAbstractButton* ok = box->button(QMessageBox::Ok))
            ok->click();
        else
            box->reject();
        return;
    }
    if (modal == nullptr || modal != m_lastOtherModal) {
        m_lastOtherModal = modal;
        m_otherModalTicks = 0;
        return;
    }
    if (++m_otherModalTicks > m_watchdogTicks) {
        unexpectedModal = modal->objectName();
        modal->hide();
        m_otherModalTicks = 0;
    }
}

frmMain* startProgram() {
    static const bool hooked =
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, &modGeneral::Shutdown);
    Q_UNUSED(hooked);
    modGeneral::Shutdown();
    modGeneral::Main();
    frmMain* form = modGeneral::MainForm();
    form->activateWindow();
    if (!waitForKeyboard(form))
        qWarning("the main window did not get the keyboard");
    return form;
}

bool waitForKeyboard(QWidget* window) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    return QTest::qWaitForWindowFocused(window);
#else
    return QTest::qWaitFor([window] {
        return window->windowHandle() != nullptr &&
               QGuiApplication::focusWindow() == window->windowHandle();
    });
#endif
}

QString resultsText(const frmMain* form) {
    QString text = form->txtResults->toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

ServiceEndpoint endpointFor(const LoopbackHttpServer& server, const QByteArray& ca) {
    ServiceEndpoint endpoint = ServiceEndpoint::builtIn();
    endpoint.host = server.host();
    endpoint.scheme = server.scheme();
    endpoint.ca = ca;
    return endpoint;
}

void typeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text)
        QTest::keyClick(widget, ch.toLatin1());
}

void retype(QWidget* lineEdit, const QString& text) {
    auto* box = qobject_cast<QLineEdit*>(lineEdit);
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    typeText(box, text);
}
