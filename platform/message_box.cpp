// SPDX-License-Identifier: MIT
#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace platform {
namespace {

QMessageBox::Icon iconFor(int buttons)
{
    switch (buttons & 0x70) {
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    default:
        return QMessageBox::NoIcon;
    }
}

class QtMessageBoxPresenter final : public MessageBoxPresenter {
public:
    void present(const MessageBoxRequest &request) override
    {
        QMessageBox box(iconFor(request.buttons), request.title, request.prompt, QMessageBox::Ok, request.parent);
        box.setObjectName(QStringLiteral("MsgBox"));
        box.setTextFormat(Qt::PlainText);
        box.exec();
        // Hand the keyboard back to the window beneath; not every window
        // system does that by itself when a box closes.
        if (request.parent != nullptr && request.parent->isVisible())
            request.parent->activateWindow();
    }
};

MessageBoxPresenter *g_presenter = nullptr;

} // namespace

MessageBoxPresenter &qMessageBoxPresenter()
{
    static QtMessageBoxPresenter presenter;
    return presenter;
}

MessageBoxPresenter *setMessageBoxPresenter(MessageBoxPresenter *presenter)
{
    MessageBoxPresenter *previous = g_presenter;
    g_presenter = presenter;
    return previous;
}

void MsgBox(const QString &prompt, int buttons, const QString &title)
{
    MessageBoxRequest request;
    request.prompt = prompt;
    request.buttons = buttons;
    request.title = title.isEmpty() ? QStringLiteral(SELVARO_TITLE) : title;
    request.parent = QApplication::activeModalWidget();
    if (request.parent == nullptr)
        request.parent = QApplication::activeWindow();
    (g_presenter ? *g_presenter : qMessageBoxPresenter()).present(request);
}

} // namespace platform
