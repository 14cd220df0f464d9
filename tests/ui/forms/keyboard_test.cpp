// SPDX-License-Identifier: MIT
#include "clerk_fixture.h"

#include "core/accounting/running_totals.h"
#include "ui/widgets/combo_box.h"
#include "ui/widgets/window_setup.h"

#include <QDialog>
#include <QFormLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <clocale>

using testing_support::ClerkTest;

namespace {

class Keyboard : public ClerkTest {};

// Puts the focus in a field the way a clerk does: its access key, or Tab
// from the last field for the buttons.
void focusField(const forms::frmCharter &window, const QString &field)
{
    QWidget *target = window.findChild<QWidget *>(field);
    ASSERT_NE(target, nullptr) << field.toStdString();
    target->setFocus(Qt::TabFocusReason);
}

TEST_F(Keyboard, AccessKeysPutTheFocusInTheirFields)
{
    inCharterWindow([&] {
        const std::pair<Qt::Key, QWidget *> keys[] = {
            {Qt::Key_H, charter().txtHours}, {Qt::Key_Y, charter().cboYacht},
            {Qt::Key_S, charter().cboSize}, {Qt::Key_N, charter().txtName}};
        for (const auto &[key, field] : keys) {
            press(key, Qt::AltModifier);
            EXPECT_TRUE(focus() == field || focus()->focusProxy() == field || focus()->parentWidget() == field)
                << "Alt+" << char(key) << " went to " << focus()->objectName().toStdString();
        }
        press(Qt::Key_Escape);
    });
}

TEST_F(Keyboard, TabVisitsTheFieldsThenTheButtonsInOrder)
{
    inCharterWindow([&] {
        const QStringList expected = {QStringLiteral("txtHours"), QStringLiteral("cboYacht"),
                                      QStringLiteral("cboSize"),  QStringLiteral("cmdOK"),
                                      QStringLiteral("cmdClear"), QStringLiteral("cmdCancel"),
                                      QStringLiteral("txtName")};
        for (const QString &name : expected) {
            press(Qt::Key_Tab);
            QWidget *widget = focus();
            while (widget && widget->objectName().isEmpty())
                widget = widget->parentWidget();
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(widget->objectName(), name);
        }
        press(Qt::Key_Escape);
    });
}

class EnterFromEveryField : public Keyboard, public testing::WithParamInterface<const char *> {};

TEST_P(EnterFromEveryField, AcceptsTheCharter)
{
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Jones"), QStringLiteral("2"), QStringLiteral("Hobie"), 1);
        focusField(charter(), QString::fromUtf8(GetParam()));
        press(Qt::Key_Return);
        EXPECT_EQ(program().totals().charterCount(), 1);
        EXPECT_TRUE(m_boxes->boxes.empty());
        EXPECT_TRUE(charter().isVisible());
        press(Qt::Key_Escape);
    });
}

INSTANTIATE_TEST_SUITE_P(Fields, EnterFromEveryField,
                         testing::Values("txtName", "txtHours", "cboYacht", "cboSize", "cmdOK"));

class EscFromEveryField : public Keyboard, public testing::WithParamInterface<const char *> {};

TEST_P(EscFromEveryField, CancelsTheEntry)
{
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Jones"), QStringLiteral("2"), QStringLiteral("Hobie"), 1);
        focusField(charter(), QString::fromUtf8(GetParam()));
        press(Qt::Key_Escape);
        EXPECT_FALSE(charter().isVisible());
    });
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(program().totals().charterCount(), 0);
    EXPECT_TRUE(charter().txtName->text().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Fields, EscFromEveryField,
                         testing::Values("txtName", "txtHours", "cboYacht", "cboSize", "cmdOK", "cmdClear"));

// However the window was left last time, Enter in a field presses OK when it
// is open again, and OK alone shows the default frame while a field has the
// focus. Tabs to a button, then Space or Esc; no Tabs: Cancel clicked.
class EnterAfterLeaving : public Keyboard, public testing::WithParamInterface<std::pair<int, Qt::Key>> {};

TEST_P(EnterAfterLeaving, PressesOK)
{
    const auto [tabs, key] = GetParam();
    inCharterWindow([&] {
        for (int i = 0; i < tabs; ++i)
            press(Qt::Key_Tab);
        if (tabs == 0)
            QTest::mouseClick(charter().cmdCancel, Qt::LeftButton);
        else
            press(key);
    });
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Jones"), QStringLiteral("2"), QStringLiteral("Hobie"), 1);
        for (const Qt::Key access : {Qt::Key_N, Qt::Key_H, Qt::Key_Y, Qt::Key_S}) {
            press(access, Qt::AltModifier);
            EXPECT_TRUE(charter().cmdOK->isDefault());
            EXPECT_FALSE(charter().cmdClear->isDefault() || charter().cmdCancel->isDefault());
        }
        press(Qt::Key_Return);
        EXPECT_EQ(program().totals().charterCount(), 1);
        EXPECT_TRUE(charter().isVisible());
        press(Qt::Key_Escape);
    });
}

INSTANTIATE_TEST_SUITE_P(Ways, EnterAfterLeaving,
                         testing::Values(std::pair{6, Qt::Key_Space}, std::pair{6, Qt::Key_Return},
                                         std::pair{5, Qt::Key_Escape}, std::pair{0, Qt::Key_unknown}));

// Clear and Cancel share C: Alt+C goes to the next of them after the focus,
// in tab order, and presses neither.
TEST_F(Keyboard, ASharedAccessKeyMovesTheFocusToTheNextControlCarryingIt)
{
    const std::pair<Qt::Key, const char *> steps[] = {
        {Qt::Key_C, "cmdClear"}, {Qt::Key_Tab, "cmdCancel"}, {Qt::Key_Tab, "txtName"}, {Qt::Key_C, "cmdClear"},
        {Qt::Key_C, "cmdCancel"}, {Qt::Key_C, "cmdClear"},   {Qt::Key_S, "cboSize"},   {Qt::Key_C, "cmdClear"}};
    inCharterWindow([&] {
        press(Qt::Key_N, Qt::AltModifier);
        type(QStringLiteral("Jones"));
        for (const auto &[key, expected] : steps) {
            press(key, key == Qt::Key_Tab ? Qt::NoModifier : Qt::AltModifier);
            EXPECT_EQ(focus()->objectName(), QLatin1String(expected)) << QKeySequence(key).toString().toStdString();
        }
        EXPECT_EQ(charter().txtName->text(), QStringLiteral("Jones")) << "nothing was pressed";
        EXPECT_TRUE(charter().isVisible());
        press(Qt::Key_Escape);
    });
}

// The same in any window the program sets up, for labels naming fields too.
TEST_F(Keyboard, SharedAccessKeysFollowTheTabOrderInAnyWindow)
{
    QDialog window;
    ui::setUpWindow(window, "sharedKeys", QStringLiteral("Shared keys"), QIcon());
    QWidget *const order[] = {new QLineEdit, new QLineEdit, new QPushButton(QStringLiteral("&Apply"))};
    auto *layout = new QFormLayout(&window);
    layout->addRow(QStringLiteral("&Amount:"), order[0]);
    layout->addRow(QStringLiteral("&Another:"), order[1]);
    layout->addRow(order[2]);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    order[0]->setFocus();
    for (int i = 1; i <= 3; ++i) {
        press(Qt::Key_A, Qt::AltModifier);
        EXPECT_EQ(focus(), order[i % 3]);
    }
}

// The keypad's decimal key as Linux reports it: a comma or a point with the
// keypad modifier, by the keysym the layout gives the key.
TEST_F(Keyboard, TheKeypadDecimalKeyTypesAPointInTheHours)
{
    // After 2, the key, 5:
    struct Row { bool inHours; Qt::Key key; Qt::KeyboardModifiers mods; quint32 keysym; const char *text, *expected; };
    const auto keypad = Qt::KeypadModifier;
    const Row rows[] = {{true, Qt::Key_Comma, keypad, 0xffac, ",", "2.5"},     // KP_Separator (kpdl:comma)
                        {true, Qt::Key_Period, keypad, 0xffae, ".", "2.5"},    // KP_Decimal
                        {true, Qt::Key_Delete, keypad, 0xffac, ",", "2.5"},    // a layout keeping the name Delete
                        {true, Qt::Key_Delete, keypad, 0xff9f, "", "25"},      // KP_Delete, no Num Lock
                        {true, Qt::Key_Comma, Qt::NoModifier, 0x2c, ",", "2,5"}, // the main keyboard's comma
                        {false, Qt::Key_Comma, keypad, 0xffac, ",", "2,5"}};    // only in the hours
    inCharterWindow([&] {
        for (const Row &row : rows) {
            QLineEdit *field = row.inHours ? charter().txtHours : charter().txtName;
            field->clear();
            field->setFocus();
            type(QStringLiteral("2"));
            for (const auto kind : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(kind, row.key, row.mods, 91, row.keysym, 0, QString::fromUtf8(row.text));
                QApplication::sendEvent(field, &event);
            }
            type(QStringLiteral("5"));
            EXPECT_EQ(field->text(), QString::fromUtf8(row.expected)) << std::hex << row.keysym << " " << row.key;
        }
        press(Qt::Key_Escape);
    });
}

TEST_F(Keyboard, DownInTheEmptySizeListPicksTheFirstSize)
{
    inCharterWindow([&] {
        press(Qt::Key_S, Qt::AltModifier);
        EXPECT_EQ(charter().cboSize->listIndex(), -1);
        press(Qt::Key_Down);
        EXPECT_EQ(charter().cboSize->listIndex(), 0);
        EXPECT_EQ(charter().cboSize->text(), QStringLiteral("22"));
        press(Qt::Key_Escape);
    });
}

TEST_F(Keyboard, EnterOnAFocusedButtonPressesThatButton)
{
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Jones"), QStringLiteral("2"), QStringLiteral("Hobie"), 1);
        charter().cmdClear->setFocus(Qt::TabFocusReason);
        press(Qt::Key_Return);
        EXPECT_EQ(program().totals().charterCount(), 0);
        EXPECT_TRUE(charter().txtName->text().isEmpty());
        EXPECT_EQ(focus(), charter().txtName);
        press(Qt::Key_Escape);
    });
}

// With the real QMessageBox: the box holds the exact text, takes the
// keyboard, and when it closes the focus stays on the field at fault instead
// of jumping back to the name.
TEST_F(Keyboard, ClosingAValidationMessageLeavesTheFocusOnTheFieldAtFault)
{
    startProgram(nullptr, true);
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Jones"), QStringLiteral("0"), QStringLiteral("Hobie"), 1);
        bool boxSeen = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible())
                return;
            poll.stop();
            boxSeen = true;
            EXPECT_TRUE(QTest::qWaitForWindowActive(box));
            EXPECT_EQ(box->text(), QStringLiteral("Please enter the number of hours"));
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Missing Data"));
            EXPECT_EQ(box->buttons().size(), 1);
            EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
            EXPECT_TRUE(box->isAncestorOf(QApplication::focusWidget())) << "the box has the keyboard";
            QTest::keyClick(box, Qt::Key_Return);
        });
        poll.start();
        press(Qt::Key_Return);
        poll.stop();
        EXPECT_TRUE(boxSeen);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&charter()));
        QCoreApplication::processEvents();
        EXPECT_EQ(focus(), charter().txtHours);
        press(Qt::Key_Escape);
    });
}

TEST_F(Keyboard, HoursAreReadWithAPointUnderEveryLocale)
{
    // A desktop with a decimal comma: the C library and the regional settings
    // both say de_DE.
    qputenv("LC_ALL", "de_DE.UTF-8");
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        qunsetenv("LC_ALL");
        GTEST_SKIP() << "de_DE.UTF-8 cannot be loaded";
    }
    startProgram();
    qunsetenv("LC_ALL");
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Jones"), QStringLiteral("2.5"), QStringLiteral("Hobie"), 2);
        press(Qt::Key_Return);
        press(Qt::Key_Escape);
    });
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(program().totals().totalHours(), platform::Currency::fromTenThousandths(25000));
    ASSERT_EQ(waitingLines().size(), 1);
    EXPECT_EQ(waitingLines()[0].mid(56), QStringLiteral("2,5       342,50\u00A0€")) << "hours at 57, charge ending at 74";
}

} // namespace
