// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QWidget;

namespace ui {

// Every box has one OK button; the icon says what kind of message it is.
enum class MessageIcon { None, Question, Warning };

struct MessageBoxRequest {
    QString prompt;
    MessageIcon icon = MessageIcon::None;
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
void showMessage(MessageBoxPresenter &presenter, const QString &prompt, MessageIcon icon = MessageIcon::None,
                 const QString &title = QString());

} // namespace ui
