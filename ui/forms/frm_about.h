// SPDX-License-Identifier: MIT
#pragma once

#include "ui/forms/owner.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace forms {

// The program's title and credits, shown modally from Help > About.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Created hidden by its owner on first reference.
    explicit frmAbout(Owner &owner);

    QLabel *lblTitle = nullptr;
    QLabel *lblProName = nullptr;
    QPushButton *cmdOK = nullptr;
    QLabel *Label1 = nullptr;

    void cmdOK_Click();

protected:
    void showEvent(QShowEvent *event) override;

};

} // namespace forms
