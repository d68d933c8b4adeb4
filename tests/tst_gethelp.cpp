// The "Get Help Now!" form and the request it sends, against a real HTTP server on
// loopback. With QUILLABY_TEST_TLS=1 every request goes over https to that server speaking
// TLS with a throwaway certificate.
#include "LoopbackHttpServer.h"
#include "TestCertificates.h"
#include "TestSupport.h"
#include "app/ServiceEndpoint.h"
#include "app/modGeneral.h"
#include "forms/frmGetHelp.h"
#include "forms/frmMain.h"
#include "platform/HttpRequest.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUrlQuery>

using namespace modGeneral;

namespace {

frmGetHelp* helpForm() {
    return HelpForm();
}

void click(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

void addDebt(double balance, double rate, double payment) {
    clsDebt& debt = g_colDebts.add(std::to_string(g_colDebts.count() + 1));
    debt.setBalance(balance);
    debt.setInterestRate(rate);
    debt.setMinPayment(payment);
    g_nNumDebts = static_cast<std::int16_t>(g_colDebts.count());
}

// The contact details of the worked example, as a user would have typed them.
void fillExample() {
    frmGetHelp* form = helpForm();
    form->txtFirstName->setText(QStringLiteral("Jo"));
    form->txtLastName->setText(QStringLiteral("Roe"));
    form->txtAddress->setText(QStringLiteral("1 Elm St., Apt 2"));
    form->txtCity->setText(QStringLiteral("Albany"));
    form->txtState->setText(QStringLiteral("NY"));
    form->txtZipCode->setText(QStringLiteral("12207"));
    form->txtHomePhone->setText(QStringLiteral("5185550100"));
    form->txtWorkPhone->clear();
    form->txtEmail->clear();
}

const QString kThanks = QStringLiteral(
    "Thank you for your interest in our program.\r\nYour request has been submitted for "
    "processing.\r\nYou will receive a call from one of our consultants within 24 hours.");
const QString kError = QStringLiteral("An error occured. Please try again later.");

} // namespace

class TestGetHelp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase() { Shutdown(); }

    void layoutAndControlOrder();
    void tabOrderAndDefaultButton();
    void typingInFilteredBoxes();
    void committedTextIsFiltered_data();
    void committedTextIsFiltered();
    void checks_data();
    void checks();
    void checksRunInOrder();
    void failedRequestKeepsTheFocusForAnotherTry();
    void escaping_data();
    void escaping();

    void workedExampleArrivesExactly();
    void everyDebtIsSent();
    void typedValuesArriveAsSingleParameters();
    void answers_data();
    void answers();
    void transportFailures_data();
    void transportFailures();
    void movedServiceIsFollowed_data();
    void movedServiceIsFollowed();
    void redirectNeverGoesFromHttpsToHttp();
    void answerBodyIsCapped();
    void disabledWithHourglassWhileBusy();
    void slowServiceKeepsWindowsAliveAndDropsInput();
    void cancelKeepsTextsCloseBoxEmptiesThem();
    void closingTheMainWindowWithTheFormOpenEndsTheProgram();

private:
    std::unique_ptr<LoopbackHttpServer> m_server;
    TestCertificates m_certificates;
    bool m_tls = false;
};

void TestGetHelp::initTestCase() {
    m_tls = qEnvironmentVariableIntValue("QUILLABY_TEST_TLS") == 1;
    QVERIFY2(m_certificates.make(), qPrintable(m_certificates.error()));
}

// Whatever the build's scheme and CA, each test talks to its own server, plain or TLS.
void TestGetHelp::init() {
    frmMain* window = startProgram();
    if (m_tls)
        m_server = std::make_unique<LoopbackHttpServer>(m_certificates.loopback());
    else
        m_server = std::make_unique<LoopbackHttpServer>();
    setServiceEndpoint(endpointFor(*m_server, m_tls ? m_certificates.caPem() : QByteArray()));
    addDebt(2500, 18.9, 50);
    addDebt(1200.50, 21, 35);
    g_nCurrentPage = 3;
    Q_UNUSED(window);
    helpForm()->show();
    helpForm()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(helpForm()));
}

void TestGetHelp::cleanup() {
    DestroyHelpForm();
    m_server.reset();
}

void TestGetHelp::layoutAndControlOrder() {
    const struct {
        const char* name;
        const char* kind;
        QRect twips;
        const char* caption;
    } table[] = {
        {"Command1", "QPushButton", {2400, 3720, 1455, 435}, "&Cancel"},
        {"cmdOk", "QPushButton", {840, 3720, 1455, 435}, "&OK"},
        {"txtWorkPhone", "QLineEdit", {1200, 2640, 3375, 285}, ""},
        {"txtHomePhone", "QLineEdit", {1200, 2280, 3375, 285}, ""},
        {"txtEmail", "QLineEdit", {1200, 3000, 3375, 285}, ""},
        {"txtZipCode", "QLineEdit", {1200, 1920, 3375, 285}, ""},
        {"txtState", "QLineEdit", {1200, 1560, 3375, 285}, ""},
        {"txtCity", "QLineEdit", {1200, 1200, 3375, 285}, ""},
        {"txtAddress", "QLineEdit", {1200, 840, 3375, 285}, ""},
        {"txtLastName", "QLineEdit", {1200, 480, 3375, 285}, ""},
        {"txtFirstName", "QLineEdit", {1200, 120, 3375, 285}, ""},
        {"Label3", "QLabel", {0, 3360, 4695, 255}, "* indicates required field"},
        {"Label9", "QLabel", {-240, 2640, 1335, 255}, "Night Phone:"},
        {"Label8", "QLabel", {-120, 2280, 1215, 255}, "*Day Phone:"},
        {"Label7", "QLabel", {0, 3000, 1095, 255}, "Email:"},
        {"Label6", "QLabel", {0, 1920, 1095, 255}, "*Zip:"},
        {"Label5", "QLabel", {0, 1560, 1095, 255}, "*State:"},
        {"Label4", "QLabel", {0, 1200, 1095, 255}, "*City:"},
        {"Label2", "QLabel", {0, 840, 1095, 255}, "*Address:"},
        {"Label1", "QLabel", {0, 480, 1095, 255}, "*Last Name:"},
        {"lblLabel", "QLabel", {0, 120, 1095, 255}, "*First Name:"},
    };
    frmGetHelp* form = helpForm();
    QCOMPARE(form->windowTitle(), QStringLiteral("Get Help Now!"));
    QCOMPARE(form->minimumSize(), QSize(317, 285));
    QCOMPARE(form->maximumSize(), QSize(317, 285));

    QStringList order;
    for (const QObject* child : form->children())
        if (child->isWidgetType())
            order << child->objectName();
    QStringList expectedOrder;
    for (const auto& row : table) {
        expectedOrder << QLatin1String(row.name);
        auto* control = form->findChild<QWidget*>(QLatin1String(row.name));
        QVERIFY2(control != nullptr, row.name);
        QCOMPARE(QString::fromLatin1(control->metaObject()->className()), QLatin1String(row.kind));
        const QRect pixels(row.twips.x() / 15, row.twips.y() / 15, row.twips.width() / 15,
                           row.twips.height() / 15);
        QCOMPARE(control->geometry(), pixels);
        if (auto* label = qobject_cast<QLabel*>(control))
            QCOMPARE(label->text(), QLatin1String(row.caption));
        else if (auto* button = qobject_cast<QPushButton*>(control))
            QCOMPARE(button->text(), QLatin1String(row.caption));
        else
            QVERIFY(qobject_cast<QLineEdit*>(control)->text().isEmpty());
    }
    QCOMPARE(order, expectedOrder);
}

void TestGetHelp::tabOrderAndDefaultButton() {
    frmGetHelp* form = helpForm();
    QVERIFY(form->cmdOk->isDefault());
    QTRY_COMPARE(QApplication::focusWidget(), form->txtFirstName);
    const QList<QWidget*> order = {form->txtLastName,  form->txtAddress,  form->txtCity,
                                   form->txtState,     form->txtZipCode,  form->txtHomePhone,
                                   form->txtWorkPhone, form->txtEmail,    form->cmdOk,
                                   form->Command1,     form->txtFirstName};
    for (QWidget* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), expected);
    }

    // Escape does nothing; Enter in a box presses OK.
    QTest::keyClick(form->txtFirstName, Qt::Key_Escape);
    QVERIFY(form->isVisible());
    MessageBoxWatcher watcher;
    QTest::keyClick(form->txtCity, Qt::Key_Return);
    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(watcher.seen[0].text, QStringLiteral("First name is required"));
}

void TestGetHelp::typingInFilteredBoxes() {
    frmGetHelp* form = helpForm();
    for (QLineEdit* box :
         {form->txtFirstName, form->txtLastName, form->txtCity, form->txtState, form->txtEmail}) {
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("St. Lo-u'is,@9#&/"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QStringLiteral("St.Louis,@"));
        QTest::keyClick(box, Qt::Key_Home);
        QCOMPARE(box->cursorPosition(), 0);
    }
    for (QLineEdit* box :
         {form->txtAddress, form->txtZipCode, form->txtHomePhone, form->txtWorkPhone}) {
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("1 Elm-St. #2"));
        QCOMPARE(box->text(), QStringLiteral("1 Elm-St. #2"));
    }
}

// Text committed by an input method or an on-screen keyboard meets the boxes' key filters.
void TestGetHelp::committedTextIsFiltered_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("committed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("balance") << "txtBalance"
                             << "2500xe."
                             << "2500.";
    QTest::newRow("rate") << "txtInterestRate"
                          << "18,9 %"
                          << "189";
    QTest::newRow("payment, wide digit") << "txtMinimumPayment"
                                         << "\uFF150"
                                         << "0";
    QTest::newRow("first name") << "txtFirstName"
                                << "St. Lo-u'is,@9#&/"
                                << "St.Louis,@9";
    QTest::newRow("e-mail, emoji") << "txtEmail"
                                   << "a+b@c.org\U0001F600"
                                   << "ab@c.org";
    QTest::newRow("address whole") << "txtAddress"
                                   << "1 Elm-St. #2"
                                   << "1 Elm-St. #2";
    QTest::newRow("zip whole") << "txtZipCode"
                               << "12345-6789"
                               << "12345-6789";
}

void TestGetHelp::committedTextIsFiltered() {
    QFETCH(QString, box);
    QFETCH(QString, committed);
    QFETCH(QString, kept);
    auto* edit = helpForm()->findChild<QLineEdit*>(box);
    if (edit == nullptr)
        edit = MainForm()->findChild<QLineEdit*>(box);
    QVERIFY(edit != nullptr);
    edit->setText(QStringLiteral("1"));
    QInputMethodEvent event;
    event.setCommitString(committed);
    QApplication::sendEvent(edit, &event);
    QCOMPARE(edit->text(), "1" + kept);
}

void TestGetHelp::checks_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    // Each row changes one box of the otherwise valid example.
    QTest::newRow("first name") << "txtFirstName"
                                << ""
                                << "First name is required";
    QTest::newRow("last name") << "txtLastName"
                               << ""
                               << "Last name is required";
    QTest::newRow("address") << "txtAddress"
                             << ""
                             << "Address is required";
    QTest::newRow("city") << "txtCity"
                          << ""
                          << "City is required";
    QTest::newRow("state") << "txtState"
                           << ""
                           << "State is required";
    QTest::newRow("zip empty") << "txtZipCode"
                               << ""
                               << "Zip code is required";
    QTest::newRow("zip plus four") << "txtZipCode"
                                   << "12345-6789"
                                   << "Zip code must be numeric";
    QTest::newRow("day phone empty") << "txtHomePhone"
                                     << ""
                                     << "Day Phone is required";
    QTest::newRow("day phone hyphen") << "txtHomePhone"
                                      << "555-0100"
                                      << "Day Phone must be numeric";
    QTest::newRow("night phone letters") << "txtWorkPhone"
                                         << "evenings"
                                         << "Night phone must be numeric";
}

void TestGetHelp::checks() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, message);
    fillExample();
    frmGetHelp* form = helpForm();
    auto* failing = form->findChild<QLineEdit*>(box);
    failing->setText(text);
    failing->setCursorPosition(0);
    form->txtFirstName->setFocus();

    MessageBoxWatcher watcher;
    click(form->cmdOk);

    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(watcher.seen[0].text, message);
    QCOMPARE(watcher.seen[0].title, QStringLiteral("Quillaby"));
    QCOMPARE(watcher.seen[0].icon, QMessageBox::Warning);
    QVERIFY(!watcher.seen[0].fixedPitch);
    QVERIFY(form->isEnabled());
    QVERIFY(form->isVisible());
    QTRY_COMPARE(form->focusWidget(), failing);
    QCOMPARE(failing->text(), text);
    QVERIFY(!failing->hasSelectedText());
    QVERIFY(m_server->targets().isEmpty());
}

// From an empty form, OK reports the checks one after the other as each box is filled in.
void TestGetHelp::checksRunInOrder() {
    frmGetHelp* form = helpForm();
    const QList<std::pair<QLineEdit*, QString>> fixes = {
        {form->txtFirstName, "Jo"},      {form->txtLastName, "Roe"},
        {form->txtAddress, "   "},       {form->txtCity, "Albany"},
        {form->txtState, "NY"},          {form->txtZipCode, "12207-1"},
        {form->txtZipCode, " 12207 "},   {form->txtHomePhone, "555 0100"},
        {form->txtHomePhone, "5550100"}, {form->txtWorkPhone, "1e5"}};
    form->txtWorkPhone->setText(QStringLiteral("late"));
    MessageBoxWatcher watcher;
    QList<QWidget*> focused;
    for (const auto& [box, text] : fixes) {
        click(form->cmdOk);
        focused << form->focusWidget();
        box->setText(text);
    }
    click(form->cmdOk);

    QStringList messages;
    for (const auto& seen : watcher.seen)
        messages << seen.text;
    QCOMPARE(messages,
             QStringList({"First name is required", "Last name is required", "Address is required",
                          "City is required", "State is required", "Zip code is required",
                          "Zip code must be numeric", "Day Phone is required",
                          "Day Phone must be numeric", "Night phone must be numeric", kThanks}));
    for (int i = 0; i < fixes.size(); ++i)
        QCOMPARE(focused[i], fixes[i].first);
    QCOMPARE(m_server->targets().size(), 1);
}

void TestGetHelp::failedRequestKeepsTheFocusForAnotherTry() {
    fillExample();
    m_server->answer(200, "busy");
    frmGetHelp* form = helpForm();
    form->txtCity->setFocus();
    MessageBoxWatcher watcher;
    QTest::keyClick(form->txtCity, Qt::Key_Return);
    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(watcher.seen[0].text, kError);
    QTRY_COMPARE(form->focusWidget(), form->txtCity);

    m_server->answer(200, "OK");
    QTest::keyClick(form->focusWidget(), Qt::Key_Return); // Enter again sends again
    QCOMPARE(m_server->targets().size(), 2);
    QCOMPARE(watcher.seen.size(), 2);
    QCOMPARE(watcher.seen[1].text, kThanks);
    QVERIFY(!form->isVisible());
}

void TestGetHelp::escaping_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("three kept escapes") << "a.b,c@d"
                                        << "a%2Eb%2Cc%40d";
    QTest::newRow("example address") << "1 Elm St., Apt 2"
                                     << "1%20Elm%20St%2E%2C%20Apt%202";
    QTest::newRow("breakouts") << "x&id=1+2%#?/'"
                               << "x%26id%3D1%2B2%25%23%3F%2F%27";
    QTest::newRow("accent") << QString::fromUtf8("Andr\u00e9") << "Andr%C3%A9";
    QTest::newRow("unreserved") << "Az09-_~"
                                << "Az09-_~";
    QTest::newRow("empty") << ""
                           << "";
}

void TestGetHelp::escaping() {
    QFETCH(QString, typed);
    QFETCH(QString, escaped);
    QCOMPARE(UrlEscapeValue(typed), escaped);
}

void TestGetHelp::workedExampleArrivesExactly() {
    fillExample();
    MessageBoxWatcher watcher;
    click(helpForm()->cmdOk);

    QCOMPARE(m_server->targets(),
             QStringList{"/form_proc/dc_proc_v2.asp?id=161&WorkPhone=&HomePhone=5185550100&Email="
                         "&ZipCode=12207&State=NY&City=Albany&Address=1%20Elm%20St%2E%2C%20Apt%202"
                         "&LastName=Roe&FirstName=Jo&CreditorName1=credit+card&TotalBalance1=2500"
                         "&InterestRate1=18.9&MinimumPayment1=50&CreditorName2=credit+card"
                         "&TotalBalance2=1200.5&InterestRate2=21&MinimumPayment2=35"});
    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(watcher.seen[0].text, kThanks);
    QCOMPARE(watcher.seen[0].icon, QMessageBox::Information);
    QCOMPARE(watcher.seen[0].title, QStringLiteral("Quillaby"));
    QVERIFY(!helpForm()->isVisible());
    QVERIFY(helpForm()->isEnabled());
    QCOMPARE(helpForm()->txtFirstName->text(), QStringLiteral("Jo")); // kept for next time
}

void TestGetHelp::everyDebtIsSent() {
    // Ten debts entered through the pages; 1500.00 is sent as 1500.
    frmMain* window = startProgram();
    helpForm()->show();
    window->cboNumDebts->setCurrentIndex(9);
    click(window->cmdNext);
    for (int i = 1; i <= 10; ++i) {
        retype(window->txtBalance, i == 1 ? QStringLiteral("1500.00") : QString::number(i * 100));
        retype(window->txtInterestRate, QStringLiteral("18"));
        retype(window->txtMinimumPayment, QStringLiteral("0.5"));
        click(window->cmdNext);
    }
    QCOMPARE(window->lblResults->text(), QStringLiteral("Done"));
    fillExample();
    MessageBoxWatcher watcher;
    click(helpForm()->cmdOk);

    QCOMPARE(m_server->targets().size(), 1);
    const QString target = m_server->targets().first();
    const QUrlQuery query(target.section(u'?', 1));
    const auto items = query.queryItems();
    QCOMPARE(items.size(), 10 + 4 * 10);
    QCOMPARE(items[10].first, QStringLiteral("CreditorName1"));
    QCOMPARE(items.last().first, QStringLiteral("MinimumPayment10"));
    QVERIFY(target.contains(QStringLiteral("&TotalBalance1=1500&")));
    QVERIFY(target.contains(QStringLiteral("&MinimumPayment3=0.5&")));
    QVERIFY(target.endsWith(QStringLiteral("&MinimumPayment10=0.5")));
}

void TestGetHelp::typedValuesArriveAsSingleParameters() {
    fillExample();
    frmGetHelp* form = helpForm();
    form->txtAddress->setText(QStringLiteral("Smith & Sons, 5 Oak Rd #3 x&id=1"));
    form->txtEmail->setText(QStringLiteral("jo.roe@example.com"));
    form->txtCity->setText(QStringLiteral("New York 50% off?")); // pasted past the key filter
    MessageBoxWatcher watcher;
    click(form->cmdOk);

    QCOMPARE(m_server->targets().size(), 1);
    const QString target = m_server->targets().first();
    QVERIFY(target.contains(QStringLiteral("Email=jo%2Eroe%40example%2Ecom&")));
    const QUrlQuery query(target.section(u'?', 1));
    QCOMPARE(query.queryItems().size(), 10 + 4 * 2);
    QCOMPARE(query.allQueryItemValues(QStringLiteral("id")), QStringList{"161"});
    QCOMPARE(query.queryItemValue(QStringLiteral("Address"), QUrl::FullyDecoded),
             form->txtAddress->text());
    QCOMPARE(query.queryItemValue(QStringLiteral("City"), QUrl::FullyDecoded),
             form->txtCity->text());
    QCOMPARE(query.queryItemValue(QStringLiteral("Email"), QUrl::FullyDecoded),
             form->txtEmail->text());
}

void TestGetHelp::answers_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("OK with status 500") << 500 << QByteArray("OK") << true;
    QTest::newRow("OK") << 200 << QByteArray("OK") << true;
    QTest::newRow("Okay") << 200 << QByteArray("Okay") << false;
    QTest::newRow("ok") << 200 << QByteArray("ok") << false;
    QTest::newRow("OK and a line break") << 200 << QByteArray("OK\r\n") << false;
    QTest::newRow("empty") << 200 << QByteArray() << false;
    QTest::newRow("error page") << 404 << QByteArray("<html>Not found</html>") << false;
}

void TestGetHelp::answers() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, accepted);
    m_server->answer(status, body);
    fillExample();
    MessageBoxWatcher watcher;
    click(helpForm()->cmdOk);

    QCOMPARE(m_server->targets().size(), 1);
    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(watcher.seen[0].text, accepted ? kThanks : kError);
    QCOMPARE(watcher.seen[0].icon, accepted ? QMessageBox::Information : QMessageBox::Warning);
    QCOMPARE(helpForm()->isVisible(), !accepted);
    QVERIFY(helpForm()->isEnabled());
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QCOMPARE(helpForm()->txtAddress->text(), QStringLiteral("1 Elm St., Apt 2"));
}

void TestGetHelp::transportFailures_data() {
    QTest::addColumn<int>("failure");
    QTest::newRow("connection refused") << 0;
    QTest::newRow("no answer within the time-out") << 1;
    QTest::newRow("answer is not HTTP") << 2;
    QTest::newRow("connection closed without answer") << 3;
    QTest::newRow("no such host") << 4;
    QTest::newRow("connection closed mid-answer") << 5;
    QTest::newRow("10 MB answer") << 6;
    QTest::newRow("one byte a second") << 7;
    QTest::newRow("endless redirects") << 8;
    QTest::newRow("certificate of an unknown CA, system store") << 9;
    QTest::newRow("certificate of an unknown CA, another CA trusted") << 10;
    QTest::newRow("certificate for another host") << 11;
}

void TestGetHelp::transportFailures() {
    QFETCH(int, failure);
    ServiceEndpoint endpoint = serviceEndpoint();
    endpoint.connectTimeoutMs = 1000;
    endpoint.totalTimeoutMs = 1500;
    switch (failure) {
    case 0:
        endpoint.host = QStringLiteral("127.0.0.1:%1").arg(LoopbackHttpServer::closedPort());
        break;
    case 1:
        m_server->setBehaviour(LoopbackHttpServer::Behaviour::Silent);
        break;
    case 2:
        m_server->setBehaviour(LoopbackHttpServer::Behaviour::NotHttp);
        break;
    case 3:
        m_server->setBehaviour(LoopbackHttpServer::Behaviour::CloseAtOnce);
        break;
    case 4:
        if (m_tls)
            QSKIP("Names are resolved before any TLS; the plain run covers this.");
        endpoint.host = QStringLiteral("no-such-host.invalid");
        break;
    case 5:
        m_server->setBehaviour(LoopbackHttpServer::Behaviour::CloseMidAnswer);
        break;
    case 6:
        m_server->setBehaviour(LoopbackHttpServer::Behaviour::HugeBody);
        break;
    case 7:
        m_server->setBehaviour(LoopbackHttpServer::Behaviour::Trickle);
        break;
    case 8:
        m_server->redirect(302, "/form_proc/again", -1);
        break;
    default:
        // The request goes over https to a TLS server whose certificate it must refuse.
        m_server = std::make_unique<LoopbackHttpServer>(failure == 11 ? m_certificates.otherHost()
                                                                      : m_certificates.loopback());
        endpoint.host = m_server->host();
        endpoint.scheme = QStringLiteral("https");
        endpoint.ca = failure == 9    ? QByteArray()
                      : failure == 10 ? m_certificates.otherCaPem()
                                      : m_certificates.caPem();
        break;
    }
    setServiceEndpoint(endpoint);
    fillExample();
    MessageBoxWatcher watcher;
    QElapsedTimer elapsed;
    elapsed.start();
    click(helpForm()->cmdOk);

    QVERIFY(elapsed.elapsed() < 1500 + 1000);
    if (failure == 8) {
        QCOMPARE(m_server->targets().size(), 1 + 5); // five redirects followed, no more
    } else if (failure >= 9) {
        QVERIFY(m_server->targets().isEmpty()); // nothing sent
        QTRY_COMPARE(m_server->connectionsWithoutRequest(), 1);
    } else {
        QVERIFY(m_server->targets().size() <= 1); // never retried
    }
    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(watcher.seen[0].text, kError);
    QCOMPARE(watcher.seen[0].icon, QMessageBox::Warning);
    QVERIFY(helpForm()->isVisible());
    QVERIFY(helpForm()->isEnabled());
    const QString expected[] = {"",       "5185550100",       "",    "12207", "NY",
                                "Albany", "1 Elm St., Apt 2", "Roe", "Jo"};
    int i = 0;
    for (const QObject* child : helpForm()->children())
        if (const auto* box = qobject_cast<const QLineEdit*>(child))
            QCOMPARE(box->text(), expected[i++]);
}

void TestGetHelp::movedServiceIsFollowed_data() {
    QTest::addColumn<int>("status");
    for (const int status : {301, 302, 303, 307, 308})
        QTest::addRow("%d", status) << status;
}

// A moved service: the request follows the redirect, as a GET, and the final answer counts.
void TestGetHelp::movedServiceIsFollowed() {
    QFETCH(int, status);
    m_server->redirect(status, "/form_proc/moved.asp");
    fillExample();
    MessageBoxWatcher watcher;
    click(helpForm()->cmdOk);

    const QStringList targets = m_server->targets();
    QCOMPARE(targets.size(), 2);
    QVERIFY(targets[0].startsWith(QStringLiteral("/form_proc/dc_proc_v2.asp?id=161&")));
    QCOMPARE(targets[1], QStringLiteral("/form_proc/moved.asp"));
    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(watcher.seen[0].text, kThanks);
}

// A chain may go from http to https, but once on https it never goes back to http, where
// the details would travel in clear.
void TestGetHelp::redirectNeverGoesFromHttpsToHttp() {
    LoopbackHttpServer plainEnd;
    LoopbackHttpServer secure(m_certificates.loopback());
    secure.redirect(302, "http://" + plainEnd.host().toLatin1() + "/form_proc/dc_proc_v2.asp");
    LoopbackHttpServer plainStart;
    plainStart.redirect(302, "https://" + secure.host().toLatin1() + "/form_proc/moved.asp");
    setServiceEndpoint(endpointFor(plainStart, m_certificates.caPem()));
    fillExample();
    MessageBoxWatcher watcher;
    click(helpForm()->cmdOk);

    QCOMPARE(plainStart.targets().size(), 1);
    QCOMPARE(secure.targets(), QStringList{"/form_proc/moved.asp"});
    QVERIFY(plainEnd.targets().isEmpty());
    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(watcher.seen[0].text, kError);
    QVERIFY(helpForm()->isVisible());
}

// The request reads at most kMaxBodyBytes of an answer, so a huge answer cannot exhaust
// memory: one byte more fails the request.
void TestGetHelp::answerBodyIsCapped() {
    const QString url =
        serviceEndpoint().scheme + QStringLiteral("://") + m_server->host() + QStringLiteral("/x");
    m_server->answer(200, QByteArray(HttpRequest::kMaxBodyBytes, 'x'));
    HttpRequest full;
    full.setCaCertificates(serviceEndpoint().ca);
    full.open(QStringLiteral("GET"), url, false);
    full.send(QString());
    QCOMPARE(full.responseText().size(), HttpRequest::kMaxBodyBytes);

    m_server->answer(200, QByteArray(HttpRequest::kMaxBodyBytes + 1, 'x'));
    HttpRequest tooLong;
    tooLong.setCaCertificates(serviceEndpoint().ca);
    tooLong.open(QStringLiteral("GET"), url, false);
    QVERIFY_THROWS_EXCEPTION(HttpError, tooLong.send(QString()));
    QVERIFY(tooLong.responseText().isEmpty());
}

void TestGetHelp::disabledWithHourglassWhileBusy() {
    fillExample();
    QList<bool> enabledWhileOpen;
    QList<Qt::CursorShape> cursorWhileOpen;
    QList<Qt::CursorShape> cursorAfterwards;
    const auto shape = [] {
        const QCursor* shown = QGuiApplication::overrideCursor();
        return shown != nullptr ? shown->shape() : Qt::ArrowCursor;
    };
    MessageBoxWatcher watcher;
    watcher.onBox = [&](QMessageBox*) {
        enabledWhileOpen << helpForm()->isEnabled();
        cursorWhileOpen << shape();
        if (QGuiApplication::overrideCursor() == nullptr)
            return;
        // The pointer beneath the box's own is the one that comes back when it closes.
        const QCursor boxCursor = *QGuiApplication::overrideCursor();
        QGuiApplication::restoreOverrideCursor();
        cursorAfterwards << shape();
        QGuiApplication::setOverrideCursor(boxCursor);
    };
    helpForm()->txtZipCode->setText(QStringLiteral("abc"));
    click(helpForm()->cmdOk); // a failing check
    helpForm()->txtZipCode->setText(QStringLiteral("12207"));
    click(helpForm()->cmdOk); // a request

    QCOMPARE(enabledWhileOpen, (QList<bool>{false, false}));
    // A box that waits for the user shows the arrow; the hourglass comes back after it.
    QCOMPARE(cursorWhileOpen, (QList<Qt::CursorShape>{Qt::ArrowCursor, Qt::ArrowCursor}));
    QCOMPARE(cursorAfterwards, (QList<Qt::CursorShape>{Qt::WaitCursor, Qt::WaitCursor}));
    QVERIFY(helpForm()->isEnabled());
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

// While the request waits for a slow service the event loop keeps running (timers, and with
// them painting and the desktop's ping), but what the user does meanwhile is dropped, not
// handled then or afterwards: here the close box, Enter and a click on Cancel.
void TestGetHelp::slowServiceKeepsWindowsAliveAndDropsInput() {
    m_server->answerAfter(1500);
    DestroyHelpForm();
    frmMain* window = MainForm();
    window->cmdGetHelp->show();
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
    ticker.start(20);
    bool disabledDuringWait = false;
    MessageBoxWatcher watcher;
    watcher.onBox = [&](QMessageBox*) { ticker.stop(); };
    QTimer::singleShot(0, this, [&] {
        QTimer::singleShot(500, this, [&] {
            frmGetHelp* form = helpForm();
            disabledDuringWait = !form->isEnabled();
            QCloseEvent closeBox;
            QCoreApplication::sendEvent(form->windowHandle(), &closeBox);
            QCoreApplication::postEvent(
                form, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
            QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                              form->Command1->geometry().center());
        });
        fillExample();
        click(helpForm()->cmdOk);
    });
    click(window->cmdGetHelp); // returns when the form is gone

    QVERIFY(disabledDuringWait);
    QVERIFY2(ticks >= 1500 / 20 / 2, qPrintable(QString::number(ticks)));
    QCOMPARE(m_server->targets().size(), 1);
    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(watcher.seen[0].text, kThanks);
    QCOMPARE(helpForm()->txtFirstName->text(), QStringLiteral("Jo")); // not closed: kept
}

void TestGetHelp::cancelKeepsTextsCloseBoxEmptiesThem() {
    DestroyHelpForm();
    frmMain* window = MainForm();
    window->cmdGetHelp->show();

    // Opened from the results page, modal over the main window; Cancel hides it.
    bool modal = false;
    QTimer::singleShot(0, this, [&] {
        modal = QApplication::activeModalWidget() == helpForm();
        QTest::keyClicks(helpForm()->txtFirstName, QStringLiteral("Jo"));
        click(helpForm()->Command1);
    });
    click(window->cmdGetHelp);
    QVERIFY(modal);
    QVERIFY(!helpForm()->isVisible());

    QString textOnReopen;
    QTimer::singleShot(0, this, [&] {
        textOnReopen = helpForm()->txtFirstName->text();
        helpForm()->close(); // the close box
    });
    click(window->cmdGetHelp);
    QCOMPARE(textOnReopen, QStringLiteral("Jo"));

    QString textAfterClose = QStringLiteral("unset");
    QTimer::singleShot(0, this, [&] {
        textAfterClose = helpForm()->txtFirstName->text();
        click(helpForm()->Command1);
    });
    click(window->cmdGetHelp);
    QVERIFY(textAfterClose.isEmpty());
    QCOMPARE(g_nCurrentPage, 3); // the main window is left as it was
}

void TestGetHelp::closingTheMainWindowWithTheFormOpenEndsTheProgram() {
    DestroyHelpForm();
    frmMain* window = MainForm();
    window->cmdGetHelp->show();
    fillExample();
    MessageBoxWatcher watcher;
    watcher.onBox = [](QMessageBox*) { MainForm()->close(); };
    QTimer::singleShot(0, this, [window] {
        QTimer::singleShot(0, [] {
            fillExample();
            click(helpForm()->cmdOk); // thank-you box; the main window closes meanwhile
        });
        click(window->cmdGetHelp);
    });
    QTimer::singleShot(10000, this, [] { QCoreApplication::exit(99); }); // watchdog

    const int exitCode = QCoreApplication::exec();

    QCOMPARE(exitCode, 0);
    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(m_server->targets().size(), 1);
    QVERIFY(MainForm() == nullptr);
}

QTEST_MAIN(TestGetHelp)
#include "tst_gethelp.moc"
