// The contact form: layout, key filter, field checks, OK and Cancel.
#include "frmGetHelp.h"

#include "app/modGeneral.h"
#include "platform/EventPump.h"
#include "platform/FormBuilder.h"
#include "platform/FormFont.h"
#include "platform/KeyPress.h"
#include "platform/MessageBox.h"
#include "platform/PastedText.h"
#include "rules/NumberText.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using FormBuilder::make;
using FormBuilder::makeLabel;

frmGetHelp::frmGetHelp(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmGetHelp"));
    setWindowTitle(QStringLiteral("Get Help Now!"));
    setFont(formFont());
    setModal(true);

    // Created in the form's control order, which the help request follows.
    Command1 = make<QPushButton>("Command1", this);
    Command1->setText(QStringLiteral("&Cancel"));
    cmdOk = make<QPushButton>("cmdOk", this);
    cmdOk->setText(QStringLiteral("&OK"));
    cmdOk->setDefault(true);
    txtWorkPhone = make<QLineEdit>("txtWorkPhone", this);
    txtHomePhone = make<QLineEdit>("txtHomePhone", this);
    txtEmail = make<QLineEdit>("txtEmail", this);
    txtZipCode = make<QLineEdit>("txtZipCode", this);
    txtState = make<QLineEdit>("txtState", this);
    txtCity = make<QLineEdit>("txtCity", this);
    txtAddress = make<QLineEdit>("txtAddress", this);
    txtLastName = make<QLineEdit>("txtLastName", this);
    txtFirstName = make<QLineEdit>("txtFirstName", this);
    Label3 =
        makeLabel("Label3", QStringLiteral("* indicates required field"), Qt::AlignHCenter, this);
    Label9 = makeLabel("Label9", QStringLiteral("Night Phone:"), Qt::AlignRight, this);
    Label8 = makeLabel("Label8", QStringLiteral("*Day Phone:"), Qt::AlignRight, this);
    Label7 = makeLabel("Label7", QStringLiteral("Email:"), Qt::AlignRight, this);
    Label6 = makeLabel("Label6", QStringLiteral("*Zip:"), Qt::AlignRight, this);
    Label5 = makeLabel("Label5", QStringLiteral("*State:"), Qt::AlignRight, this);
    Label4 = makeLabel("Label4", QStringLiteral("*City:"), Qt::AlignRight, this);
    Label2 = makeLabel("Label2", QStringLiteral("*Address:"), Qt::AlignRight, this);
    Label1 = makeLabel("Label1", QStringLiteral("*Last Name:"), Qt::AlignRight, this);
    lblLabel = makeLabel("lblLabel", QStringLiteral("*First Name:"), Qt::AlignRight, this);

    // Left, Top, Width, Height in twips.
    FormBuilder::place({
        {Command1, 2400, 3720, 1455, 435},     {cmdOk, 840, 3720, 1455, 435},
        {txtWorkPhone, 1200, 2640, 3375, 285}, {txtHomePhone, 1200, 2280, 3375, 285},
        {txtEmail, 1200, 3000, 3375, 285},     {txtZipCode, 1200, 1920, 3375, 285},
        {txtState, 1200, 1560, 3375, 285},     {txtCity, 1200, 1200, 3375, 285},
        {txtAddress, 1200, 840, 3375, 285},    {txtLastName, 1200, 480, 3375, 285},
        {txtFirstName, 1200, 120, 3375, 285},  {Label3, 0, 3360, 4695, 255},
        {Label9, -240, 2640, 1335, 255},       {Label8, -120, 2280, 1215, 255},
        {Label7, 0, 3000, 1095, 255},          {Label6, 0, 1920, 1095, 255},
        {Label5, 0, 1560, 1095, 255},          {Label4, 0, 1200, 1095, 255},
        {Label2, 0, 840, 1095, 255},           {Label1, 0, 480, 1095, 255},
        {lblLabel, 0, 120, 1095, 255},
    });
    fitFormFont(this);
    FormBuilder::fixWindowSize(this, 4755, 4275, {});
    FormBuilder::chainTabOrder({txtFirstName, txtLastName, txtAddress, txtCity, txtState,
                                txtZipCode, txtHomePhone, txtWorkPhone, txtEmail, cmdOk, Command1});
    txtFirstName->setFocus();

    // The key filter goes on after the paste filter, so it sees each key first.
    for (QLineEdit* box : {txtWorkPhone, txtHomePhone, txtEmail, txtZipCode, txtState, txtCity,
                           txtAddress, txtLastName, txtFirstName})
        PastedText::install(box, PastedText::KeepBlanks);
    for (QLineEdit* box : {txtFirstName, txtLastName, txtCity, txtState, txtEmail})
        box->installEventFilter(this);

    // What a screen reader speaks for each control: the field, and whether it is required.
    const struct {
        QLabel* label;
        QLineEdit* box;
        const char* name;
    } fields[] = {
        {lblLabel, txtFirstName, "First name, required"},
        {Label1, txtLastName, "Last name, required"},
        {Label2, txtAddress, "Address, required"},
        {Label4, txtCity, "City, required"},
        {Label5, txtState, "State, required"},
        {Label6, txtZipCode, "Zip code, required"},
        {Label8, txtHomePhone, "Day phone, required"},
        {Label9, txtWorkPhone, "Night phone"},
        {Label7, txtEmail, "Email"},
    };
    for (const auto& field : fields) {
        field.label->setBuddy(field.box);
        field.box->setAccessibleName(QLatin1String(field.name));
    }
    cmdOk->setAccessibleName(QStringLiteral("OK"));
    Command1->setAccessibleName(QStringLiteral("Cancel"));

    connect(cmdOk, &QPushButton::clicked, this, &frmGetHelp::cmdOk_Click);
    connect(Command1, &QPushButton::clicked, this, &frmGetHelp::Command1_Click);
}

std::int16_t frmGetHelp::KeyPressUrlFilter(std::int16_t& p_sKeyAscii) const {
    const std::int16_t code = p_sKeyAscii;
    const bool letter = (code >= 65 && code <= 90) || (code >= 97 && code <= 122);
    const bool digit = code >= 48 && code <= 57;
    const bool allowed = letter || digit || code == 44 || code == 46 || code == 64 || code == 8;
    return allowed ? code : std::int16_t{0};
}

// The key-press handler of the name, city, state and e-mail boxes.
bool frmGetHelp::eventFilter(QObject* watched, QEvent* event) {
    const auto handler = [this](std::int16_t& key) { key = KeyPressUrlFilter(key); };
    return KeyPress::dropsKey(event, handler) || QDialog::eventFilter(watched, event);
}

bool frmGetHelp::validateForm() {
    struct Check {
        QLineEdit* box;
        bool (*fails)(const QString&);
        const char* message;
    };
    const auto empty = [](const QString& text) { return text.isEmpty(); };
    const auto notNumeric = [](const QString& text) { return !NumberText::isNumeric(text); };
    const auto filledNotNumeric = [](const QString& text) {
        return !text.isEmpty() && !NumberText::isNumeric(text);
    };
    const Check checks[] = {
        {txtFirstName, empty, "First name is required"},
        {txtLastName, empty, "Last name is required"},
        {txtAddress, empty, "Address is required"},
        {txtCity, empty, "City is required"},
        {txtState, empty, "State is required"},
        {txtZipCode, empty, "Zip code is required"},
        {txtZipCode, notNumeric, "Zip code must be numeric"},
        {txtHomePhone, empty, "Day Phone is required"},
        {txtHomePhone, notNumeric, "Day Phone must be numeric"},
        {txtWorkPhone, filledNotNumeric, "Night phone must be numeric"},
    };
    for (const Check& check : checks) {
        if (check.fails(check.box->text())) {
            MessageBox::show(this, QString::fromLatin1(check.message), MessageBox::Exclamation);
            // The form is still disabled here; cmdOk_Click moves the focus once it is enabled.
            m_txtFocusAfterCheck = check.box;
            return false;
        }
    }
    return true;
}

void frmGetHelp::cmdOk_Click() {
    // Disabling the form takes the focus away; it goes back where it was, or to the box
    // that failed its check.
    const QPointer<QWidget> focusBefore = focusWidget();
    setEnabled(false);
    // A disabled window shows no cursor of its own, so the hourglass is set application-wide.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    EventPump::paintNow(this);

    m_txtFocusAfterCheck = nullptr;
    if (validateForm() && modGeneral::SubmitHelpRequest())
        hide();

    setEnabled(true);
    QApplication::restoreOverrideCursor();
    if (m_txtFocusAfterCheck != nullptr)
        m_txtFocusAfterCheck->setFocus();
    else if (focusBefore != nullptr)
        focusBefore->setFocus();
}

void frmGetHelp::Command1_Click() {
    hide();
}

// Escape does nothing: only Cancel and the close box leave the form.
void frmGetHelp::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmGetHelp::closeEvent(QCloseEvent* event) {
    m_bClosedByUser = true;
    QDialog::closeEvent(event);
}
