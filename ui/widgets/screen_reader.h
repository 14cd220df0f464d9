// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QAbstractButton;
class QLineEdit;

// What the program tells screen readers where Qt 6.4's own accessibility
// leaves a listener short (Orca 43 over AT-SPI is the reader it is made for).
namespace ui {

// Covers every window of the program; installing more than once does
// nothing more:
// - A drop-down list (a ui::ComboBox without typing) shows its entry as
//   read-only text, so that the entry is read with the label when the list
//   gets the focus. Qt offers the entry only as the list's name, which a
//   screen reader replaces with the label's.
// - A menu item's "Press" action returns at once and the item is chosen
//   right after: a command that shows a modal window would otherwise hold
//   the caller (a screen reader, voice control, a test tool) until that
//   window closes.
// - A text field is read whole: Qt 6.4 has Orca leave out its last
//   character.
// - An Announcer is a notification.
void installScreenReaderSupport();

// Keeps GTK's own accessibility bridge out of the process, so that screen
// readers see the program once: Qt's GTK platform theme (GNOME, Xfce,
// Cinnamon, MATE) starts GTK, whose bridge would register a second, empty
// application beside Qt's; the program has no GTK widgets for it to show.
// Called before the application object is made.
void keepGtkAccessibilityOut();

// Gives a button the name a screen reader speaks: its caption without the
// access key's mark and without blanks at either end.
void nameAfterCaption(QAbstractButton &button);

// With a screen reader running, a text field reached by Tab or its access
// key has its text selected only once the reader was told of the focus. Qt
// selects it first, and Orca, finding the cursor of a field it was not told
// has the focus, moves there silently: the field's label goes unsaid. The
// text is selected before any key that follows reaches the field, so that
// typing straight on replaces it, as it does without a screen reader.
void tellFocusBeforeSelecting(QLineEdit &field);

// Tells screen readers a sentence, politely, without taking the focus or
// showing anything. Qt 6.4 has no call that announces: there it is a widget
// of no size, presented as a notification, that a screen reader reads each
// time it appears; Qt 6.8 announces it.
class Announcer final : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget *parent);

    void announce(const QString &sentence);
};

} // namespace ui
