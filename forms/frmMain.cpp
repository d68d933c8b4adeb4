// The main window: layout, page display, key filter, wizard navigation and the report run.
#include "frmMain.h"

#include "app/modGeneral.h"
#include "forms/frmGetHelp.h"
#include "platform/FormBuilder.h"
#include "platform/FormFont.h"
#include "platform/KeyPress.h"
#include "platform/PastedText.h"
#include "platform/SecondClickGuard.h"
#include "rules/NumberText.h"

#include <QAbstractItemView>
#include <QChildEvent>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <utility>

namespace {

using FormBuilder::make;
using FormBuilder::makeLabel;

QPushButton* makeButton(const char* name, const QString& caption, QWidget* parent) {
    auto* button = make<QPushButton>(name, parent);
    button->setText(caption);
    button->setAutoDefault(false);
    return button;
}

QFrame* makeFrame(const char* name, QWidget* parent) {
    auto* frame = make<QFrame>(name, parent);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

QLineEdit* makeNumberBox(const char* name, int maxLength, QWidget* parent) {
    auto* box = make<QLineEdit>(name, parent);
    box->setMaxLength(maxLength);
    return box;
}

// Puts a stored value into a debt box: empty for 0, else the general number form. A text
// longer than the box's typing limit is shown whole, never cut.
void showStoredValue(QLineEdit* box, int typingLimit, double value) {
    const QString text = value == 0 ? QString() : NumberText::general(value);
    box->setMaxLength(std::max<int>(typingLimit, static_cast<int>(text.size())));
    box->setText(text);
}

// Once the user's edits make the text fit the typing limit, the box's limit falls back to it.
// (Lowered once only: setting a limit sets the text anew and clears its undo history.)
void restoreTypingLimitOnEdit(QLineEdit* box, int typingLimit) {
    QObject::connect(box, &QLineEdit::textEdited, box, [box, typingLimit] {
        if (box->maxLength() == typingLimit || box->text().size() > typingLimit)
            return;
        const int cursor = box->cursorPosition();
        box->setMaxLength(typingLimit); // sets the text anew, with the cursor at its end
        box->setCursorPosition(cursor);
    });
}

constexpr int kBalanceLimit = 10;
constexpr int kInterestRateLimit = 6;
constexpr int kMinimumPaymentLimit = 8;

const QString kCancelledStatus = QStringLiteral("Cancelled by user");

} // namespace

frmMain::frmMain() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quillaby Calculator"));
    setFont(formFont());
    // Read as PNG only: guessing the format would load every image-format plugin installed.
    QIcon icon;
    for (const int size : {16, 32, 48, 128}) {
        QImageReader reader(QStringLiteral(":/icons/quillaby-%1.png").arg(size), "PNG");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    setWindowIcon(icon);

    cmdGetHelp = makeButton("cmdGetHelp", QStringLiteral("Get Help Now!"), this);
    cmdBack = makeButton("cmdBack", QStringLiteral("<< &Back"), this);
    cmdNext = makeButton("cmdNext", QStringLiteral("&Next >>"), this);
    cmdCancel = makeButton("cmdCancel", QStringLiteral("&Cancel"), this);
    fraDebt = makeFrame("fraDebt", this);
    txtBalance = makeNumberBox("txtBalance", kBalanceLimit, fraDebt);
    txtInterestRate = makeNumberBox("txtInterestRate", kInterestRateLimit, fraDebt);
    txtMinimumPayment = makeNumberBox("txtMinimumPayment", kMinimumPaymentLimit, fraDebt);
    Label5 = makeLabel("Label5", QStringLiteral("%"), Qt::AlignLeft, fraDebt);
    Label1 = makeLabel("Label1", QStringLiteral("Balance:"), Qt::AlignRight, fraDebt);
    Label2 = makeLabel("Label2", QStringLiteral("Interest Rate:"), Qt::AlignRight, fraDebt);
    Label3 = makeLabel("Label3", QStringLiteral("Minimum Payment:"), Qt::AlignRight, fraDebt);
    fraNumDebts = makeFrame("fraNumDebts", this);
    cboNumDebts = make<QComboBox>("cboNumDebts", fraNumDebts);
    cboNumDebts->installEventFilter(this); // before the first item: it may make the open list
    for (int n = 1; n <= 10; ++n)
        cboNumDebts->addItem(QString::number(n), n);
    Label4 = makeLabel("Label4", QStringLiteral("How many non-secured debts do you have?"),
                       Qt::AlignHCenter, fraNumDebts);
    fraResults = makeFrame("fraResults", this);
    txtResults = make<QPlainTextEdit>("txtResults", fraResults);
    txtResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtResults->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtResults->setTabChangesFocus(true);
    lblResults = makeLabel("lblResults", QString(), Qt::AlignLeft, fraResults);

    // Left, Top, Width, Height in twips, relative to the window or the frame.
    FormBuilder::place({
        {cmdGetHelp, 2040, 3360, 1335, 375},
        {cmdBack, 600, 3360, 1335, 375},
        {cmdNext, 2040, 3360, 1335, 375},
        {cmdCancel, 2040, 3360, 1335, 375},
        {fraDebt, 120, 0, 3735, 1575},
        {txtBalance, 1800, 240, 1095, 285},
        {txtInterestRate, 1800, 600, 1095, 285},
        {txtMinimumPayment, 1800, 960, 1095, 285},
        {Label5, 3000, 600, 255, 255},
        {Label1, 1080, 240, 615, 255},
        {Label2, 600, 600, 1095, 255},
        {Label3, 360, 960, 1335, 255},
        {fraNumDebts, 120, 0, 3735, 1575},
        {cboNumDebts, 1320, 720, 975, 315},
        {Label4, 120, 360, 3495, 255},
        {fraResults, 120, 0, 3735, 3255},
        {txtResults, 120, 480, 3495, 2655},
        {lblResults, 240, 240, 2055, 255},
    });
    fitFormFont(this, {{lblResults, kCancelledStatus}});
    FormBuilder::fixWindowSize(this, 3990, 3810, Qt::WindowMinimizeButtonHint);
    FormBuilder::chainTabOrder({cboNumDebts, txtBalance, txtInterestRate, txtMinimumPayment,
                                txtResults, cmdNext, cmdBack, cmdCancel, cmdGetHelp});

    // What a screen reader speaks for each control.
    Label1->setBuddy(txtBalance);
    Label2->setBuddy(txtInterestRate);
    Label3->setBuddy(txtMinimumPayment);
    Label4->setBuddy(cboNumDebts);
    txtBalance->setAccessibleName(QStringLiteral("Balance"));
    txtInterestRate->setAccessibleName(QStringLiteral("Interest rate in percent"));
    txtMinimumPayment->setAccessibleName(QStringLiteral("Minimum payment"));
    cboNumDebts->setAccessibleDescription(Label4->text());
    txtResults->setAccessibleName(QStringLiteral("Results"));
    cmdBack->setAccessibleName(QStringLiteral("Back"));
    cmdNext->setAccessibleName(QStringLiteral("Next"));
    cmdCancel->setAccessibleName(QStringLiteral("Cancel"));
    cmdGetHelp->setAccessibleName(QStringLiteral("Get Help Now!"));

    restoreTypingLimitOnEdit(txtBalance, kBalanceLimit);
    restoreTypingLimitOnEdit(txtInterestRate, kInterestRateLimit);
    restoreTypingLimitOnEdit(txtMinimumPayment, kMinimumPaymentLimit);
    // The key filter goes on after the paste filter, so it sees each key first.
    for (QLineEdit* box : {txtBalance, txtInterestRate, txtMinimumPayment}) {
        PastedText::install(box, PastedText::TrimBlanks);
        box->installEventFilter(this);
    }
    // A double-click on Next of the last page presses neither Cancel nor "Get Help Now!".
    new SecondClickGuard(cmdNext, {cmdCancel, cmdGetHelp});

    connect(cmdNext, &QPushButton::clicked, this, &frmMain::cmdNext_Click);
    connect(cmdBack, &QPushButton::clicked, this, &frmMain::cmdBack_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmMain::cmdCancel_Click);
    connect(cmdGetHelp, &QPushButton::clicked, this, &frmMain::cmdGetHelp_Click);

    showPageState(PageState::NumberOfDebts);
}

// Shows the one frame of the state and its buttons. The order matters where the focus is not
// set afterwards, because a focused control that is hidden hands the focus to the next shown
// one in the tab order. When a run starts, Next and Back go before Cancel is shown and the
// results frame comes before the debt frame goes, so the focus lands in the results box, not
// on Cancel (where Enter would cancel the run); when it ends, "Get Help Now!" and Back are
// shown before Cancel goes.
void frmMain::showPageState(PageState state) {
    const std::pair<QWidget*, bool> visibility[] = {
        {cmdGetHelp, state == PageState::Results},
        {cmdNext, state == PageState::NumberOfDebts || state == PageState::Debt},
        {cmdBack, state == PageState::Debt || state == PageState::Results},
        {cmdCancel, state == PageState::ReportRunning},
        {fraResults, state == PageState::ReportRunning || state == PageState::Results},
        {fraDebt, state == PageState::Debt},
        {fraNumDebts, state == PageState::NumberOfDebts},
    };
    for (const auto& [control, shown] : visibility)
        control->setVisible(shown);
}

void frmMain::showNumDebtsPage() {
    showPageState(PageState::NumberOfDebts);
    cboNumDebts->setFocus();
}

void frmMain::showDebtPage(std::int16_t p_nDebtNumber) {
    const clsDebt* debt = modGeneral::g_colDebts.item(std::to_string(p_nDebtNumber));
    if (debt == nullptr)
        return;
    showStoredValue(txtBalance, kBalanceLimit, debt->balance());
    showStoredValue(txtInterestRate, kInterestRateLimit, debt->interestRate());
    showStoredValue(txtMinimumPayment, kMinimumPaymentLimit, debt->minPayment());
    showPageState(PageState::Debt);
    txtBalance->setFocus();
}

std::int16_t frmMain::KeyPressNumericFilter(std::int16_t& p_sKeyAscii) const {
    const bool digit = p_sKeyAscii >= 48 && p_sKeyAscii <= 57;
    return (digit || p_sKeyAscii == 8 || p_sKeyAscii == 46) ? p_sKeyAscii : std::int16_t{0};
}

void frmMain::txtBalance_KeyPress(std::int16_t& KeyAscii) {
    KeyAscii = KeyPressNumericFilter(KeyAscii);
}

void frmMain::txtInterestRate_KeyPress(std::int16_t& KeyAscii) {
    KeyAscii = KeyPressNumericFilter(KeyAscii);
}

void frmMain::txtMinimumPayment_KeyPress(std::int16_t& KeyAscii) {
    KeyAscii = KeyPressNumericFilter(KeyAscii);
}

void frmMain::highlightTextBox(QLineEdit* txtTextBox) {
    txtTextBox->setSelection(0, static_cast<int>(txtTextBox->text().size()));
    // Where the window gets the keyboard back only later (a Wayland compositor gives it once
    // the message box is gone), the selection can be lost before: it is made again then.
    m_txtSelectOnFocus = txtTextBox;
    txtTextBox->setFocus();
    if (txtTextBox->hasFocus())
        m_txtSelectOnFocus = nullptr;
}

// The box then holds its former text and the lines, each ended by a line break, exactly as
// if its whole text had been assigned anew, and is left as such an assignment leaves it: the
// cursor at the start and nothing to undo. The lines go in as one edit at the end of the
// document, so the cost of a block does not grow with the length of the report.
void frmMain::ResultsAddLine(const QStringList& p_colLines) {
    QTextDocument* document = txtResults->document();
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    const QTextBlock firstNew = end.block();
    // Nothing of the report is to be undone: turning undo off clears what there was, and
    // the lines go in without being recorded.
    document->setUndoRedoEnabled(false);
    end.insertText(p_colLines.join(u'\n') + u'\n');
    document->setUndoRedoEnabled(true);
    // Keep each new line's shaped glyphs, so that the box does not shape its visible lines
    // again every time it is painted between two debts.
    for (QTextBlock block = firstNew; block.isValid(); block = block.next())
        block.layout()->setCacheEnabled(true);
    txtResults->moveCursor(QTextCursor::Start);
}

// The open list is a control of its own, read by its own name. Qt makes it with the first item
// on some releases, and on others only when it is first wanted (opened, typed into, asked for
// by a screen reader), so it is named as it is made, whenever that is: the list's popup is
// added to the count list as an empty frame, and the list itself is put into that frame once
// whole.
void frmMain::nameOpenList(QObject* parent, QObject* child) {
    if (parent == cboNumDebts && child->isWidgetType()) {
        child->installEventFilter(this);
        return;
    }
    if (parent->parent() != cboNumDebts)
        return;
    if (auto* view = qobject_cast<QAbstractItemView*>(child)) {
        view->setAccessibleName(QStringLiteral("Number of debts"));
        parent->removeEventFilter(this);
    }
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && watched == m_txtSelectOnFocus) {
        m_txtSelectOnFocus = nullptr;
        auto* box = static_cast<QLineEdit*>(watched);
        box->setSelection(0, static_cast<int>(box->text().size()));
    }
    if (event->type() == QEvent::ChildAdded)
        nameOpenList(watched, static_cast<QChildEvent*>(event)->child());
    if (watched == cboNumDebts) {
        // Enter on the closed list presses Next, whatever the platform theme makes of it
        // (under GNOME's it would open the list). Within the open list it picks an item.
        if (event->type() != QEvent::KeyPress || cboNumDebts->view()->isVisible())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        keyPressEvent(key);
        return true;
    }
    if (watched == txtBalance)
        return KeyPress::dropsKey(event, [this](std::int16_t& key) { txtBalance_KeyPress(key); });
    if (watched == txtInterestRate)
        return KeyPress::dropsKey(event,
                                  [this](std::int16_t& key) { txtInterestRate_KeyPress(key); });
    if (watched == txtMinimumPayment)
        return KeyPress::dropsKey(event,
                                  [this](std::int16_t& key) { txtMinimumPayment_KeyPress(key); });
    return QWidget::eventFilter(watched, event);
}

// Enter presses the focused button, or else Next while Next is shown. Escape does nothing.
void frmMain::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        if (focused != nullptr && focused->isVisible())
            focused->click();
        else if (cmdNext->isVisible())
            cmdNext->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (m_bReportRunning) {
        // The running report stops after its current debt and leaves the window alone.
        m_bCancelPressed = true;
        m_bClosedDuringReport = true;
    }
    event->accept();
}

void frmMain::cmdNext_Click() {
    using namespace modGeneral;
    if (m_bReportRunning || g_nCurrentPage < 0 || g_nCurrentPage > g_nNumDebts)
        return;
    if (g_nCurrentPage == 0) {
        g_nNumDebts = static_cast<std::int16_t>(cboNumDebts->currentData().toInt());
        if (g_colDebts.count() != static_cast<std::size_t>(g_nNumDebts))
            CreateDebts();
        showDebtPage(static_cast<std::int16_t>(g_nCurrentPage + 1));
    } else if (g_nCurrentPage < g_nNumDebts) {
        if (!SaveDebtPage(g_nCurrentPage))
            return;
        showDebtPage(static_cast<std::int16_t>(g_nCurrentPage + 1));
    }
    if (g_nCurrentPage == g_nNumDebts) {
        if (!SaveDebtPage(g_nCurrentPage))
            return;
        runReport();
    }
    g_nCurrentPage = static_cast<std::int16_t>(g_nCurrentPage + 1);
}

void frmMain::runReport() {
    m_bClosedDuringReport = false;
    setCursor(Qt::BusyCursor);
    showPageState(PageState::ReportRunning);
    lblResults->setText(QStringLiteral("Calculating"));

    m_bReportRunning = true;
    modGeneral::BuildResultsReport();
    m_bReportRunning = false;

    if (!m_bClosedDuringReport)
        lblResults->setText(m_bCancelPressed ? kCancelledStatus : QStringLiteral("Done"));
    m_bCancelPressed = false;
    if (!m_bClosedDuringReport)
        showPageState(PageState::Results);
    unsetCursor();
}

void frmMain::cmdBack_Click() {
    using namespace modGeneral;
    if (m_bReportRunning || g_nCurrentPage < 1)
        return;
    if (g_nCurrentPage == 1)
        showNumDebtsPage();
    else
        showDebtPage(static_cast<std::int16_t>(g_nCurrentPage - 1));
    g_nCurrentPage = static_cast<std::int16_t>(g_nCurrentPage - 1);
}

void frmMain::cmdCancel_Click() {
    m_bCancelPressed = true;
    cmdCancel->hide();
}

// Opens the single contact form modally over the main window.
void frmMain::cmdGetHelp_Click() {
    frmGetHelp* form = modGeneral::HelpForm();
    form->exec();
    if (form->closedByUser())
        modGeneral::DestroyHelpForm();
}
