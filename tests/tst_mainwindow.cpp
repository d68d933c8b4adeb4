// Start-up, the main window's layout and captions, the debt collection and the page display.
#include "TestSupport.h"
#include "app/modGeneral.h"
#include "forms/frmGetHelp.h"
#include "forms/frmMain.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QWindow>

using namespace modGeneral;

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init() { startProgram(); }
    void cleanupTestCase() { Shutdown(); }

    void startUpState();
    void layoutMatchesTwips_data();
    void layoutMatchesTwips();
    void captionsFit_data();
    void captionsFit();
    void listAndLimits();
    void icon();
    void createDebtsReplacesTheCollection();
    void showDebtPageFillsFromTheDebt_data();
    void showDebtPageFillsFromTheDebt();
    void enterPressesNextOnlyWhileShown();
};

void TestMainWindow::startUpState() {
    frmMain* form = MainForm();
    QVERIFY(form->isVisible());
    QCOMPARE(form->windowTitle(), QStringLiteral("Quillaby Calculator"));
    QCOMPARE(form->minimumSize(), QSize(266, 254));
    QCOMPARE(form->maximumSize(), QSize(266, 254));
    const Qt::WindowFlags flags = form->windowHandle()->flags(); // no maximise button
    QCOMPARE(flags & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
             Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // Qt's own title bar on Wayland maximises all the same: the window may then take the
    // compositor's size (Weston ends a program that keeps its own), and is fixed again after.
    form->windowHandle()->setWindowStates(Qt::WindowMaximized);
    QCOMPARE(form->windowHandle()->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    QTRY_VERIFY(form->isMaximized());
    form->windowHandle()->setWindowStates(Qt::WindowNoState);
    QTRY_COMPARE(form->windowHandle()->maximumSize(), QSize(266, 254));
    QTRY_COMPARE(form->size(), QSize(266, 254));

    QVERIFY(form->fraNumDebts->isVisible());
    QVERIFY(!form->fraDebt->isVisible());
    QVERIFY(!form->fraResults->isVisible());
    QVERIFY(form->cmdNext->isVisible());
    QVERIFY(!form->cmdBack->isVisible());
    QVERIFY(!form->cmdCancel->isVisible());
    QVERIFY(!form->cmdGetHelp->isVisible());
    QCOMPARE(form->cboNumDebts->currentIndex(), 0);
    QCOMPARE(form->cboNumDebts->currentText(), QStringLiteral("1"));
    QTRY_COMPARE(QApplication::focusWidget(), form->cboNumDebts);

    QCOMPARE(g_nCurrentPage, 0);
    QCOMPARE(g_nNumDebts, 0);
    QCOMPARE(g_colDebts.count(), 0u);
    QVERIFY(!form->cancelPressed());
    QVERIFY(form->lblResults->text().isEmpty());
    QVERIFY(form->txtBalance->text().isEmpty());
    QVERIFY(form->txtResults->toPlainText().isEmpty());
}

void TestMainWindow::layoutMatchesTwips_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("twips");

    const struct {
        const char* name;
        const char* kind;
        const char* parent;
        QRect twips;
    } table[] = {
        {"cmdGetHelp", "QPushButton", "frmMain", {2040, 3360, 1335, 375}},
        {"cmdBack", "QPushButton", "frmMain", {600, 3360, 1335, 375}},
        {"cmdNext", "QPushButton", "frmMain", {2040, 3360, 1335, 375}},
        {"cmdCancel", "QPushButton", "frmMain", {2040, 3360, 1335, 375}},
        {"fraDebt", "QFrame", "frmMain", {120, 0, 3735, 1575}},
        {"txtBalance", "QLineEdit", "fraDebt", {1800, 240, 1095, 285}},
        {"txtInterestRate", "QLineEdit", "fraDebt", {1800, 600, 1095, 285}},
        {"txtMinimumPayment", "QLineEdit", "fraDebt", {1800, 960, 1095, 285}},
        {"Label5", "QLabel", "fraDebt", {3000, 600, 255, 255}},
        {"Label1", "QLabel", "fraDebt", {1080, 240, 615, 255}},
        {"Label2", "QLabel", "fraDebt", {600, 600, 1095, 255}},
        {"Label3", "QLabel", "fraDebt", {360, 960, 1335, 255}},
        {"fraNumDebts", "QFrame", "frmMain", {120, 0, 3735, 1575}},
        {"cboNumDebts", "QComboBox", "fraNumDebts", {1320, 720, 975, 315}},
        {"Label4", "QLabel", "fraNumDebts", {120, 360, 3495, 255}},
        {"fraResults", "QFrame", "frmMain", {120, 0, 3735, 3255}},
        {"txtResults", "QPlainTextEdit", "fraResults", {120, 480, 3495, 2655}},
        {"lblResults", "QLabel", "fraResults", {240, 240, 2055, 255}},
    };
    for (const auto& row : table)
        QTest::newRow(row.name) << row.kind << row.parent << row.twips;
}

void TestMainWindow::layoutMatchesTwips() {
    QFETCH(QString, kind);
    QFETCH(QString, parent);
    QFETCH(QRect, twips);
    auto* control = MainForm()->findChild<QWidget*>(QLatin1String(QTest::currentDataTag()));
    QVERIFY(control != nullptr);
    QCOMPARE(QString::fromLatin1(control->metaObject()->className()), kind);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    const QRect pixels(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
    QCOMPARE(control->geometry(), pixels);
}

void TestMainWindow::captionsFit_data() {
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("name");
    const char* mainControls[] = {"cmdGetHelp", "cmdBack", "cmdNext", "cmdCancel", "Label5",
                                  "Label1",     "Label2",  "Label3",  "Label4"};
    for (const char* name : mainControls)
        QTest::newRow(name) << "frmMain" << name;
    const char* helpControls[] = {"Command1", "cmdOk",  "Label3", "Label9", "Label8", "Label7",
                                  "Label6",   "Label5", "Label4", "Label2", "Label1", "lblLabel"};
    for (const char* name : helpControls)
        QTest::newRow(qPrintable(QStringLiteral("frmGetHelp.") + QLatin1String(name)))
            << "frmGetHelp" << name;
    QTest::newRow("lblResults Cancelled by user") << "frmMain"
                                                  << "lblResults";
}

// Every caption is drawn whole inside its control, as the toolkit itself lays it out with the
// font the control really got (at the scale factor this run uses): a label needs its own size
// hint; a button draws its caption centred in the contents rectangle its style gives it.
void TestMainWindow::captionsFit() {
    QFETCH(QString, form);
    QFETCH(QString, name);
    QWidget* window = MainForm();
    if (form == QLatin1String("frmGetHelp"))
        window = HelpForm();
    auto* control = window->findChild<QWidget*>(name);
    QVERIFY(control != nullptr);

    QString caption;
    QRect room;
    QRect needed;
    if (auto* label = qobject_cast<QLabel*>(control)) {
        const QString shown = label->text();
        const auto restore = qScopeGuard([&] { label->setText(shown); });
        if (name == QLatin1String("lblResults"))
            label->setText(QStringLiteral("Cancelled by user"));
        caption = label->text();
        room = label->rect();
        needed = QRect(QPoint(), label->sizeHint()); // on one line: no caption wraps
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        struct Styled : QPushButton {
            using QPushButton::initStyleOption; // protected in QPushButton
        };
        QStyleOptionButton option;
        (button->*&Styled::initStyleOption)(&option);
        caption = button->text();
        room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        needed = button->style()->itemTextRect(option.fontMetrics, room,
                                               Qt::AlignCenter | Qt::TextShowMnemonic,
                                               button->isEnabled(), caption);
    }
    QVERIFY2(room.contains(needed),
             qPrintable(QStringLiteral("\"%1\" needs %2x%3 px, has %4x%5 px (font %6, %7 pt)")
                            .arg(caption)
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(room.width())
                            .arg(room.height())
                            .arg(QFontInfo(control->font()).family())
                            .arg(control->font().pointSizeF())));
    QVERIFY2(!QFontInfo(control->font()).fixedPitch(),
             qPrintable(QFontInfo(control->font()).family() + QStringLiteral(" is monospaced")));
}

void TestMainWindow::listAndLimits() {
    frmMain* form = MainForm();
    QCOMPARE(form->cboNumDebts->count(), 10);
    QVERIFY(!form->cboNumDebts->isEditable());
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(form->cboNumDebts->itemText(i), QString::number(i + 1));
        QCOMPARE(form->cboNumDebts->itemData(i).toInt(), i + 1);
    }
    QCOMPARE(form->txtBalance->maxLength(), 10);
    QCOMPARE(form->txtInterestRate->maxLength(), 6);
    QCOMPARE(form->txtMinimumPayment->maxLength(), 8);
    QVERIFY(!form->txtResults->isReadOnly());
    QCOMPARE(form->txtResults->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form->txtResults->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(form->Label1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QCOMPARE(form->Label4->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

void TestMainWindow::icon() {
    const QList<QSize> sizes = MainForm()->windowIcon().availableSizes();
    QVERIFY(sizes.contains(QSize(16, 16)));
    QVERIFY(sizes.contains(QSize(32, 32)));
    // Read as PNG only: no image-format plugin was loaded for it.
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("/imageformats/"));
}

void TestMainWindow::createDebtsReplacesTheCollection() {
    g_nNumDebts = 5;
    CreateDebts();
    g_colDebts.item("2")->setBalance(700);
    g_nNumDebts = 3;
    CreateDebts();

    QCOMPARE(g_colDebts.count(), 3u);
    QStringList keys;
    for (const auto& [key, debt] : g_colDebts) {
        keys << QString::fromStdString(key);
        QCOMPARE(debt->balance(), 0.0);
        QCOMPARE(debt->interestRate(), 0.0);
        QCOMPARE(debt->minPayment(), 0.0);
        QCOMPARE(debt->totalMonths(), 0);
        QCOMPARE(debt->totalPayout(), 0.0);
        QCOMPARE(debt->totalInterestPaid(), 0.0);
    }
    QCOMPARE(keys, QStringList({"1", "2", "3"}));
    QVERIFY(g_colDebts.item("4") == nullptr);

    g_nNumDebts = 0;
    CreateDebts();
    QCOMPARE(g_colDebts.count(), 0u);
}

void TestMainWindow::showDebtPageFillsFromTheDebt_data() {
    QTest::addColumn<double>("balance");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("payment");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("never saved") << 0.0 << 0.0 << 0.0 << QStringList{"", "", ""};
    QTest::newRow("saved") << 2500.0 << 18.5 << 0.25 << QStringList{"2500", "18.5", "0.25"};
    QTest::newRow("longer than the box shows whole")
        << 0.123456789 << 0.12345 << 0.1234567
        << QStringList{"0.123456789", "0.12345", "0.1234567"};
}

void TestMainWindow::showDebtPageFillsFromTheDebt() {
    QFETCH(double, balance);
    QFETCH(double, rate);
    QFETCH(double, payment);
    QFETCH(QStringList, texts);
    frmMain* form = MainForm();
    g_nNumDebts = 2;
    CreateDebts();
    clsDebt* debt = g_colDebts.item("2");
    debt->setBalance(balance);
    debt->setInterestRate(rate);
    debt->setMinPayment(payment);

    form->showDebtPage(2);

    QCOMPARE(form->txtBalance->text(), texts[0]);
    QCOMPARE(form->txtInterestRate->text(), texts[1]);
    QCOMPARE(form->txtMinimumPayment->text(), texts[2]);
    QVERIFY(form->fraDebt->isVisible());
    QVERIFY(!form->fraNumDebts->isVisible());
    QVERIFY(form->cmdBack->isVisible());
    QVERIFY(form->cmdNext->isVisible());
    QVERIFY(!form->cmdCancel->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), form->txtBalance);
    QCOMPARE(g_nCurrentPage, 0); // the callers move the page counter
}

// Also run under GNOME's platform theme (tst_mainwindow_gtk3), where Enter on a closed list
// opens it: on the count page Enter presses Next all the same, while Space, F4, Alt+Down and
// a click still open the list and Enter within it picks an item.
void TestMainWindow::enterPressesNextOnlyWhileShown() {
    if (qgetenv("QT_QPA_PLATFORMTHEME") == "gtk3") {
        QComboBox plain;
        plain.addItems({QStringLiteral("1"), QStringLiteral("2")});
        plain.show();
        QTest::keyClick(&plain, Qt::Key_Return);
        if (!plain.view()->isVisible())
            QSKIP("The gtk3 platform theme did not load: a plain list stays closed on Enter");
        plain.hidePopup();
    }
    frmMain* form = MainForm();
    QComboBox* list = form->cboNumDebts;
    const std::pair<Qt::Key, Qt::KeyboardModifier> openers[] = {{Qt::Key_Space, Qt::NoModifier},
                                                                {Qt::Key_F4, Qt::NoModifier},
                                                                {Qt::Key_Down, Qt::AltModifier}};
    for (const auto& [key, modifier] : openers) {
        QTest::keyClick(list, key, modifier);
        QTRY_VERIFY(list->view()->isVisible());
        list->hidePopup();
    }
    QTest::mouseClick(list, Qt::LeftButton);
    QTRY_VERIFY(list->view()->isVisible());
    QTest::keyClick(list->view(), Qt::Key_Down);
    QTest::keyClick(list->view(), Qt::Key_Return);
    QTRY_VERIFY(!list->view()->isVisible());
    QCOMPARE(list->currentIndex(), 1);
    QTest::keyClick(list, Qt::Key_Escape);
    QCOMPARE(g_nCurrentPage, 0);
    QVERIFY(form->isVisible());

    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(g_nCurrentPage, 1);
    QCOMPARE(g_nNumDebts, 2);
    QVERIFY(form->fraDebt->isVisible());

    form->cmdNext->hide();
    QTest::keyClick(form->txtBalance, Qt::Key_Enter);
    QCOMPARE(g_nCurrentPage, 1);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
