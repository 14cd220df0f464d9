// SPDX-License-Identifier: MIT
#include "ui/widgets/combo_box.h"

#include "core/platform/errors.h"
#include "ui/widgets/application_filter.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

#include <tuple>

namespace ui {
namespace {

// A key pressed in an opened list acts on the list alone. Qt first offers
// each key to the focus as a shortcut override, and the list closes on that
// for Enter, F4 and Alt+Down; the key press itself then goes to the window
// the key was sent to. Under X11 that is the list, which has the keyboard;
// a Wayland compositor keeps sending keys to the window beneath, so there
// the press would reach the list's box (and reopen it) or the dialog (and
// press its default button). The press of a key that closed a list goes
// no further.
// F4 and Alt+Down close an opened list as Esc does, keeping the entry the
// box had: Qt 6.4 does so, newer Qt picks the entry the list showed, and
// the clerk gets the same on every release.
class ListKeys final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            QWidget *popup = QApplication::activePopupWidget();
            auto *box = popup != nullptr ? qobject_cast<QComboBox *>(popup->parentWidget()) : nullptr;
            if (box != nullptr) {
                m_list = popup;
                m_key = keyOf(event);
                if (closesList(*static_cast<QKeyEvent *>(event))) {
                    closeKeepingEntry(*box);
                    event->accept();
                    return true;
                }
            }
        } else if (event->type() == QEvent::KeyPress && m_list != nullptr) {
            const bool closedByIt = keyOf(event) == m_key && !m_list->isVisible();
            m_list = nullptr;
            return closedByIt;
        }
        return false;
    }

private:
    static bool closesList(const QKeyEvent &key)
    {
        return key.key() == Qt::Key_F4 || (key.key() == Qt::Key_Down && key.modifiers().testFlag(Qt::AltModifier));
    }

    static void closeKeepingEntry(QComboBox &box)
    {
        const int index = box.currentIndex();
        const QString typed = box.currentText();
        box.hidePopup();
        if (box.currentIndex() == index)
            return;
        box.setCurrentIndex(index);
        if (box.isEditable())
            box.setEditText(typed);
    }

    // A key event as the window system delivered it: the override and the
    // press made from one key share all of these.
    static std::tuple<int, Qt::KeyboardModifiers, quint32, quint64> keyOf(QEvent *event)
    {
        const auto *key = static_cast<QKeyEvent *>(event);
        return {key->key(), key->modifiers(), key->nativeScanCode(), key->timestamp()};
    }

    QPointer<QWidget> m_list;
    std::tuple<int, Qt::KeyboardModifiers, quint32, quint64> m_key;
};

} // namespace

ComboBox::ComboBox(Style style, QWidget *parent) : QComboBox(parent)
{
    filterApplicationOnce<ListKeys>();
    if (style == Style::Editable) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        setCompleter(nullptr);
        // QComboBox picks the entry matching the text whenever editing
        // finishes (focus leaves the box, a menu opens); typed text must stay
        // typed.
        disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
        connect(lineEdit(), &QLineEdit::textEdited, this, &ComboBox::leaveListWhenTyped);
    } else {
        connect(this, &QComboBox::currentIndexChanged, this, &ComboBox::followPickedEntry);
    }
    setCurrentIndex(-1);
}

void ComboBox::followPickedEntry(int index)
{
    // Screen readers read a change of a focused drop-down list as the focus
    // going to the entry picked, which they find through the list's
    // selection; Qt 6.4 does not offer it, so they are told of the entry.
    if (index == -1 || !hasFocus() || !QAccessible::isActive())
        return;
    QAccessibleInterface *shown = QAccessible::queryAccessibleInterface(view());
    if (QAccessibleInterface *entry = shown != nullptr ? shown->child(index) : nullptr) {
        QAccessibleEvent focus(entry, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void ComboBox::leaveListWhenTyped(const QString &text)
{
    if (currentIndex() == -1)
        return;
    const int cursor = lineEdit()->cursorPosition();
    setCurrentIndex(-1); // also empties the line edit
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(cursor);
}

void ComboBox::focusInEvent(QFocusEvent *event)
{
    QComboBox::focusInEvent(event);
    // Reached by Tab or an access key, the text is selected, as in a text box,
    // so that typing replaces it.
    const Qt::FocusReason reason = event->reason();
    if (isEditable() && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                         reason == Qt::ShortcutFocusReason))
        lineEdit()->selectAll();
}

void ComboBox::setListIndex(int index)
{
    if (index < -1 || index >= count())
        throw platform::InvalidArgumentError();
    setCurrentIndex(index);
    if (index == -1 && isEditable())
        lineEdit()->clear();
}

QString ComboBox::list(int index) const
{
    if (index < 0 || index >= count())
        throw platform::InvalidArgumentError();
    return itemText(index);
}

QStringList ComboBox::entries() const
{
    QStringList texts;
    texts.reserve(count());
    for (int i = 0; i < count(); ++i)
        texts.append(itemText(i));
    return texts;
}

void ComboBox::addListItem(const QString &text)
{
    int index = count();
    if (m_sorted) {
        // First entry that sorts after the text: equal entries keep their order.
        int low = 0;
        int high = count();
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (QString::compare(itemText(middle), text, Qt::CaseInsensitive) <= 0)
                low = middle + 1;
            else
                high = middle;
        }
        index = low;
    }
    const bool wasSelected = currentIndex() != -1;
    const QString typed = isEditable() ? lineEdit()->text() : QString();
    insertItem(index, text, 0);
    // QComboBox selects the first entry put into an empty list; adding must
    // not change what the clerk typed or picked.
    if (!wasSelected && currentIndex() != -1)
        setCurrentIndex(-1);
    if (isEditable() && lineEdit()->text() != typed)
        lineEdit()->setText(typed);
    m_newIndex = index;
}

void ComboBox::removeListItem(int index)
{
    if (index < 0 || index >= count())
        throw platform::InvalidArgumentError();
    const int selected = currentIndex();
    const QString typed = isEditable() ? lineEdit()->text() : QString();
    removeItem(index);
    // Removing the selected entry leaves nothing selected and the box empty;
    // QComboBox would otherwise select a neighbour.
    if (index == selected) {
        setCurrentIndex(-1);
        if (isEditable())
            lineEdit()->clear();
    } else if (isEditable() && lineEdit()->text() != typed) {
        lineEdit()->setText(typed);
    }
}

void ComboBox::setText(const QString &text)
{
    if (isEditable()) {
        setCurrentIndex(-1);
        lineEdit()->setText(text);
        return;
    }
    const int index = findText(text, Qt::MatchFixedString);
    if (index == -1)
        throw platform::InvalidArgumentError();
    setCurrentIndex(index);
}

} // namespace ui
