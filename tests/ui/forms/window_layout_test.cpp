// SPDX-License-Identifier: MIT
#include "clerk_fixture.h"

#include "ui/widgets/combo_box.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using testing_support::ClerkTest;

namespace {

class WindowLayout : public ClerkTest {};

struct Placement {
    const char *name;
    int left, top, width, height; // twips
};

TEST_F(WindowLayout, EntryWindowControlsSitWhereTheyBelong)
{
    const Placement placements[] = {
        {"Frame1", 360, 0, 3975, 2295},       {"lblHeadName", 120, 480, 1455, 255},
        {"txtName", 1680, 480, 2055, 255},    {"lblHours", 0, 840, 1575, 255},
        {"txtHours", 1680, 840, 495, 255},    {"lblAvailYacht", 240, 1200, 1455, 255},
        {"cboYacht", 1680, 1200, 2055, 315},  {"lblYacthSize", 600, 1680, 1095, 255},
        {"cboSize", 1680, 1680, 1215, 315},   {"cmdOK", 4560, 960, 855, 375},
        {"cmdClear", 4560, 1440, 855, 375},   {"cmdCancel", 4560, 1920, 855, 375},
    };
    for (const Placement &p : placements) {
        const QWidget *control = charter().findChild<QWidget *>(QLatin1String(p.name));
        ASSERT_NE(control, nullptr) << p.name;
        QRect expected(p.left / 15, p.top / 15, p.width / 15, p.height / 15);
        // The hours field is widened to the right where the font's digits
        // need it, within the frame.
        if (control == charter().txtHours && control->width() > expected.width()) {
            EXPECT_LT(control->geometry().right(), charter().Frame1->width()) << p.name;
            expected.setWidth(control->width());
        }
        EXPECT_EQ(control->geometry(), expected) << p.name;
    }
    EXPECT_EQ(charter().txtName->parentWidget(), charter().Frame1);
    EXPECT_EQ(charter().cmdOK->parentWidget(), charter().Frame1->parentWidget());
}

TEST_F(WindowLayout, EntryWindowCaptionsClientAreaAndColours)
{
    EXPECT_EQ(charter().windowTitle(), QStringLiteral("New Charter Form"));
    inCharterWindow([&] {
        EXPECT_EQ(charter().Frame1->parentWidget()->size(), QSize(374, 178));
        press(Qt::Key_Escape);
    });
    EXPECT_EQ(charter().Frame1->parentWidget()->palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_TRUE(charter().Frame1->title().isEmpty());

    const std::pair<const QLabel *, const char *> labels[] = {
        {charter().lblHeadName, "Customer &Name:"}, {charter().lblHours, "Chartered &Hours:"},
        {charter().lblAvailYacht, "Available &Yachts:"}, {charter().lblYacthSize, "Yacht &Size:"}};
    for (const auto &[label, caption] : labels)
        EXPECT_EQ(label->text(), QString::fromUtf8(caption));
    EXPECT_EQ(charter().cmdOK->text(), QStringLiteral("&OK"));
    EXPECT_EQ(charter().cmdClear->text(), QStringLiteral("&Clear "));
    EXPECT_EQ(charter().cmdCancel->text(), QStringLiteral("&Cancel"));
    EXPECT_TRUE(charter().cmdOK->isDefault());

    EXPECT_TRUE(charter().lblHeadName->alignment() & Qt::AlignRight);
    EXPECT_TRUE(charter().lblHours->alignment() & Qt::AlignRight);
    EXPECT_TRUE(charter().lblAvailYacht->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(charter().lblYacthSize->alignment() & Qt::AlignHCenter);
}

TEST_F(WindowLayout, EveryCaptionIsFullyVisible)
{
    std::vector<const QWidget *> controls;
    for (const QLabel *label : charter().findChildren<QLabel *>())
        controls.push_back(label);
    for (const QPushButton *button : charter().findChildren<QPushButton *>())
        controls.push_back(button);
    for (const QWidget *control : controls) {
        QString caption = control->property("text").toString();
        caption.remove(QLatin1Char('&'));
        const int needed = control->fontMetrics().horizontalAdvance(caption);
        EXPECT_LE(needed, control->width() - (qobject_cast<const QPushButton *>(control) ? 8 : 0))
            << control->objectName().toStdString();
        EXPECT_LE(control->fontMetrics().height(), control->height()) << control->objectName().toStdString();
    }
}

TEST_F(WindowLayout, FieldsAreNamedByTheirLabels)
{
    const std::pair<QLabel *, QWidget *> pairs[] = {{charter().lblHeadName, charter().txtName},
                                                    {charter().lblHours, charter().txtHours},
                                                    {charter().lblAvailYacht, charter().cboYacht},
                                                    {charter().lblYacthSize, charter().cboSize}};
    for (const auto &[label, field] : pairs) {
        EXPECT_EQ(label->buddy(), field) << label->objectName().toStdString();
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(field);
        ASSERT_NE(accessible, nullptr);
        QString expected = label->text();
        expected.remove(QLatin1Char('&'));
        EXPECT_EQ(accessible->text(QAccessible::Name), expected) << field->objectName().toStdString();
    }
}

TEST_F(WindowLayout, FontsAreTheDesktopsSansSerifAtEightPointTwoFive)
{
    EXPECT_TRUE(charter().font().bold());
    EXPECT_DOUBLE_EQ(charter().font().pointSizeF(), 8.25);
    for (const QWidget *control : {static_cast<QWidget *>(charter().txtName), static_cast<QWidget *>(charter().lblHours),
                                   static_cast<QWidget *>(charter().cmdOK), static_cast<QWidget *>(charter().cboYacht)}) {
        EXPECT_FALSE(control->font().bold()) << control->objectName().toStdString();
        EXPECT_DOUBLE_EQ(control->font().pointSizeF(), 8.25);
        EXPECT_EQ(control->font().family(), QApplication::font().family());
    }
}

TEST_F(WindowLayout, ListsStartEmptyWithTheirInitialEntries)
{
    EXPECT_EQ(charter().cboYacht->entries(),
              (QStringList{"C & C", "Catalina", "Coronada", "Excalibur", "Hans Christian", "Hobie", "Ranger",
                           "WaveLength"}));
    EXPECT_EQ(charter().cboSize->entries(), (QStringList{"22", "24", "30", "32", "36", "38", "45"}));
    EXPECT_EQ(charter().cboYacht->listIndex(), -1);
    EXPECT_EQ(charter().cboSize->listIndex(), -1);
    EXPECT_TRUE(charter().cboYacht->isEditable());
    EXPECT_FALSE(charter().cboSize->isEditable());
    EXPECT_EQ(charter().cboYacht->insertPolicy(), QComboBox::NoInsert);
    EXPECT_EQ(charter().cboYacht->completer(), nullptr);
}

TEST_F(WindowLayout, MainWindowCaptionClientAreaAndPicture)
{
    EXPECT_EQ(main().windowTitle(), QStringLiteral("Selvaro's Yachts"));
    EXPECT_EQ(main().centralWidget()->size(), QSize(315, 255));
    EXPECT_EQ(main().Image1->geometry(), QRect(80, 56, 104, 104));
}

TEST_F(WindowLayout, MainWindowMenusInOrderWithoutShortcutKeys)
{
    const QList<QAction *> menus = main().menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("&Help"));

    QStringList file;
    for (const QAction *item : main().mnuFile->actions()) {
        file.append(item->isSeparator() ? QStringLiteral("-") : item->text());
        EXPECT_TRUE(item->shortcut().isEmpty());
    }
    EXPECT_EQ(file, (QStringList{"&New Charter", "-", "&Print Summary", "Print &Yacht Types", "-", "E&xit"}));
    ASSERT_EQ(main().mnuHelp->actions().size(), 1);
    EXPECT_EQ(main().mnuHelp->actions()[0]->text(), QStringLiteral("&About"));
}

TEST_F(WindowLayout, WindowsAreCentredOnTheScreen)
{
    const QRect screen = main().screen()->availableGeometry();
    EXPECT_LE((main().frameGeometry().center() - screen.center()).manhattanLength(), 2);
}

} // namespace
