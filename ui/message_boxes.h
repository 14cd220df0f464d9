// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QWidget;

namespace ui {

// Every box has one OK button; the icon says what kind of message it is.
enum class MessageIcon : std::uint8_t { None, Question, Warning };

struct MessageBoxRequest {
    QString prompt;
    MessageIcon icon = MessageIcon::None;
    QString title; // never empty: the program's title stands in for none
    QWidget *parent = nullptr;
    // Tells what became of the clerk's documents: must be read even when
    // the program ends while it is open (see QMessageBoxPresenter).
    bool mustBeSeen = false;
};

// Shows boxes. The program's presenter opens a modal QMessageBox; tests put a
// recorder in its place so that no box blocks them.
class MessageBoxPresenter {
public:
    virtual ~MessageBoxPresenter() = default;
    virtual void present(const MessageBoxRequest &request) = 0;
};

// A modal QMessageBox with only an OK button over the request's parent, which
// gets the keyboard back when it closes. A box that must be seen and that
// the program's end closed before the clerk did is kept, to be shown again
// once the event loop has stopped.
class QMessageBoxPresenter final : public MessageBoxPresenter {
public:
    void present(const MessageBoxRequest &request) override;

    // Shows again, over no window, each box that must be seen and was
    // closed by the end; call once the event loop has stopped.
    void presentCutShort();
    // The texts of the boxes that must be seen and are open, or were closed
    // by the end: for standard error once no box can be shown.
    QStringList unread() const;

private:
    std::vector<QString> m_open;
    std::vector<MessageBoxRequest> m_cutShort;
};

// Shows a modal message box with only an OK button and returns when it is
// closed. Without a title it carries the program's title. It opens over the
// active window of the program.
void showMessage(MessageBoxPresenter &presenter, const QString &prompt, MessageIcon icon = MessageIcon::None,
                 const QString &title = QString());

// A message box that tells what became of the clerk's documents (a warning):
// shown as showMessage does, and seen even when the program ends meanwhile.
void tellOutcome(MessageBoxPresenter &presenter, const QString &prompt);

} // namespace ui
