// SPDX-License-Identifier: MIT
#include "ui/widgets/screen_reader.h"

#include "ui/widgets/combo_box.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace ui {
namespace {

// A caption as it is read: "&Clear " is "Clear ", "C && C" is "C & C".
QString withoutAccessKeyMark(const QString &caption)
{
    QString read;
    read.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        read.append(caption[i]);
    }
    return read;
}

// A drop-down list whose entry is also its text, read-only, with the list
// of entries as its one child, as Qt presents a combo box.
class DropDownListAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DropDownListAccessible(ComboBox *list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The name is the label's (or one given); the value is the entry.
    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Value ? entry() : QAccessibleWidget::text(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = list()->view()->isVisible();
        state.collapsed = !state.expanded;
        return state;
    }

    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child != nullptr && child->object() == list()->view() ? 0 : -1;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (name != showMenuAction() && name != pressAction()) {
            QAccessibleWidget::doAction(name);
        } else if (list()->view()->isVisible()) {
            list()->hidePopup();
        } else {
            list()->showPopup();
        }
    }

    // The text: the entry, which the clerk cannot edit, select or place a
    // cursor in.
    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override
    {
        return entry().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(entry().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): Qt's signature
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    ComboBox *list() const { return static_cast<ComboBox *>(widget()); }
    QString entry() const { return list()->currentText(); }
};

// A one-line text field as Qt presents one, but read whole. Qt 6.4 answers
// a screen reader asking for the field's runs of text attributes with an
// empty run at each offset; Orca, which splits the line it speaks into
// those runs, then leaves out the last character ("Jone" for "Jones").
// Here the whole text is one run.
class TextFieldAccessible final : public QAccessibleWidget,
                                  public QAccessibleTextInterface,
                                  public QAccessibleEditableTextInterface {
public:
    explicit TextFieldAccessible(QLineEdit *field) : QAccessibleWidget(field, QAccessible::EditableText) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Value && !shown().isEmpty())
            return shown();
        return QAccessibleWidget::text(type);
    }
    void setText(QAccessible::Text type, const QString &text) override
    {
        if (type == QAccessible::Value && !field()->isReadOnly())
            field()->setText(text);
        else
            QAccessibleWidget::setText(type, text);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = field()->isReadOnly();
        state.editable = !state.readOnly;
        state.selectableText = true;
        return state;
    }

    void selection(int index, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (index == 0 && field()->hasSelectedText()) {
            *startOffset = field()->selectionStart();
            *endOffset = field()->selectionEnd();
        }
    }
    int selectionCount() const override { return field()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int) override { field()->deselect(); }
    void setSelection(int, int startOffset, int endOffset) override
    {
        field()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return field()->cursorPosition(); }
    void setCursorPosition(int position) override { field()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override
    {
        return startOffset > endOffset ? QString() : shown().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    // Where the field draws the character: its text starts where the cursor
    // is drawn less the width of the text before the cursor.
    QRect characterRect(int offset) const override
    {
        const QString all = shown();
        if (offset < 0 || offset >= all.size())
            return {};
        const QFontMetrics metrics = field()->fontMetrics();
        const QRect cursor = field()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = cursor.center().x() - metrics.horizontalAdvance(all.left(field()->cursorPosition())) +
                      metrics.horizontalAdvance(all.left(offset));
        const QRect area(x, cursor.top(), metrics.horizontalAdvance(all.mid(offset, 1)), cursor.height());
        return area.translated(field()->mapToGlobal(QPoint(0, 0)));
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return field()->cursorPositionAt(field()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int) override { field()->setCursorPosition(startIndex); }
    // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): Qt's signature
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    void deleteText(int startOffset, int endOffset) override { replaceText(startOffset, endOffset, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        if (!field()->isReadOnly())
            field()->setText(field()->text().replace(startOffset, endOffset - startOffset, text));
    }

private:
    QLineEdit *field() const { return static_cast<QLineEdit *>(widget()); }
    // Only a field that shows its text is made one: a password field stays
    // Qt's own.
    QString shown() const { return field()->echoMode() == QLineEdit::Normal ? field()->text() : QString(); }
};

// A menu item as Qt presents one, but for its "Press" action, which chooses
// the item once the caller has its answer.
class MenuItemAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    MenuItemAccessible(QAction *item, QWidget *menu) : m_item(item), m_menu(menu) {}

    bool isValid() const override { return m_item != nullptr && m_menu != nullptr; }
    QObject *object() const override { return m_item.data(); }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_menu); }
    // A menu's title opens the menu, its one child.
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 && m_item->menu() != nullptr ? QAccessible::queryAccessibleInterface(m_item->menu())
                                                       : nullptr;
    }
    int childCount() const override { return m_item->menu() != nullptr ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child != nullptr && m_item->menu() != nullptr && child->object() == m_item->menu() ? 0 : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        QAccessibleInterface *opened = child(0);
        return opened != nullptr && opened->rect().contains(x, y) ? opened : nullptr;
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name)
            return withoutAccessKeyMark(m_item->text());
        if (type == QAccessible::Accelerator)
            return QKeySequence::mnemonic(m_item->text()).toString(QKeySequence::NativeText);
        return {};
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        QRect area;
        if (auto *bar = qobject_cast<QMenuBar *>(m_menu))
            area = bar->actionGeometry(m_item);
        else if (auto *menu = qobject_cast<QMenu *>(m_menu))
            area = menu->actionGeometry(m_item);
        return area.translated(m_menu->mapToGlobal(QPoint(0, 0)));
    }
    QAccessible::Role role() const override
    {
        return m_item->isSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !m_menu->isVisible() || !m_item->isVisible();
        QAction *active = nullptr;
        if (auto *bar = qobject_cast<QMenuBar *>(m_menu))
            active = bar->activeAction();
        else if (auto *menu = qobject_cast<QMenu *>(m_menu))
            active = menu->activeAction();
        state.focused = active == m_item;
        state.disabled = m_item->isSeparator() || !m_item->isEnabled();
        state.checkable = m_item->isCheckable();
        state.checked = m_item->isChecked();
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }
    QStringList actionNames() const override
    {
        if (m_item->isSeparator())
            return {};
        return {m_item->menu() != nullptr ? showMenuAction() : pressAction()};
    }
    void doAction(const QString &name) override
    {
        if (!m_item->isEnabled())
            return;
        if (name == pressAction()) {
            QMetaObject::invokeMethod(m_item, &QAction::trigger, Qt::QueuedConnection);
        } else if (name == showMenuAction() && m_item->menu() != nullptr) {
            if (m_item->menu()->isVisible())
                m_item->menu()->hide();
            else if (auto *bar = qobject_cast<QMenuBar *>(m_menu))
                bar->setActiveAction(m_item);
            else if (auto *menu = qobject_cast<QMenu *>(m_menu))
                menu->setActiveAction(m_item);
        }
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<QAction> m_item;
    QPointer<QWidget> m_menu;
};

// The field that selects its text once Qt has told screen readers it has
// the focus, and the handler of accessibility updates to pass them on to.
QPointer<QLineEdit> g_selectingOnceTold;
QAccessible::UpdateHandler g_nextUpdateHandler = nullptr;

// Passes an update on; the field's focus, once told, has its text selected
// at once, before any key that follows can reach the field.
void selectOnceTold(QAccessibleEvent *event)
{
    QAccessible::installUpdateHandler(g_nextUpdateHandler);
    QAccessible::updateAccessibility(event);
    if (event->type() != QAccessible::Focus || event->object() != g_selectingOnceTold) {
        QAccessible::installUpdateHandler(&selectOnceTold);
        return;
    }
    QLineEdit *field = g_selectingOnceTold;
    g_selectingOnceTold = nullptr;
    field->selectAll();
}

class FocusToldFirst final : public QObject {
public:
    explicit FocusToldFirst(QLineEdit &field) : QObject(&field), m_field(field) { field.installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != &m_field || event->type() != QEvent::FocusIn || !QAccessible::isActive() ||
            g_selectingOnceTold != nullptr)
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason && reason != Qt::ShortcutFocusReason)
            return false;
        // The field takes the focus without selecting; Qt tells of the focus
        // right after, and the selection follows that.
        QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(&m_field, &plain);
        g_selectingOnceTold = &m_field;
        g_nextUpdateHandler = QAccessible::installUpdateHandler(&selectOnceTold);
        // Should Qt not tell of it (the window not active), the text is
        // selected all the same.
        QMetaObject::invokeMethod(
            &m_field,
            [field = &m_field] {
                if (g_selectingOnceTold != field)
                    return;
                g_selectingOnceTold = nullptr;
                QAccessible::installUpdateHandler(g_nextUpdateHandler);
                if (field->hasFocus())
                    field->selectAll();
            },
            Qt::QueuedConnection);
        return true;
    }

private:
    QLineEdit &m_field;
};

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    // Asked for the class itself first, then for each class it derives from.
    if (className == QLatin1String(ComboBox::staticMetaObject.className())) {
        auto *list = static_cast<ComboBox *>(object);
        return list->isEditable() ? nullptr : new DropDownListAccessible(list);
    }
    if (className == QLatin1String("QLineEdit")) {
        auto *field = static_cast<QLineEdit *>(object);
        return field->echoMode() == QLineEdit::Normal ? new TextFieldAccessible(field) : nullptr;
    }
    if (className == QLatin1String(Announcer::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<Announcer *>(object), QAccessible::Notification);
    if (className == QLatin1String("QAction")) {
        auto *item = static_cast<QAction *>(object);
        const auto users = item->associatedObjects();
        for (QObject *user : users) {
            if (qobject_cast<QMenu *>(user) != nullptr || qobject_cast<QMenuBar *>(user) != nullptr)
                return new MenuItemAccessible(item, static_cast<QWidget *>(user));
        }
    }
    return nullptr;
}

} // namespace

void installScreenReaderSupport()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(&accessibleFor);
}

void keepGtkAccessibilityOut()
{
    // Read by GTK 3's bridge as GTK starts; GTK 4 would read GTK_A11Y.
    qputenv("NO_AT_BRIDGE", "1");
}

void nameAfterCaption(QAbstractButton &button)
{
    button.setAccessibleName(withoutAccessKeyMark(button.text()).trimmed());
}

void tellFocusBeforeSelecting(QLineEdit &field)
{
    new FocusToldFirst(field);
}

Announcer::Announcer(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("announcer"));
    setFixedSize(0, 0);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void Announcer::announce(const QString &sentence)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Qt 6.8 announces politely by itself, on behalf of the window.
    QAccessibleAnnouncementEvent told(window(), sentence);
    QAccessible::updateAccessibility(&told);
#else
    // A notification is read as it appears: shown anew for each sentence.
    hide();
    setAccessibleName(sentence);
    show();
#endif
}

} // namespace ui
