// SPDX-License-Identifier: MIT
#include "ui/message_boxes.h"

#include "printing/program_info.h"

#include <QApplication>
#include <QMessageBox>

namespace ui {
namespace {

QMessageBox::Icon iconFor(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QMessageBoxPresenter::present(const MessageBoxRequest &request)
{
    QMessageBox box(iconFor(request.icon), request.title, request.prompt, QMessageBox::Ok, request.parent);
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    // Hand the keyboard back to the window beneath; not every window system
    // does that by itself when a box closes.
    if (request.parent != nullptr && request.parent->isVisible())
        request.parent->activateWindow();
}

void showMessage(MessageBoxPresenter &presenter, const QString &prompt, MessageIcon icon, const QString &title)
{
    MessageBoxRequest request;
    request.prompt = prompt;
    request.icon = icon;
    request.title = title.isEmpty() ? program_info::title() : title;
    request.parent = QApplication::activeModalWidget();
    if (request.parent == nullptr)
        request.parent = QApplication::activeWindow();
    presenter.present(request);
}

} // namespace ui
