// SPDX-License-Identifier: MIT
#include "clerk_fixture.h"

#include "core/accounting/running_totals.h"
#include "ui/widgets/combo_box.h"
#include "ui/widgets/screen_reader.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using testing_support::ClerkTest;

namespace {

// A printed line with each text starting at its column.
QString columns(std::initializer_list<std::pair<int, QString>> runs)
{
    QString line;
    for (const auto &[column, text] : runs)
        line += QString(column - 1 - line.size(), QLatin1Char(' ')) + text;
    return line;
}

constexpr int kHobie = 6; // Down presses from nothing to "Hobie"
constexpr int k24Feet = 2;

struct FieldState {
    QString name, hours, yacht, size;
    int yachtIndex, sizeIndex;
    bool operator==(const FieldState &) const = default;
};

FieldState fields(const forms::frmCharter &f)
{
    return {f.txtName->text(), f.txtHours->text(), f.cboYacht->text(), f.cboSize->text(),
            f.cboYacht->listIndex(), f.cboSize->listIndex()};
}

void PrintTo(const FieldState &s, std::ostream *out)
{
    *out << '[' << s.name.toStdString() << '|' << s.hours.toStdString() << '|' << s.yacht.toStdString() << '('
         << s.yachtIndex << ")|" << s.size.toStdString() << '(' << s.sizeIndex << ")]";
}

class CharterEntry : public ClerkTest {
protected:
    void pickYacht(int downPresses)
    {
        press(Qt::Key_Y, Qt::AltModifier);
        for (int i = 0; i < downPresses; ++i)
            press(Qt::Key_Down);
    }
};

TEST_F(CharterEntry, OneCharterIsPricedRecordedPrintedAndTheFieldsClearedForTheNext)
{
    inCharterWindow([&] {
        EXPECT_EQ(focus(), charter().txtName) << "the window opens with the focus in the name";
        enterCharter(QStringLiteral("Jones"), QStringLiteral("2.5"), QString(), 0);
        pickYacht(kHobie);
        EXPECT_EQ(charter().cboYacht->text(), QStringLiteral("Hobie"));
        press(Qt::Key_S, Qt::AltModifier);
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        press(Qt::Key_Return);

        EXPECT_EQ(waitingLines(), QStringList{columns({{5, "Jones"}, {30, "Hobie"}, {45, " 24 "}, {57, "2.5"},
                                                        {68, "$342.50"}})});
        EXPECT_EQ(fields(charter()), (FieldState{"", "", "", "", -1, -1}));
        EXPECT_EQ(focus(), charter().txtName);
        EXPECT_TRUE(m_boxes->boxes.empty());
        EXPECT_EQ(charter().mcurCharge, platform::Currency::fromTenThousandths(3425000));
        EXPECT_FALSE(main().mnuFilePrintYachtType->isEnabled());
        EXPECT_TRUE(m_printer->documents.empty()) << "a charter line does not end the document";
        press(Qt::Key_Escape);
    });
    const auto &totals = program().totals();
    EXPECT_EQ(totals.charterCount(), 1);
    EXPECT_EQ(totals.totalHours(), platform::Currency::fromTenThousandths(25000));
    EXPECT_EQ(totals.totalRevenue(), platform::Currency::fromTenThousandths(3425000));
    EXPECT_TRUE(main().isVisible());
}

TEST_F(CharterEntry, CharterAfterCharterPilesUpInOneDocument)
{
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Ames"), QStringLiteral("4"), QString(), 0);
        pickYacht(1);
        press(Qt::Key_S, Qt::AltModifier);
        press(Qt::Key_Down); // 22 feet
        press(Qt::Key_Return);
        enterCharter(QStringLiteral("Baker"), QStringLiteral("100"), QString(), 0);
        pickYacht(2);
        press(Qt::Key_S, Qt::AltModifier);
        for (int i = 0; i < 7; ++i)
            press(Qt::Key_Down); // 45 feet, the last size
        press(Qt::Key_Enter);
        press(Qt::Key_Escape);
    });
    EXPECT_EQ(waitingLines(),
              (QStringList{columns({{5, "Ames"}, {30, "C & C"}, {45, " 22 "}, {57, "4.0"}, {68, "$380.00"}}),
                           columns({{5, "Baker"}, {30, "Catalina"}, {45, " 45 "}, {55, "100.0"}, {65, "$55,000.00"}})}));
    EXPECT_EQ(program().totals().charterCount(), 2);
    EXPECT_EQ(charter().mcurCharge, platform::Currency::fromTenThousandths(550000000)) << "only the last charge is kept";
}

namespace {

// What screen readers were last told: Qt 6.8 announces a sentence as an
// event; earlier Qt shows the announcer anew under its name.
class LastAnnouncement {
public:
    explicit LastAnnouncement(const ui::Announcer &announcer) : m_announcer(announcer)
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        s_told.clear();
        QAccessible::installUpdateHandler([](QAccessibleEvent *event) {
            if (event->type() == QAccessible::Announcement)
                s_told = static_cast<QAccessibleAnnouncementEvent *>(event)->message();
        });
#endif
    }
    LastAnnouncement(const LastAnnouncement &) = delete;
    LastAnnouncement &operator=(const LastAnnouncement &) = delete;
    ~LastAnnouncement()
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        QAccessible::installUpdateHandler(nullptr);
#endif
    }

    QString sentence() const
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        return s_told;
#else
        return m_announcer.isVisible() ? m_announcer.accessibleName() : QString();
#endif
    }

private:
    const ui::Announcer &m_announcer;
    static inline QString s_told;
};

} // namespace

TEST_F(CharterEntry, EachCharterAcceptedIsToldToScreenReadersAndNoOther)
{
    inCharterWindow([&] {
        const auto *announcer = charter().findChild<ui::Announcer *>();
        ASSERT_NE(announcer, nullptr);
        const LastAnnouncement told(*announcer);
        enterCharter(QStringLiteral(" Jones "), QStringLiteral("2.5"), QStringLiteral("Sloop"), k24Feet);
        press(Qt::Key_Return);
        EXPECT_EQ(told.sentence(), QStringLiteral("Charter accepted: Jones, 2.5 hours, $342.50"));
        EXPECT_EQ(focus(), charter().txtName) << "telling takes no focus";

        enterCharter(QString(), QStringLiteral("4"), QStringLiteral("Sloop"), 1);
        press(Qt::Key_Return);
        EXPECT_EQ(told.sentence(), QStringLiteral("Charter accepted: 4.0 hours, $380.00")) << "no name to tell";

        enterCharter(QStringLiteral("Kim"), QStringLiteral("0"), QStringLiteral("Sloop"), 1);
        press(Qt::Key_Return);
        EXPECT_EQ(m_boxes->boxes.size(), 1U);
        EXPECT_EQ(told.sentence(), QStringLiteral("Charter accepted: 4.0 hours, $380.00")) << "a refused one is not told";
        press(Qt::Key_Escape);
    });
}

struct ValidationCase {
    const char *label;
    const char *hours;
    const char *typedYacht;
    int sizeSteps;
    const char *message;
    ui::MessageIcon icon;
    const char *field; // where the focus goes
};

class Validation : public CharterEntry, public testing::WithParamInterface<ValidationCase> {};

TEST_P(Validation, RefusesWithOneMessageFocusesTheFieldAndChangesNothing)
{
    const ValidationCase &c = GetParam();
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Jones"), QString::fromUtf8(c.hours), QString::fromUtf8(c.typedYacht), c.sizeSteps);
        const FieldState before = fields(charter());
        const int yachtCount = charter().cboYacht->listCount();
        press(Qt::Key_Return);

        ASSERT_EQ(m_boxes->boxes.size(), 1u);
        EXPECT_EQ(m_boxes->boxes[0].prompt, QString::fromUtf8(c.message));
        EXPECT_EQ(m_boxes->boxes[0].title, QStringLiteral("Missing Data"));
        EXPECT_EQ(m_boxes->boxes[0].icon, c.icon);
        ASSERT_NE(focus(), nullptr);
        EXPECT_EQ(focus()->objectName(), QString::fromUtf8(c.field));
        EXPECT_EQ(fields(charter()), before);
        EXPECT_EQ(charter().cboYacht->listCount(), yachtCount);
        EXPECT_TRUE(waitingLines().isEmpty());
        EXPECT_EQ(program().totals().charterCount(), 0);
        EXPECT_TRUE(main().mnuFilePrintYachtType->isEnabled());
        press(Qt::Key_Escape);
    });
}

INSTANTIATE_TEST_SUITE_P(Order, Validation, testing::Values(
    ValidationCase{"empty hours", "", "Dufour", 1, "Please enter the number of hours", ui::MessageIcon::None, "txtHours"},
    ValidationCase{"zero hours", "0", "Dufour", 1, "Please enter the number of hours", ui::MessageIcon::None, "txtHours"},
    ValidationCase{"negative hours", "-3", "Dufour", 1, "Please enter the number of hours", ui::MessageIcon::None, "txtHours"},
    ValidationCase{"no leading number", "abc", "Dufour", 1, "Please enter the number of hours", ui::MessageIcon::None, "txtHours"},
    ValidationCase{"hours and nothing else", "2.5", "", 0, "Select the yacht type", ui::MessageIcon::Question, "cboYacht"},
    ValidationCase{"no yacht with a size", "2.5", "", 1, "Select the yacht type", ui::MessageIcon::Question, "cboYacht"},
    ValidationCase{"typed yacht, no size", "2.5", "Dufour", 0, "You must select a size", ui::MessageIcon::Question, "cboSize"},
    ValidationCase{"blank yacht, no size", "2.5", " ", 0, "You must select a size", ui::MessageIcon::Question, "cboSize"}),
    [](const testing::TestParamInfo<ValidationCase> &row) {
        std::string name = row.param.label;
        std::replace(name.begin(), name.end(), ' ', '_');
        std::replace(name.begin(), name.end(), ',', '_');
        return name;
    });

struct AcceptedHoursCase {
    const char *typed;
    const char *printed;
    std::int64_t tenThousandths;
};

class AcceptedHours : public CharterEntry, public testing::WithParamInterface<AcceptedHoursCase> {};

TEST_P(AcceptedHours, ReadLenientlyRoundedAndPrintedWithOneDecimal)
{
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Kim"), QString::fromUtf8(GetParam().typed), QStringLiteral("Hobie"), 1);
        press(Qt::Key_Return);
        press(Qt::Key_Escape);
    });
    ASSERT_TRUE(m_boxes->boxes.empty()) << m_boxes->boxes[0].prompt.toStdString();
    ASSERT_EQ(waitingLines().size(), 1);
    const QString printedHours = QString::fromUtf8(GetParam().printed);
    EXPECT_EQ(waitingLines()[0].mid(59 - printedHours.size(), printedHours.size()), printedHours);
    EXPECT_EQ(program().totals().totalHours(),
              platform::Currency::fromTenThousandths(GetParam().tenThousandths));
}

INSTANTIATE_TEST_SUITE_P(Table, AcceptedHours, testing::Values(
    AcceptedHoursCase{"7x", "7.0", 70000},
    AcceptedHoursCase{"0.00001", "0.0", 0},
    AcceptedHoursCase{"2.25", "2.3", 22500},
    AcceptedHoursCase{"1,5", "1.0", 10000},
    AcceptedHoursCase{"2 5", "25.0", 250000},
    AcceptedHoursCase{"1E1", "10.0", 100000},
    AcceptedHoursCase{"3.33333", "3.3", 33333}));

TEST_F(CharterEntry, ATypedYachtTypeJoinsTheListInSortedPlaceAndIsPrinted)
{
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Lee"), QStringLiteral("3"), QStringLiteral("Dufour"), 1);
        EXPECT_EQ(charter().cboYacht->listIndex(), -1);
        press(Qt::Key_Return);
        EXPECT_EQ(charter().cboYacht->listCount(), 9);
        EXPECT_EQ(charter().cboYacht->list(3), QStringLiteral("Dufour"));
        EXPECT_EQ(charter().cboYacht->newIndex(), 3);
        press(Qt::Key_Escape);
    });
    ASSERT_EQ(waitingLines().size(), 1);
    EXPECT_EQ(waitingLines()[0].mid(29, 6), QStringLiteral("Dufour"));
}

TEST_F(CharterEntry, TypedTextEqualToAnEntryStaysTypedAndIsAddedAgain)
{
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Lee"), QStringLiteral("3"), QStringLiteral("Hobie"), 0);
        press(Qt::Key_Tab); // the focus leaves the box
        EXPECT_EQ(charter().cboYacht->listIndex(), -1);
        EXPECT_EQ(charter().cboYacht->text(), QStringLiteral("Hobie"));
        press(Qt::Key_S, Qt::AltModifier);
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        EXPECT_EQ(charter().cboYacht->entries().count(QStringLiteral("Hobie")), 2);
        press(Qt::Key_Escape);
    });
}

TEST_F(CharterEntry, ABlankYachtTypeIsATypeLikeAnyOther)
{
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Lee"), QStringLiteral("3"), QStringLiteral(" "), 1);
        press(Qt::Key_Return);
        EXPECT_TRUE(charter().cboYacht->entries().contains(QStringLiteral(" ")));
        EXPECT_EQ(charter().cboYacht->list(0), QStringLiteral(" ")) << "a blank sorts first";
        press(Qt::Key_Escape);
    });
    EXPECT_EQ(program().totals().charterCount(), 1);
}

TEST_F(CharterEntry, AnEmptyNameIsAcceptedAndPrintsAsNothing)
{
    inCharterWindow([&] {
        enterCharter(QString(), QStringLiteral("1"), QString(), 0);
        pickYacht(kHobie);
        press(Qt::Key_S, Qt::AltModifier);
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        press(Qt::Key_Escape);
    });
    EXPECT_EQ(waitingLines(), QStringList{columns({{30, "Hobie"}, {45, " 22 "}, {57, "1.0"}, {69, "$95.00"}})});
}

TEST_F(CharterEntry, ClearEmptiesEveryFieldAndPutsTheFocusInTheName)
{
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Jones"), QStringLiteral("2"), QStringLiteral("Hob"), k24Feet);
        press(Qt::Key_C, Qt::AltModifier); // "&Clear " and "&Cancel" share C: the first press goes to Clear
        if (focus() == charter().cmdClear)
            press(Qt::Key_Space);
        EXPECT_EQ(fields(charter()), (FieldState{"", "", "", "", -1, -1}));
        EXPECT_EQ(focus(), charter().txtName);
        press(Qt::Key_Escape);
    });
    EXPECT_TRUE(waitingLines().isEmpty());
}

TEST_F(CharterEntry, CancelClearsTheFieldsAndBringsBackTheMainWindowWithTotalsKept)
{
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Jones"), QStringLiteral("2"), QStringLiteral("Hobie"), 1);
        press(Qt::Key_Return);
        enterCharter(QStringLiteral("Half"), QStringLiteral("9"), QStringLiteral("Hob"), 3);
        press(Qt::Key_Escape);
    });
    EXPECT_FALSE(charter().isVisible());
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(fields(charter()), (FieldState{"", "", "", "", -1, -1}));
    inCharterWindow([&] {
        EXPECT_EQ(focus(), charter().txtName) << "showing the window again puts the focus in the name";
        enterCharter(QStringLiteral("Again"), QStringLiteral("4"), QStringLiteral("Hobie"), 1);
        press(Qt::Key_Return);
        press(Qt::Key_Escape);
    });
    EXPECT_EQ(program().totals().charterCount(), 2);
    EXPECT_EQ(program().totals().totalHours(), platform::Currency::fromTenThousandths(60000));
    EXPECT_EQ(waitingLines().size(), 2);
}

TEST_F(CharterEntry, ClosingTheWindowThroughItsFrameActsAsCancel)
{
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Jones"), QStringLiteral("2"), QString(), 0);
        charter().close();
    });
    EXPECT_FALSE(charter().isVisible());
    EXPECT_TRUE(main().isVisible());
    EXPECT_TRUE(charter().txtName->text().isEmpty());
}

// Entries the program must refuse rather than end over: each shows one
// message naming the problem and leaves everything as it was.
struct RefusedCase {
    const char *label;
    const char *hours;
    int sizeSteps;
    const char *problem;
};

class RefusedCharter : public CharterEntry, public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedCharter, ShowsTheProblemAndChangesNothing)
{
    const RefusedCase &c = GetParam();
    inCharterWindow([&] {
        // One accepted charter first, so that there is state to keep.
        enterCharter(QStringLiteral("First"), QStringLiteral("2.5"), QStringLiteral("Hobie"), 2);
        press(Qt::Key_Return);
        const auto totals = program().totals();
        const auto charge = charter().mcurCharge;
        const QStringList lines = waitingLines();

        enterCharter(QStringLiteral("Second"), QString::fromUtf8(c.hours), QStringLiteral("Zephyr"), c.sizeSteps);
        const FieldState before = fields(charter());
        press(Qt::Key_Return);

        ASSERT_EQ(m_boxes->boxes.size(), 1u);
        EXPECT_TRUE(m_boxes->boxes[0].prompt.contains(QString::fromUtf8(c.problem)))
            << m_boxes->boxes[0].prompt.toStdString();
        EXPECT_EQ(m_boxes->boxes[0].title, QStringLiteral("Selvaro's Yachts"));
        EXPECT_EQ(fields(charter()), before);
        EXPECT_EQ(focus(), charter().txtHours);
        EXPECT_EQ(program().totals().charterCount(), totals.charterCount());
        EXPECT_EQ(program().totals().totalHours(), totals.totalHours());
        EXPECT_EQ(program().totals().totalRevenue(), totals.totalRevenue());
        EXPECT_EQ(charter().mcurCharge, charge);
        EXPECT_FALSE(charter().cboYacht->entries().contains(QStringLiteral("Zephyr")));
        EXPECT_EQ(waitingLines(), lines);
        press(Qt::Key_Escape);
    });
}

INSTANTIATE_TEST_SUITE_P(Overflow, RefusedCharter, testing::Values(
    RefusedCase{"hours_beyond_money", "1E15", 1, "number of hours"},
    RefusedCase{"hours_beyond_double", "1E400", 1, "number of hours"},
    RefusedCase{"charge_beyond_money", "1E13", 7, "charge"},
    RefusedCase{"revenue_beyond_money", "1676976733973.5", 7, "total revenue"}),
    [](const testing::TestParamInfo<RefusedCase> &row) { return std::string(row.param.label); });

TEST_F(CharterEntry, The32768thCharterIsRefusedWithNothingChanged)
{
    auto &totals = program().totals();
    for (int i = 0; i < 32766; ++i)
        totals.recordCharter(platform::Currency::fromInt16(1), platform::Currency::fromInt16(95));
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Last"), QStringLiteral("1"), QStringLiteral("Hobie"), 1);
        press(Qt::Key_Return);
        EXPECT_TRUE(m_boxes->boxes.empty());
        EXPECT_EQ(totals.charterCount(), 32767);

        enterCharter(QStringLiteral("One more"), QStringLiteral("1"), QStringLiteral("Hobie"), 1);
        press(Qt::Key_Return);
        ASSERT_EQ(m_boxes->boxes.size(), 1u);
        EXPECT_TRUE(m_boxes->boxes[0].prompt.contains(QStringLiteral("32,767")));
        EXPECT_EQ(totals.charterCount(), 32767);
        EXPECT_EQ(waitingLines().size(), 1);
        EXPECT_EQ(charter().txtName->text(), QStringLiteral("One more"));
        press(Qt::Key_Escape);
    });
}

} // namespace
