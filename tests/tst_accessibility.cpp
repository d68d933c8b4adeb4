// What a screen reader and a keyboard-only user get: the accessible name and role of every
// control, the announced status, the message boxes, and the whole way through the program
// with key presses alone.
#include "LoopbackHttpServer.h"
#include "TestSupport.h"
#include "app/ServiceEndpoint.h"
#include "app/modGeneral.h"
#include "forms/frmGetHelp.h"
#include "forms/frmMain.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>

using namespace modGeneral;

namespace {

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

// Presses a key on whatever has the keyboard focus, as a person at the keyboard would.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr)
        target = QApplication::activeWindow();
    if (target == nullptr)
        target = MainForm()->focusWidget() != nullptr ? MainForm()->focusWidget() : MainForm();
    QTest::keyClick(target, key, modifiers);
}

// Class and object name of a widget and of its parent, for a failure message.
QString describe(const QWidget* control) {
    const auto one = [](const QObject* object) {
        return QStringLiteral("%1 \"%2\"")
            .arg(QLatin1String(object->metaObject()->className()), object->objectName());
    };
    return control->parent() == nullptr
               ? one(control)
               : one(control) + QStringLiteral(" in ") + one(control->parent());
}

void typeOnFocus(const QString& text) {
    QTest::keyClicks(QApplication::focusWidget(), text);
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void init() { startProgram(); }
    void cleanup() { DestroyHelpForm(); }
    void cleanupTestCase() { Shutdown(); }

    void names_data();
    void names();
    void listIsLabelledByTheQuestion();
    void openListIsReadByItsName();
    void everyFocusableControlHasAName();
    void statusIsReadByItsText();
    void messageBoxesAreReadAsAlerts();
    void keyboardOnlyWholeWay();
};

void TestAccessibility::names_data() {
    QTest::addColumn<bool>("helpForm");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    const int edit = QAccessible::EditableText;
    const int button = QAccessible::Button;
    const struct {
        bool help;
        const char* control;
        const char* name;
        int role;
    } table[] = {
        {false, "txtBalance", "Balance", edit},
        {false, "txtInterestRate", "Interest rate in percent", edit},
        {false, "txtMinimumPayment", "Minimum payment", edit},
        {false, "txtResults", "Results", edit},
        {false, "cmdNext", "Next", button},
        {false, "cmdBack", "Back", button},
        {false, "cmdCancel", "Cancel", button},
        {false, "cmdGetHelp", "Get Help Now!", button},
        {true, "txtFirstName", "First name, required", edit},
        {true, "txtLastName", "Last name, required", edit},
        {true, "txtAddress", "Address, required", edit},
        {true, "txtCity", "City, required", edit},
        {true, "txtState", "State, required", edit},
        {true, "txtZipCode", "Zip code, required", edit},
        {true, "txtHomePhone", "Day phone, required", edit},
        {true, "txtWorkPhone", "Night phone", edit},
        {true, "txtEmail", "Email", edit},
        {true, "cmdOk", "OK", button},
        {true, "Command1", "Cancel", button},
    };
    for (const auto& row : table)
        QTest::newRow(row.control) << row.help << row.control << row.name << row.role;
}

void TestAccessibility::names() {
    QFETCH(bool, helpForm);
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(int, role);
    QWidget* window = helpForm ? static_cast<QWidget*>(HelpForm()) : MainForm();
    QAccessibleInterface* interface = accessible(window->findChild<QWidget*>(control));
    QVERIFY(interface != nullptr);
    QCOMPARE(interface->text(QAccessible::Name), name);
    QCOMPARE(int(interface->role()), role);
}

// On Linux a list box is named by the label it is labelled by (its name is its value).
void TestAccessibility::listIsLabelledByTheQuestion() {
    QAccessibleInterface* list = accessible(MainForm()->cboNumDebts);
    QCOMPARE(int(list->role()), int(QAccessible::ComboBox));
    const auto labels = list->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first().first->text(QAccessible::Name),
             QStringLiteral("How many non-secured debts do you have?"));
    QCOMPARE(list->text(QAccessible::Description),
             QStringLiteral("How many non-secured debts do you have?"));
}

// The open list is a focusable control of its own, which some Qt releases make only as it
// opens and others with the first item: it has its name from the moment it exists.
void TestAccessibility::openListIsReadByItsName() {
    QComboBox* list = MainForm()->cboNumDebts;
    list->showPopup();
    QTRY_VERIFY(list->view()->isVisible());
    QAccessibleInterface* open = accessible(list->view());
    QCOMPARE(int(open->role()), int(QAccessible::List));
    QCOMPARE(open->text(QAccessible::Name), QStringLiteral("Number of debts"));
    list->hidePopup();
}

void TestAccessibility::everyFocusableControlHasAName() {
    for (QWidget* window : {static_cast<QWidget*>(MainForm()), static_cast<QWidget*>(HelpForm())})
        for (QWidget* control : window->findChildren<QWidget*>())
            if (control->focusPolicy() & Qt::TabFocus)
                QVERIFY2(!accessible(control)->text(QAccessible::Name).isEmpty(),
                         qPrintable(describe(control)));
}

// The status label is read by its text; the screen-reader check under Xvfb listens for the
// change events themselves.
void TestAccessibility::statusIsReadByItsText() {
    frmMain* window = MainForm();
    QTest::mouseClick(window->cmdNext, Qt::LeftButton);
    retype(window->txtBalance, QStringLiteral("200"));
    retype(window->txtInterestRate, QStringLiteral("6"));
    retype(window->txtMinimumPayment, QStringLiteral("20"));
    QTest::mouseClick(window->cmdNext, Qt::LeftButton);
    QAccessibleInterface* status = accessible(window->lblResults);
    QCOMPARE(status->text(QAccessible::Name), QStringLiteral("Done"));
    QVERIFY(window->lblResults->accessibleName().isEmpty()); // else Qt would not announce it
}

void TestAccessibility::messageBoxesAreReadAsAlerts() {
    QStringList read;
    QList<int> roles;
    MessageBoxWatcher watcher;
    watcher.onBox = [&](QMessageBox* box) {
        QAccessibleInterface* interface = accessible(box);
        roles << int(interface->role());
        read << interface->text(QAccessible::Name) + u'|' +
                    interface->text(QAccessible::Description);
    };
    QTest::mouseClick(MainForm()->cmdNext, Qt::LeftButton);
    QTest::mouseClick(MainForm()->cmdNext, Qt::LeftButton); // all boxes blank

    QCOMPARE(roles, QList<int>{int(QAccessible::AlertMessage)});
    QCOMPARE(read[0], QStringLiteral("Quillaby|Balance can not be blank"));
}

// From the first page to a sent help request and back, with key presses alone.
void TestAccessibility::keyboardOnlyWholeWay() {
    LoopbackHttpServer server;
    const auto restore = qScopeGuard([] { setServiceEndpoint(ServiceEndpoint::builtIn()); });
    setServiceEndpoint(endpointFor(server)); // whatever the build's scheme
    frmMain* window = MainForm();
    MessageBoxWatcher watcher;
    watcher.answerWithKey = true; // boxes are closed with Enter, as from the keyboard
    QTRY_COMPARE(QApplication::focusWidget(), window->cboNumDebts);

    press(Qt::Key_Down); // two debts
    press(Qt::Key_N, Qt::AltModifier);
    QTRY_COMPARE(g_nCurrentPage, 1); // an access key presses its button after a short flash
    press(Qt::Key_Return);           // nothing typed: a warning, closed with Enter
    QCOMPARE(watcher.seen.size(), 1);
    QTRY_COMPARE(QApplication::focusWidget(), window->txtBalance);
    for (const char* balance : {"1000", "10"}) {
        typeOnFocus(QLatin1String(balance));
        press(Qt::Key_Tab);
        typeOnFocus(QStringLiteral("18"));
        press(Qt::Key_Tab);
        typeOnFocus(QStringLiteral("50"));
        press(Qt::Key_Return);
    }
    QCOMPARE(window->lblResults->text(), QStringLiteral("Done"));

    // Alt+B goes back a page, Enter on the last page runs the report again.
    press(Qt::Key_B, Qt::AltModifier);
    QTRY_COMPARE(g_nCurrentPage, 2);
    press(Qt::Key_Return);
    QCOMPARE(g_nCurrentPage, 3);

    // Tab to "Get Help Now!" and press it; the form is modal, so it is driven from inside.
    for (int i = 0; i < 10 && QApplication::focusWidget() != window->cmdGetHelp; ++i)
        press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window->cmdGetHelp);
    bool cancelled = false;
    QTimer::singleShot(0, this, [&] {
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), HelpForm()->txtFirstName, 2000);
        typeOnFocus(QStringLiteral("Jo"));
        press(Qt::Key_C, Qt::AltModifier); // Cancel keeps the text
        QTRY_VERIFY(!HelpForm()->isVisible());
        cancelled = true;
    });
    press(Qt::Key_Space);
    QVERIFY(cancelled);
    window->activateWindow(); // the window manager hands the focus back
    QVERIFY(waitForKeyboard(window));

    bool sent = false;
    QTimer::singleShot(0, this, [&] {
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), HelpForm()->txtFirstName, 2000);
        press(Qt::Key_Tab); // "Jo" is still there
        for (const char* text :
             {"Roe", "1 Elm St.", "Albany", "NY", "12207", "5185550100", "", "jo@example.com"}) {
            typeOnFocus(QLatin1String(text));
            press(Qt::Key_Tab);
        }
        press(Qt::Key_O, Qt::AltModifier); // OK sends the request
        QTRY_VERIFY(!HelpForm()->isVisible());
        sent = true;
    });
    press(Qt::Key_Space);
    QVERIFY(sent);
    QCOMPARE(server.targets().size(), 1);
    QVERIFY(server.targets().first().contains(QStringLiteral("FirstName=Jo&")));
    QCOMPARE(watcher.seen.size(), 2);

    // Back to the last debt page with Shift+Tab and Enter.
    window->activateWindow(); // the window manager hands the focus back
    QVERIFY(waitForKeyboard(window));
    for (int i = 0; i < 10 && QApplication::focusWidget() != window->cmdBack; ++i)
        press(Qt::Key_Backtab);
    press(Qt::Key_Return);
    QCOMPARE(g_nCurrentPage, 2);
    QCOMPARE(window->txtBalance->text(), QStringLiteral("10"));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
