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

// Geometry in the entry window's own coordinates, whatever the control's parent.
QRect placed(const QWidget *control, const QWidget &window)
{
    return QRect(control->mapTo(&window, QPoint(0, 0)), control->size());
}

// Where a label's caption is drawn, in the window's coordinates.
QRect captionOf(const QLabel *label, const QWidget &window)
{
    QString caption = label->text();
    caption.remove(QLatin1Char('&'));
    const QRect drawn = label->fontMetrics().boundingRect(label->contentsRect(), static_cast<int>(label->alignment()), caption);
    return drawn.translated(label->mapTo(&window, QPoint(0, 0)));
}

TEST_F(WindowLayout, EntryWindowReadsAsLabelledRowsWithTheButtonsBeside)
{
    const auto &window = charter();
    const std::pair<const QLabel *, const QWidget *> rows[] = {{window.lblHeadName, window.txtName},
                                                               {window.lblHours, window.txtHours},
                                                               {window.lblAvailYacht, window.cboYacht},
                                                               {window.lblYacthSize, window.cboSize}};
    std::vector<QRect> taken;
    int previousBottom = -1;
    for (const auto &[label, field] : rows) {
        const QRect labelBox = captionOf(label, window);
        const QRect fieldBox = placed(field, window);
        EXPECT_LE(labelBox.right(), fieldBox.left()) << "label left of its field: " << label->objectName().toStdString();
        EXPECT_TRUE(labelBox.top() <= fieldBox.bottom() && fieldBox.top() <= labelBox.bottom())
            << "label on its field's row: " << label->objectName().toStdString();
        EXPECT_GT(fieldBox.top(), previousBottom) << "rows top to bottom: " << field->objectName().toStdString();
        EXPECT_EQ(fieldBox.left(), placed(window.txtName, window).left()) << "fields in one column";
        previousBottom = fieldBox.bottom();
        taken.push_back(labelBox);
        taken.push_back(fieldBox);
    }
    int buttonsTop = -1;
    for (const QPushButton *button : {window.cmdOK, window.cmdClear, window.cmdCancel}) {
        const QRect box = placed(button, window);
        EXPECT_GT(box.left(), placed(window.Frame1, window).right()) << "buttons beside the frame";
        EXPECT_GT(box.top(), buttonsTop) << "OK, Clear, Cancel from the top";
        buttonsTop = box.bottom();
        taken.push_back(box);
    }
    QRect client;
    inCharterWindow([&] {
        client = placed(window.Frame1->parentWidget(), window);
        press(Qt::Key_Escape);
    });
    for (std::size_t i = 0; i < taken.size(); ++i) {
        EXPECT_TRUE(client.contains(taken[i])) << "control " << i << " inside the window";
        for (std::size_t j = i + 1; j < taken.size(); ++j)
            EXPECT_FALSE(taken[i].intersects(taken[j])) << "controls " << i << " and " << j << " overlap";
    }
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

TEST_F(WindowLayout, ListsStartWithNothingPickedAndOnlyTheTypeTypeable)
{
    EXPECT_EQ(charter().cboYacht->listIndex(), -1);
    EXPECT_EQ(charter().cboSize->listIndex(), -1);
    EXPECT_TRUE(charter().cboYacht->isEditable());
    EXPECT_FALSE(charter().cboSize->isEditable());
    EXPECT_EQ(charter().cboYacht->insertPolicy(), QComboBox::NoInsert);
    EXPECT_EQ(charter().cboYacht->completer(), nullptr);
}

TEST_F(WindowLayout, WindowsAreCentredOnTheScreen)
{
    const QRect screen = main().screen()->availableGeometry();
    EXPECT_LE((main().frameGeometry().center() - screen.center()).manhattanLength(), 2);
}

} // namespace
