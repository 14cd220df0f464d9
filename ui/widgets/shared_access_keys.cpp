// SPDX-License-Identifier: MIT
#include "ui/widgets/shared_access_keys.h"

#include "ui/widgets/application_filter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeySequence>
#include <QLabel>
#include <QShortcutEvent>
#include <QWidget>

namespace ui {
namespace {

QWidget *focusTarget(QWidget *widget)
{
    while (widget->focusProxy() != nullptr)
        widget = widget->focusProxy();
    return widget;
}

bool canTakeFocus(const QWidget *widget)
{
    return widget->isVisible() && widget->isEnabled() && widget->focusPolicy() != Qt::NoFocus;
}

// The control the widget's access key focuses when the key is `key`: the
// button itself, or the label's buddy.
QWidget *carriedTo(QWidget *widget, const QKeySequence &key)
{
    if (!widget->isVisible() || !widget->isEnabled())
        return nullptr;
    QWidget *target = nullptr;
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        target = QKeySequence::mnemonic(button->text()) == key ? button : nullptr;
    else if (auto *label = qobject_cast<QLabel *>(widget); label != nullptr && label->buddy() != nullptr)
        target = QKeySequence::mnemonic(label->text()) == key ? label->buddy() : nullptr;
    if (target == nullptr)
        return nullptr;
    target = focusTarget(target);
    return canTakeFocus(target) ? target : nullptr;
}

// The first control after the focus, in the window's tab order, that the
// key leads to; the one with the focus when it is the only one.
QWidget *nextCarrier(QWidget &window, const QKeySequence &key)
{
    QList<QWidget *> targets;
    const auto children = window.findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (child->window() != &window)
            continue;
        if (QWidget *target = carriedTo(child, key); target != nullptr && !targets.contains(target))
            targets.append(target);
    }
    if (targets.isEmpty())
        return nullptr;

    QWidget *focus = QApplication::focusWidget();
    if (focus == nullptr || focus->window() != &window)
        focus = window.focusWidget();
    QWidget *start = focus != nullptr ? focus : &window;
    const QWidget *current = focus != nullptr ? focusTarget(focus) : nullptr;
    // The chain is a ring; the bound only guards against a broken one.
    qsizetype steps = children.size() + 1;
    for (QWidget *widget = start->nextInFocusChain(); widget != start && steps > 0;
         widget = widget->nextInFocusChain(), --steps) {
        QWidget *target = focusTarget(widget);
        if (target != current && targets.contains(target))
            return target;
    }
    return targets.first();
}

QWidget *windowOf(QObject *receiver)
{
    if (auto *widget = qobject_cast<QWidget *>(receiver))
        return widget->window();
    return QApplication::activeWindow(); // an action's shortcut
}

class SharedAccessKeys final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Shortcut || !static_cast<QShortcutEvent *>(event)->isAmbiguous())
            return false;
        QWidget *window = windowOf(watched);
        if (window == nullptr)
            return false;
        QWidget *next = nextCarrier(*window, static_cast<QShortcutEvent *>(event)->key());
        if (next == nullptr)
            return false;
        next->setFocus(Qt::ShortcutFocusReason);
        window->setAttribute(Qt::WA_KeyboardFocusChange);
        return true;
    }
};

} // namespace

void installSharedAccessKeys()
{
    filterApplicationOnce<SharedAccessKeys>();
}

} // namespace ui
