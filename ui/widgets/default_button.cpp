// SPDX-License-Identifier: MIT
#include "ui/widgets/default_button.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOptionButton>

namespace ui {
namespace {

// The theme's own drawing, but for a default button that has the keyboard
// focus: Fusion draws a focused button as it draws the default one, so the
// focus reaching the default button showed nowhere. A frame inside
// it, in its text's colour, shows it; a button without the focus is drawn
// as the theme draws it.
class FocusOnDefaultShown final : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        QProxyStyle::drawControl(element, option, painter, widget);
        const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
        const State focus = State_HasFocus | State_KeyboardFocusChange;
        if (element != CE_PushButton || button == nullptr || (button->state & focus) != focus ||
            !button->features.testFlag(QStyleOptionButton::DefaultButton))
            return;
        painter->save();
        painter->setPen(QPen(button->palette.color(QPalette::ButtonText), 1, Qt::SolidLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(subElementRect(SE_PushButtonFocusRect, button, widget).adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

// Qt's own rule (a button with autoDefault takes the role when it gets the
// focus and hands it back when it loses it) misses focus changes that happen
// while the dialog is hidden or inactive, and leaves the role on a button
// that no longer has the focus. The role follows the dialog's focus here
// instead, worked out afresh on every change.
class DefaultButtonKeeper final : public QObject {
public:
    DefaultButtonKeeper(QDialog &dialog, QPushButton &button) : QObject(&dialog), m_dialog(dialog), m_button(&button)
    {
        const auto buttons = dialog.findChildren<QPushButton *>();
        auto *style = new FocusOnDefaultShown;
        style->setParent(this);
        for (QPushButton *each : buttons) {
            each->setAutoDefault(false);
            each->setStyle(style);
        }
        dialog.installEventFilter(this);
        button.setDefault(true);
        connect(qApp, &QApplication::focusChanged, this, &DefaultButtonKeeper::follow);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_dialog && (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate))
            follow();
        return false;
    }

private:
    void follow()
    {
        // A hidden dialog is worked out again as it is shown; and a dialog
        // being destroyed hides itself before its controls go.
        if (!m_dialog.isVisible() || m_button == nullptr)
            return;
        // The dialog's focus widget is kept while another window is active.
        auto *focused = qobject_cast<QPushButton *>(m_dialog.focusWidget());
        QPushButton *holder = focused != nullptr && focused->window() == &m_dialog ? focused : m_button.data();
        if (!holder->isDefault())
            holder->setDefault(true); // the dialog takes the role from every other button
    }

    QDialog &m_dialog;
    QPointer<QPushButton> m_button;
};

} // namespace

void keepDefaultButton(QDialog &dialog, QPushButton &button)
{
    new DefaultButtonKeeper(dialog, button);
}

} // namespace ui
