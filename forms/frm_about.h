// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace platform {
class FormRegistry;
}

namespace forms {

// The program's title and credits, shown modally from Help > About.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // The program's one About window, created hidden on first reference.
    static frmAbout &instance();
    static bool exists();

    QLabel *lblTitle = nullptr;
    QLabel *lblProName = nullptr;
    QPushButton *cmdOK = nullptr;
    QLabel *Label1 = nullptr;

    void cmdOK_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    friend class platform::FormRegistry;
    frmAbout();
};

} // namespace forms
