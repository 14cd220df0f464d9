// SPDX-License-Identifier: MIT
#include "ui/widgets/enter_key.h"

#include "ui/widgets/application_filter.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>

namespace ui {
namespace {

// The controls that ask the theme whether a key presses them. A push button
// with the default role handles Enter itself, the same in every theme; an
// editable list gives its keys to its text field.
bool asksTheThemeForPressKeys(QObject *control)
{
    if (auto *button = qobject_cast<QPushButton *>(control))
        return !button->isDefault() && !button->autoDefault();
    if (auto *list = qobject_cast<QComboBox *>(control))
        return !list->isEditable();
    return qobject_cast<QAbstractButton *>(control) != nullptr || qobject_cast<QGroupBox *>(control) != nullptr;
}

class EnterForDefaultButton final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !asksTheThemeForPressKeys(watched))
            return false;
        // Ignored, the key goes on to the control's parents and its window.
        event->ignore();
        return true;
    }
};

} // namespace

void keepEnterForDefaultButton()
{
    filterApplicationOnce<EnterForDefaultButton>();
}

} // namespace ui
