// SPDX-License-Identifier: MIT
// The windows under the clerk's own desktop settings: a dark theme, and
// large text (run again by CTest with the desktop's text size settings).
#include "clerk_fixture.h"

#include "ui/forms/frm_about.h"
#include "ui/widgets/combo_box.h"

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>

#include <cmath>
#include <functional>

using testing_support::ClerkTest;

namespace {

// WCAG's relative luminance and contrast ratio.
double luminance(QRgb colour)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) + 0.0722 * channel(qBlue(colour));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of a control's text as the window draws it: the window is
// drawn with the text and without it, and every pixel the text changes is
// compared with what lies beneath it; the strongest of them stands for the
// glyphs' colour (the rest is their anti-aliased edge). 0 when the text
// changes no pixel.
double drawnTextContrast(QWidget &window, QWidget &control, const std::function<void(bool shown)> &showText)
{
    const QImage with = window.grab().toImage();
    showText(false);
    const QImage without = window.grab().toImage();
    showText(true);
    const QRect area(control.mapTo(&window, QPoint(0, 0)), control.size());
    double strongest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y))
                strongest = std::max(strongest, contrast(with.pixel(x, y), without.pixel(x, y)));
    return strongest;
}

// Every text of the window: labels, buttons, fields, lists and menu titles.
void expectReadableTexts(QWidget &window, double least)
{
    window.show();
    int texts = 0;
    const auto check = [&](QWidget &control, const std::function<void(bool)> &showText) {
        if (!control.isVisibleTo(&window))
            return;
        const double ratio = drawnTextContrast(window, control, showText);
        EXPECT_GE(ratio, least) << window.objectName().toStdString() << ": " << control.objectName().toStdString();
        ++texts;
    };
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        const QString text = label->text();
        check(*label, [=](bool shown) { label->setText(shown ? text : QString()); });
    }
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        const QString text = button->text();
        check(*button, [=](bool shown) { button->setText(shown ? text : QString()); });
    }
    for (QLineEdit *field : window.findChildren<QLineEdit *>()) {
        const QString text = field->text();
        check(*field, [=](bool shown) { field->setText(shown ? text : QString()); });
    }
    for (QComboBox *list : window.findChildren<QComboBox *>()) {
        if (list->isEditable())
            continue; // its text is its field's
        const int index = list->currentIndex();
        check(*list, [=](bool shown) { list->setCurrentIndex(shown ? index : -1); });
    }
    for (QMenuBar *bar : window.findChildren<QMenuBar *>()) {
        for (QAction *menu : bar->actions()) {
            const QString text = menu->text();
            check(*bar, [=](bool shown) { menu->setText(shown ? text : QString()); });
        }
    }
    EXPECT_GT(texts, 0);
    window.hide();
}

// The colours Qt's GTK theme gives with Adwaita:dark.
QPalette adwaitaDark()
{
    QPalette dark(QColor(0x32, 0x32, 0x32), QColor(0x32, 0x32, 0x32));
    const QColor text(0xf0, 0xf0, 0xf0);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText, QPalette::PlaceholderText})
        dark.setColor(role, text);
    dark.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
    dark.setColor(QPalette::Highlight, QColor(0x30, 0x8c, 0xc6));
    return dark;
}

// Where the control draws its text: a field's text area, a list's entry
// area, a button's label area, a label's contents.
QRect textArea(QWidget &control)
{
    QStyle *style = control.style();
    if (auto *field = qobject_cast<QLineEdit *>(&control)) {
        QStyleOptionFrame option;
        option.initFrom(field);
        option.lineWidth = field->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field) : 0;
        return style->subElementRect(QStyle::SE_LineEditContents, &option, field).marginsRemoved(field->textMargins());
    }
    if (auto *list = qobject_cast<QComboBox *>(&control)) {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.editable = list->isEditable();
        return style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
    }
    if (auto *button = qobject_cast<QPushButton *>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    return control.contentsRect();
}

QString shownText(const QWidget &control)
{
    if (auto *list = qobject_cast<const QComboBox *>(&control))
        return list->currentText();
    QString text = control.property("text").toString();
    return text.remove(QLatin1Char('&'));
}

// Whether the control shows all of its text. A field's text is whole when
// the field did not have to scroll it to show the cursor at its end.
void expectWholeText(QWidget &window, QWidget &control)
{
    const QString text = shownText(control);
    const QFontMetrics metrics = control.fontMetrics();
    const QRect area = textArea(control);
    const std::string name = window.objectName().toStdString() + ": " + control.objectName().toStdString() +
                             " \"" + text.toStdString() + '"';
    auto *label = qobject_cast<QLabel *>(&control);
    if (auto *field = qobject_cast<QLineEdit *>(&control)) {
        const auto cursorAt = [&](int position) {
            field->setCursorPosition(position);
            window.grab(); // a field works out its scrolling as it paints
            return field->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        };
        const QRect start = cursorAt(0);
        const QRect end = cursorAt(static_cast<int>(text.size()));
        EXPECT_GE(end.center().x() - start.center().x(), metrics.horizontalAdvance(text)) << name;
    } else if (label != nullptr && label->wordWrap()) {
        EXPECT_LE(label->heightForWidth(area.width()), area.height()) << name;
        return;
    } else {
        EXPECT_LE(metrics.horizontalAdvance(text), area.width()) << name;
    }
    EXPECT_LE(metrics.height(), area.height()) << name;
}

class DesktopSettings : public ClerkTest {};

// Run again by CTest under a desktop's larger text sizes, up to 200 %, with
// and without Qt scaling the windows, at 1x and 2x: every field, label and
// button shows all of its text, with the widest texts the fields hold.
TEST_F(DesktopSettings, EveryTextFitsItsControl)
{
    charter().txtName->setText(QStringLiteral("Wilhelmina Jones"));
    charter().txtHours->setText(QStringLiteral("12.25"));
    charter().cboYacht->setText(QStringLiteral("Hans Christian"));
    charter().cboSize->setListIndex(charter().cboSize->listCount() - 1);
    for (QWidget *window : {static_cast<QWidget *>(&charter()), static_cast<QWidget *>(&program().frmAbout())}) {
        window->show();
        for (QWidget *control : window->findChildren<QWidget *>()) {
            const bool hasText = qobject_cast<QLabel *>(control) != nullptr ||
                                 qobject_cast<QAbstractButton *>(control) != nullptr ||
                                 qobject_cast<QLineEdit *>(control) != nullptr ||
                                 (qobject_cast<QComboBox *>(control) != nullptr && !qobject_cast<QComboBox *>(control)->isEditable());
            if (hasText && control->isVisibleTo(window))
                expectWholeText(*window, *control);
        }
        window->hide();
    }
}

TEST_F(DesktopSettings, EveryTextIsReadableUnderLightAndDarkThemes)
{
    const QPalette light = QApplication::palette();
    for (const QPalette &theme : {light, adwaitaDark()}) {
        QApplication::setPalette(theme);
        startProgram();
        charter().txtName->setText(QStringLiteral("Jones"));
        charter().txtHours->setText(QStringLiteral("12.25"));
        charter().cboYacht->setText(QStringLiteral("Hobie"));
        charter().cboSize->setListIndex(2);
        for (QWidget *window : {static_cast<QWidget *>(&charter()), static_cast<QWidget *>(&program().frmAbout()),
                                static_cast<QWidget *>(&main())})
            expectReadableTexts(*window, 4.5);
    }
    QApplication::setPalette(light);
}

} // namespace
