// SPDX-License-Identifier: MIT
#include "clerk_fixture.h"

#include "ui/widgets/combo_box.h"

#include <QLineEdit>
#include <QMenu>
#include <QTest>

using testing_support::ClerkTest;

namespace {

class YachtTypes : public ClerkTest {
protected:
    // Alt+Y, then typing over whatever the box holds.
    void typeYacht(const QString &text)
    {
        press(Qt::Key_Y, Qt::AltModifier);
        press(Qt::Key_A, Qt::ControlModifier);
        type(text);
    }
    void pickYacht(int downPresses)
    {
        press(Qt::Key_Y, Qt::AltModifier);
        for (int i = 0; i < downPresses; ++i)
            press(Qt::Key_Down);
    }
    void edit(char item) { chooseMenu(charter(), 'E', item); }
    QString lastBox() const { return m_boxes->boxes.empty() ? QString() : m_boxes->boxes.back().prompt; }
    QStringList yachts() { return charter().cboYacht->entries(); }
};

TEST_F(YachtTypes, AnAddedTypeTakesItsSortedPlaceAndTheCountGrows)
{
    inCharterWindow([&] {
        typeYacht(QStringLiteral("Dufour"));
        edit('C');
        EXPECT_EQ(yachts().indexOf(QStringLiteral("Dufour")), 3);
        EXPECT_EQ(charter().cboYacht->text(), QStringLiteral("Dufour")) << "the text stays in the box";
        EXPECT_EQ(charter().cboYacht->listIndex(), -1) << "the selection does not change";
        EXPECT_TRUE(charter().cboYacht->isAncestorOf(focus()) || focus() == charter().cboYacht)
            << "the focus does not move";
        edit('T');
        ASSERT_EQ(m_boxes->boxes.size(), 1u);
        EXPECT_EQ(lastBox(), QStringLiteral("The number of yacht types is 9"));
        EXPECT_EQ(m_boxes->boxes.back().icon, ui::MessageIcon::None);
        EXPECT_EQ(m_boxes->boxes.back().title, QStringLiteral("Selvaro's Yachts"));
        press(Qt::Key_Escape);
    });
}

TEST_F(YachtTypes, ALowerCaseTypeSortsAsIfCapitalised)
{
    inCharterWindow([&] {
        typeYacht(QStringLiteral("dufour"));
        edit('C');
        typeYacht(QStringLiteral("zodiac"));
        edit('C');
        EXPECT_EQ(yachts().indexOf(QStringLiteral("dufour")), 3);
        EXPECT_EQ(yachts().last(), QStringLiteral("zodiac")) << yachts().join(QLatin1Char('|')).toStdString();
        press(Qt::Key_Escape);
    });
}

TEST_F(YachtTypes, AddingATypeAlreadyListedMakesASecondEntry)
{
    inCharterWindow([&] {
        pickYacht(6); // Hobie
        edit('C');
        EXPECT_EQ(yachts().count(QStringLiteral("Hobie")), 2);
        EXPECT_EQ(charter().cboYacht->list(charter().cboYacht->listIndex()), QStringLiteral("Hobie"));
        press(Qt::Key_Escape);
    });
}

TEST_F(YachtTypes, EmptyBoxMessagesLeaveTheListAlone)
{
    inCharterWindow([&] {
        const QStringList before = yachts();
        edit('C');
        EXPECT_EQ(lastBox(), QStringLiteral("Enter new yacht type"));
        EXPECT_EQ(m_boxes->boxes.back().icon, ui::MessageIcon::Question);
        EXPECT_EQ(m_boxes->boxes.back().title, QStringLiteral("Missing Data"));
        edit('H');
        EXPECT_EQ(lastBox(), QStringLiteral("Select yacht type to remove"));
        EXPECT_EQ(m_boxes->boxes.back().icon, ui::MessageIcon::Question);
        EXPECT_EQ(m_boxes->boxes.back().title, QStringLiteral("Missing Data"));
        EXPECT_EQ(m_boxes->boxes.size(), 2u);
        EXPECT_EQ(yachts(), before);
        press(Qt::Key_Escape);
    });
}

TEST_F(YachtTypes, RemovingThePickedTypeLeavesSevenAndAnEmptyBox)
{
    inCharterWindow([&] {
        pickYacht(6);
        ASSERT_EQ(charter().cboYacht->text(), QStringLiteral("Hobie"));
        edit('H');
        EXPECT_FALSE(yachts().contains(QStringLiteral("Hobie")));
        EXPECT_EQ(charter().cboYacht->listIndex(), -1);
        EXPECT_EQ(charter().cboYacht->text(), QString());
        edit('T');
        EXPECT_EQ(lastBox(), QStringLiteral("The number of yacht types is 7"));
        press(Qt::Key_Escape);
    });
}

TEST_F(YachtTypes, RemovingEveryTypeCountsZero)
{
    inCharterWindow([&] {
        for (int i = 0; i < 8; ++i) {
            pickYacht(1);
            edit('H');
        }
        EXPECT_TRUE(yachts().isEmpty());
        edit('T');
        EXPECT_EQ(lastBox(), QStringLiteral("The number of yacht types is 0"));
        typeYacht(QStringLiteral("Solo"));
        edit('C');
        EXPECT_EQ(yachts(), QStringList{QStringLiteral("Solo")});
        EXPECT_EQ(charter().cboYacht->listIndex(), -1) << "the first entry of an empty list is not picked by itself";
        press(Qt::Key_Escape);
    });
}

TEST_F(YachtTypes, ABoxHoldingOneBlankAddsAnEntryOfOneBlank)
{
    inCharterWindow([&] {
        typeYacht(QStringLiteral(" "));
        edit('C');
        EXPECT_EQ(yachts().size(), 9);
        EXPECT_EQ(yachts().first(), QStringLiteral(" "));
        EXPECT_TRUE(m_boxes->boxes.empty());
        press(Qt::Key_Escape);
    });
}

TEST_F(YachtTypes, RemovingTypedTextThatIsNotTheSelectedEntryIsAnsweredAsAnEmptyBox)
{
    inCharterWindow([&] {
        typeYacht(QStringLiteral("Nonesuch"));
        edit('H');
        EXPECT_EQ(lastBox(), QStringLiteral("Select yacht type to remove"));
        EXPECT_EQ(yachts().size(), 8);
        EXPECT_EQ(charter().cboYacht->text(), QStringLiteral("Nonesuch"));

        // Typed over a picked entry: the entry is no longer selected.
        press(Qt::Key_Down);
        typeYacht(QStringLiteral("x"));
        edit('H');
        EXPECT_EQ(yachts().size(), 8);
        EXPECT_EQ(m_boxes->boxes.size(), 2u);
        EXPECT_TRUE(charter().isVisible());
        press(Qt::Key_Escape);
    });
}

TEST_F(YachtTypes, EditsOutliveCancelAndReachThePrintedList)
{
    inCharterWindow([&] {
        typeYacht(QStringLiteral("Dufour"));
        edit('C');
        pickYacht(1); // C & C
        edit('H');
        press(Qt::Key_Escape);
    });
    inCharterWindow([&] {
        EXPECT_EQ(yachts().size(), 8);
        EXPECT_TRUE(yachts().contains(QStringLiteral("Dufour")));
        press(Qt::Key_Escape);
    });
    chooseMenu(main(), 'F', 'Y');
    ASSERT_EQ(m_printer->documents.size(), 1u);
    const QStringList &printed = m_printer->documents[0];
    ASSERT_EQ(printed.size(), 11);
    EXPECT_EQ(printed[3], QStringLiteral("              Catalina"));
    EXPECT_EQ(printed[5], QStringLiteral("              Dufour"));
}

TEST_F(YachtTypes, TheEditMenuListsItsThreeItemsAllEnabled)
{
    QStringList captions;
    for (const QAction *item : charter().mnuEdit->actions()) {
        captions.append(item->text());
        EXPECT_TRUE(item->isEnabled());
        EXPECT_TRUE(item->shortcut().isEmpty());
        EXPECT_FALSE(item->isSeparator());
    }
    EXPECT_EQ(captions, (QStringList{"Add Ya&cht Type", "Remove Yac&ht Type", "Display Count of Yach&t Types"}));
    EXPECT_EQ(charter().mnuEdit->title(), QStringLiteral("&Edit"));
}

} // namespace
