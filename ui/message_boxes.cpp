// SPDX-License-Identifier: MIT
#include "ui/message_boxes.h"

#include "printing/program_info.h"

#include <QApplication>
#include <QMessageBox>

#include <utility>

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

void show(MessageBoxPresenter &presenter, MessageBoxRequest request)
{
    if (request.title.isEmpty())
        request.title = program_info::title();
    request.parent = QApplication::activeModalWidget();
    if (request.parent == nullptr)
        request.parent = QApplication::activeWindow();
    presenter.present(request);
}

} // namespace

void QMessageBoxPresenter::present(const MessageBoxRequest &request)
{
    QMessageBox box(iconFor(request.icon), request.title, request.prompt, QMessageBox::Ok, request.parent);
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setTextFormat(Qt::PlainText);
    if (request.mustBeSeen)
        m_open.push_back(request.prompt);
    box.exec();
    if (request.mustBeSeen) {
        m_open.pop_back();
        // Neither OK nor Esc nor the frame closed it: the event loop
        // stopped as the program ends.
        if (box.clickedButton() == nullptr)
            m_cutShort.push_back(request);
    }
    // Hand the keyboard back to the window beneath; not every window system
    // does that by itself when a box closes.
    if (request.parent != nullptr && request.parent->isVisible())
        request.parent->activateWindow();
}

void QMessageBoxPresenter::presentCutShort()
{
    for (MessageBoxRequest request : std::exchange(m_cutShort, {})) {
        request.parent = nullptr; // the windows are hidden by now
        request.mustBeSeen = false;
        present(request);
    }
}

QStringList QMessageBoxPresenter::unread() const
{
    QStringList texts;
    for (const MessageBoxRequest &request : m_cutShort)
        texts.append(request.prompt);
    for (const QString &prompt : m_open)
        texts.append(prompt);
    return texts;
}

void showMessage(MessageBoxPresenter &presenter, const QString &prompt, MessageIcon icon, const QString &title)
{
    show(presenter,
         MessageBoxRequest{.prompt = prompt, .icon = icon, .title = title, .parent = nullptr, .mustBeSeen = false});
}

void tellOutcome(MessageBoxPresenter &presenter, const QString &prompt)
{
    show(presenter, MessageBoxRequest{.prompt = prompt,
                                      .icon = MessageIcon::Warning,
                                      .title = QString(),
                                      .parent = nullptr,
                                      .mustBeSeen = true});
}

} // namespace ui
