// SPDX-License-Identifier: MIT
#include "ui/widgets/login_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace ui {

LoginDialog::LoginDialog(const LoginWords &words, const QString &user, QWidget *parent)
    : QDialog(parent), m_user(new QLineEdit(user, this)), m_password(new QLineEdit(this))
{
    setObjectName(QStringLiteral("PrinterLogin"));
    setWindowTitle(words.title);
    setModal(true);
    m_user->setObjectName(QStringLiteral("userName"));
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);

    auto *prompt = new QLabel(words.prompt, this);
    prompt->setWordWrap(true);
    prompt->setTextFormat(Qt::PlainText);
    auto *fields = new QFormLayout;
    fields->addRow(words.userLabel, m_user);
    fields->addRow(words.passwordLabel, m_password);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(fields);
    layout->addWidget(buttons);
    // The user name is usually right: the password is what is asked for.
    (user.isEmpty() ? m_user : m_password)->setFocus();
}

LoginDialog::~LoginDialog()
{
    m_password->clear();
}

printing::PrinterLogin LoginDialog::takeLogin()
{
    QString password = m_password->text();
    m_password->clear();
    printing::PrinterLogin login{.user = m_user->text(), .password = password.toUtf8()};
    std::ranges::fill(password, QChar());
    return login;
}

} // namespace ui
