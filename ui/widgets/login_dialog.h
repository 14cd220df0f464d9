// SPDX-License-Identifier: MIT
#pragma once

#include "printing/print_service.h"

#include <QDialog>
#include <QString>

class QLineEdit;

namespace ui {

struct LoginWords {
    QString title;
    QString prompt;
    QString userLabel;
    QString passwordLabel;
};

// A small modal window asking for the user name (offered filled in) and the
// password (hidden as it is typed) that a print server wants.
class LoginDialog final : public QDialog {
public:
    LoginDialog(const LoginWords &words, const QString &user, QWidget *parent = nullptr);
    ~LoginDialog() override;
    LoginDialog(const LoginDialog &) = delete;
    LoginDialog &operator=(const LoginDialog &) = delete;

    QLineEdit *userField() const { return m_user; }
    QLineEdit *passwordField() const { return m_password; }

    // The login given; the password leaves the window as it is taken.
    printing::PrinterLogin takeLogin();

private:
    QLineEdit *m_user;
    QLineEdit *m_password;
};

} // namespace ui
