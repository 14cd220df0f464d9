// SPDX-License-Identifier: MIT
#include "ui/widgets/message_box.h"

#include "printing/program_info.h"

#include <QApplication>
#include <QMessageBox>

namespace ui {
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

} // namespace

void QMessageBoxPresenter::present(const MessageBoxRequest &request)
{
    QMessageBox box(iconFor(request.buttons), request.title, request.prompt, QMessageBox::Ok, request.parent);
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    // Hand the keyboard back to the window beneath; not every window system
    // does that by itself when a box closes.
    if (request.parent != nullptr && request.parent->isVisible())
        request.parent->activateWindow();
}

void MsgBox(MessageBoxPresenter &presenter, const QString &prompt, int buttons, const QString &title)
{
    MessageBoxRequest request;
    request.prompt = prompt;
    request.buttons = buttons;
    request.title = title.isEmpty() ? program_info::title() : title;
    request.parent = QApplication::activeModalWidget();
    if (request.parent == nullptr)
        request.parent = QApplication::activeWindow();
    presenter.present(request);
}

} // namespace ui
