// SPDX-License-Identifier: MIT
// The windows under the clerk's own desktop settings: a dark theme, and
// large text (run again by CTest with the desktop's text size settings).
#include "clerk_fixture.h"

#include "ui/forms/frm_about.h"
#include "ui/widgets/combo_box.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <cmath>
#include <functional>
#include <vector>

using testing_support::ClerkTest;

namespace {

// WCAG's contrast ratio of two colours.
double contrast(QRgb a, QRgb b)
{
    const auto luminance = [](QRgb colour) {
        const auto channel = [](int value) {
            const double c = value / 255.0;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) + 0.0722 * channel(qBlue(colour));
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Every text of the window (labels, buttons, fields, lists, menu titles) as
// it is drawn: the window is drawn with the text and without it, and each
// pixel the text changes is set against what lies beneath it; the strongest
// stands for the glyphs' colour, the rest being their anti-aliased edge.
void expectReadableTexts(QWidget &window)
{
    window.show();
    const auto check = [&window](QWidget &control, const std::function<void(bool shown)> &showText) {
        if (!control.isVisibleTo(&window))
            return;
        const QImage with = window.grab().toImage();
        showText(false);
        const QImage without = window.grab().toImage();
        showText(true);
        double strongest = 0;
        const QRect area(control.mapTo(&window, QPoint(0, 0)), control.size());
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                strongest = std::max(strongest, contrast(with.pixel(x, y), without.pixel(x, y)));
        EXPECT_GE(strongest, 4.5) << window.objectName().toStdString() << ": " << control.objectName().toStdString();
    };
    const auto checkText = [&check](QWidget *control, const char *property) {
        const QVariant text = control->property(property);
        check(*control, [=](bool shown) { control->setProperty(property, shown ? text : QString()); });
    };
    for (QLabel *label : window.findChildren<QLabel *>())
        if (!label->text().isEmpty())
            checkText(label, "text");
    for (QAbstractButton *button : window.findChildren<QAbstractButton *>())
        checkText(button, "text");
    for (QLineEdit *field : window.findChildren<QLineEdit *>())
        checkText(field, "text");
    for (QComboBox *list : window.findChildren<QComboBox *>()) {
        const int index = list->currentIndex();
        if (!list->isEditable()) // an editable list's text is its field's
            check(*list, [=](bool shown) { list->setCurrentIndex(shown ? index : -1); });
    }
    for (QMenuBar *bar : window.findChildren<QMenuBar *>())
        for (QAction *menu : bar->actions())
            check(*bar, [=, text = menu->text()](bool shown) { menu->setText(shown ? text : QString()); });
    window.hide();
}

// The desktop's colours: the default, the dark ones Qt's GTK theme gives
// under Adwaita:dark, and high contrast, white on black.
std::vector<QPalette> themes()
{
    const auto themed = [](QColor window, QColor text, QColor base) {
        QPalette palette(window, window);
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(role, text);
        palette.setColor(QPalette::Base, base);
        return palette;
    };
    return {QApplication::palette(), themed(QColor(0x32, 0x32, 0x32), QColor(0xf0, 0xf0, 0xf0), QColor(0x24, 0x24, 0x24)),
            themed(Qt::black, Qt::white, Qt::black)};
}

class DesktopSettings : public ClerkTest {};

TEST_F(DesktopSettings, EveryTextIsReadableUnderLightAndDarkThemes)
{
    const QPalette light = QApplication::palette();
    for (const QPalette &theme : themes()) {
        QApplication::setPalette(theme);
        startProgram();
        charter().txtName->setText(QStringLiteral("Jones"));
        charter().txtHours->setText(QStringLiteral("12.25"));
        charter().cboYacht->setText(QStringLiteral("Hobie"));
        charter().cboSize->setListIndex(2);
        for (QWidget *window : {static_cast<QWidget *>(&charter()), static_cast<QWidget *>(&program().frmAbout()),
                                static_cast<QWidget *>(&main())})
            expectReadableTexts(*window);
    }
    QApplication::setPalette(light);
}

// In every theme, and again under large text: OK, the default button, shows
// the keyboard focus once Tab reaches it, in pixels that stand out 3:1 from
// what they were while a field had the focus; and with the focus elsewhere
// it looks as the theme draws a default button.
TEST_F(DesktopSettings, OKShowsTheKeyboardFocus)
{
    const QPalette light = QApplication::palette();
    for (const QPalette &theme : themes()) {
        QApplication::setPalette(theme);
        startProgram();
        QPushButton &ok = *charter().cmdOK;
        inCharterWindow([&] {
            press(Qt::Key_S, Qt::AltModifier);
            const QImage unfocused = ok.grab().toImage();
            QStyle *own = ok.style();
            ok.setStyle(QApplication::style());
            EXPECT_TRUE(ok.grab().toImage() == unfocused) << "without the focus, OK looks as the theme draws it";
            ok.setStyle(own);
            press(Qt::Key_Tab);
            ASSERT_EQ(focus(), &ok);
            const QImage focused = ok.grab().toImage();
            int standingOut = 0;
            for (int y = 0; y < focused.height(); ++y)
                for (int x = 0; x < focused.width(); ++x)
                    standingOut += contrast(focused.pixel(x, y), unfocused.pixel(x, y)) >= 3.0 ? 1 : 0;
            EXPECT_GE(standingOut, ok.width() + ok.height()) << theme.color(QPalette::Window).name().toStdString();
            press(Qt::Key_Escape);
        });
    }
    QApplication::setPalette(light);
}

// Run again by CTest under a desktop's larger text, up to 200 %, with and
// without Qt scaling the windows, at 1x and 2x: each field shows the widest
// text it holds whole. A text field's text is whole when the field did not
// have to scroll it to show the cursor after it; a list's entry fits its
// entry area.
TEST_F(DesktopSettings, EveryFieldShowsItsWidestTextWhole)
{
    charter().txtName->setText(QStringLiteral("Wilhelmina Jones"));
    charter().txtHours->setText(QStringLiteral("12.25"));
    charter().cboYacht->setText(QStringLiteral("Hans Christian"));
    charter().cboSize->setListIndex(charter().cboSize->listCount() - 1);
    charter().show();
    for (QLineEdit *field : {charter().txtName, charter().txtHours, charter().cboYacht->lineEdit()}) {
        const auto cursorAt = [&](qsizetype position) {
            field->setCursorPosition(static_cast<int>(position));
            charter().grab(); // a field works out its scrolling as it paints
            return field->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        };
        const int start = cursorAt(0).x();
        const QPoint end = cursorAt(field->text().size());
        EXPECT_GE(end.x() - start, field->fontMetrics().horizontalAdvance(field->text())) << field->text().toStdString();
        EXPECT_TRUE(field->rect().contains(end)) << field->text().toStdString();
        // Less a pixel of frame on either side.
        EXPECT_LE(field->fontMetrics().height(), field->height() - 2) << field->text().toStdString();
    }
    QStyleOptionComboBox option;
    option.initFrom(charter().cboSize);
    const QRect entry = charter().cboSize->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                                   QStyle::SC_ComboBoxEditField, charter().cboSize);
    EXPECT_LE(charter().cboSize->fontMetrics().horizontalAdvance(charter().cboSize->text()), entry.width());
    EXPECT_LE(charter().cboSize->fontMetrics().height(), entry.height());
    charter().hide();
}

} // namespace
