// The "Get Help Now!" contact form: nine boxes for name, address, phones and e-mail, with
// OK (check and send) and Cancel (hide, keeping the texts).
#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

class frmGetHelp : public QDialog {
    Q_OBJECT

public:
    explicit frmGetHelp(QWidget* owner);

    std::int16_t KeyPressUrlFilter(std::int16_t& p_sKeyAscii) const;
    bool validateForm();

    void cmdOk_Click();
    void Command1_Click();

    // True once the user closed the form with its close box: the form is then discarded.
    bool closedByUser() const { return m_bClosedByUser; }

    // The controls, named as on the form, in the form's control order.
    QPushButton* Command1;
    QPushButton* cmdOk;
    QLineEdit* txtWorkPhone;
    QLineEdit* txtHomePhone;
    QLineEdit* txtEmail;
    QLineEdit* txtZipCode;
    QLineEdit* txtState;
    QLineEdit* txtCity;
    QLineEdit* txtAddress;
    QLineEdit* txtLastName;
    QLineEdit* txtFirstName;
    QLabel* Label3;
    QLabel* Label9;
    QLabel* Label8;
    QLabel* Label7;
    QLabel* Label6;
    QLabel* Label5;
    QLabel* Label4;
    QLabel* Label2;
    QLabel* Label1;
    QLabel* lblLabel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLineEdit* m_txtFocusAfterCheck = nullptr;
    bool m_bClosedByUser = false;
};
