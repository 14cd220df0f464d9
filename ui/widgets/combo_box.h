// SPDX-License-Identifier: MIT
#pragma once

#include <QComboBox>
#include <QStringList>

#include <cstdint>

namespace ui {

// A combo box addressed the way the windows' handlers think of it: a list of
// entries by 0-based index, the selected entry's index (-1 for none), sorted
// insertion that tells where the entry went, and the box's text.
//
// A drop-down list (no typing) is read by screen readers with its entry,
// when it gets the focus and as Up and Down change it.
//
// In an editable box, typing leaves the selection at -1 until the clerk picks
// an entry, even when the text equals an entry. The box never adds entries by
// itself and never picks one on its own when it loses the focus.
class ComboBox : public QComboBox {
    Q_OBJECT
public:
    enum class Style : std::uint8_t { Editable, DropDownList };

    explicit ComboBox(Style style, QWidget *parent = nullptr);

    // Sorted boxes insert each new entry at its place in alphabetical order,
    // comparing without regard to letter case; equal entries keep the order
    // they were added in.
    void setSorted(bool sorted) { m_sorted = sorted; }

    int listIndex() const { return currentIndex(); }
    // -1 clears the selection and, in an editable box, its text. Throws
    // InvalidArgumentError outside -1..listCount()-1.
    void setListIndex(int index);

    int listCount() const { return count(); }
    QString list(int index) const;   // throws InvalidArgumentError out of range
    QStringList entries() const;

    void addListItem(const QString &text);
    int newIndex() const { return m_newIndex; } // where the last added entry went
    void removeListItem(int index);  // throws InvalidArgumentError out of range

    // The typed text of an editable box; the selected entry of a list.
    QString text() const { return currentText(); }
    void setText(const QString &text);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    void leaveListWhenTyped(const QString &text);
    void followPickedEntry(int index);

    bool m_sorted = false;
    int m_newIndex = -1;
};

} // namespace ui
