// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWidget;

namespace ui {

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

// A modal QMessageBox with only an OK button over the request's parent, which
// gets the keyboard back when it closes.
class QMessageBoxPresenter final : public MessageBoxPresenter {
public:
    void present(const MessageBoxRequest &request) override;
};

// Shows a modal message box with only an OK button and returns when it is
// closed. Without a title it carries the program's title. It opens over the
// active window of the program.
void MsgBox(MessageBoxPresenter &presenter, const QString &prompt, int buttons = vbOKOnly,
            const QString &title = QString());

} // namespace ui
