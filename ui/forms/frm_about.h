// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace ui {
class Program;
}

namespace forms {

// The program's title and credits, shown modally from Help > About.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Created hidden by the program on first reference (ui::Program).
    explicit frmAbout(ui::Program &program);

    QLabel *lblTitle = nullptr;
    QLabel *lblProName = nullptr;
    QPushButton *cmdOK = nullptr;
    QLabel *Label1 = nullptr;

    void cmdOK_Click();

protected:
    void showEvent(QShowEvent *event) override;

};

} // namespace forms
