// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWidget;

namespace platform {

// Button codes a message box is asked for. Every box has one OK button; the
// code only chooses the icon.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbQuestion = 32,
    vbExclamation = 48,
};

struct MessageBoxRequest {
    QString prompt;
    int buttons = vbOKOnly;
    QString title; // never empty: the program's title stands in for none
    QWidget *parent = nullptr;
};

// Shows boxes. The program's presenter opens a modal QMessageBox; tests put a
// recorder in its place so that no box blocks them.
class MessageBoxPresenter {
public:
    virtual ~MessageBoxPresenter() = default;
    virtual void present(const MessageBoxRequest &request) = 0;
};

// Shows a modal message box with only an OK button and returns when it is
// closed. Without a title it carries the program's title. It opens over the
// active window of the program, which gets the focus back afterwards.
void MsgBox(const QString &prompt, int buttons = vbOKOnly, const QString &title = QString());

// Replaces how boxes are shown (nullptr restores the QMessageBox presenter);
// returns the presenter that was in place.
MessageBoxPresenter *setMessageBoxPresenter(MessageBoxPresenter *presenter);

// The presenter the program uses: a real QMessageBox.
MessageBoxPresenter &qMessageBoxPresenter();

} // namespace platform
