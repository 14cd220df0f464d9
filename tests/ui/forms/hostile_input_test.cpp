// SPDX-License-Identifier: MIT
// Odd and hostile input through the entry window, as a clerk could type or
// paste it: very long texts, control characters, right-to-left text,
// combining marks, emoji, CJK, multi-line pastes, and hours at the edges of
// the money range. Nothing may crash, nothing may reach the printer that the
// clerk did not see in the field (each control character becomes a blank in
// the field itself), every text keeps its column, and a refused entry
// changes nothing at all.
#include "clerk_fixture.h"

#include "../../printing/pdf_words.h"
#include "core/accounting/running_totals.h"
#include "ui/widgets/combo_box.h"
#include "printing/pdf_file_sender.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

using testing_support::ClerkTest;

namespace {

// What the clerk does with a text: types it key by key, pastes it, or has an
// input method commit it at once.
enum class Entry { Typed, Pasted, Committed };

struct Input {
    QString text;
    Entry how = Entry::Typed;
};

Input typed(const QString &text) { return {text, Entry::Typed}; }
Input pasted(const QString &text) { return {text, Entry::Pasted}; }
Input committed(const QString &text) { return {text, Entry::Committed}; }

bool isControl(QChar c)
{
    const auto category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

// How the field keeps a text, and so how it is listed and printed: each
// control character (and line or paragraph separator) is one blank, a
// carriage return and line feed together one line break.
QString inTheField(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    std::replace_if(text.begin(), text.end(), isControl, QLatin1Char(' '));
    return text;
}

bool hasControlCharacter(const QString &text) { return std::any_of(text.begin(), text.end(), isControl); }

// Everything a charter can change; a refused entry must leave all of it.
struct State {
    QString name, hours, yacht, size;
    int yachtIndex = -1, sizeIndex = -1;
    QStringList yachtTypes;
    std::int16_t count = 0;
    platform::Currency totalHours, totalRevenue, charge;
    QStringList waitingLines;
    bool printYachtTypesEnabled = false;
    bool operator==(const State &) const = default;
};

void PrintTo(const State &s, std::ostream *out)
{
    *out << "fields [" << s.name.size() << " chars|" << s.hours.toStdString() << '|' << s.yacht.toStdString() << '('
         << s.yachtIndex << ")|" << s.size.toStdString() << '(' << s.sizeIndex << ")] " << s.yachtTypes.size()
         << " types, " << s.count << " charters, hours " << s.totalHours.toDecimalString() << ", revenue "
         << s.totalRevenue.toDecimalString() << ", charge " << s.charge.toDecimalString() << ", "
         << s.waitingLines.size() << " lines waiting, Print Yacht Types " << s.printYachtTypesEnabled;
}

class HostileInput : public ClerkTest {
protected:
    State state()
    {
        const auto &totals = program().totals();
        const auto &f = charter();
        return {f.txtName->text(),    f.txtHours->text(),       f.cboYacht->text(),
                f.cboSize->text(),    f.cboYacht->listIndex(),  f.cboSize->listIndex(),
                f.cboYacht->entries(), totals.charterCount(), totals.totalHours(),
                totals.totalRevenue(), f.mcurCharge,        waitingLines(),
                main().mnuFilePrintYachtType->isEnabled()};
    }

    // The widget that takes text where the focus is: an editable list's
    // line edit, or the field itself.
    static QWidget *textTarget()
    {
        QWidget *widget = QApplication::focusWidget();
        if (auto *list = qobject_cast<QComboBox *>(widget); list != nullptr && list->lineEdit() != nullptr)
            return list->lineEdit();
        return widget;
    }

    // Key by key, each character (a surrogate pair as one) as the text of a
    // key event, the way a keyboard layout delivers it. Texts of thousands
    // of characters go in 100 at a time, as an input method commits a
    // phrase: a line edit redraws its whole text after every key.
    static void typeCharacters(const QString &text)
    {
        QWidget *target = textTarget();
        ASSERT_NE(target, nullptr);
        const bool phrases = text.size() > 1000;
        for (qsizetype i = 0; i < text.size(); ++i) {
            qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            if (phrases)
                length = std::min<qsizetype>(100, text.size() - i);
            const QString character = text.mid(i, length);
            i += length - 1;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
            QApplication::sendEvent(target, &press);
            QApplication::sendEvent(target, &release);
        }
    }

    void enterText(const Input &input)
    {
        if (input.how == Entry::Pasted) {
            QGuiApplication::clipboard()->setText(input.text);
            press(Qt::Key_V, Qt::ControlModifier);
        } else if (input.how == Entry::Committed) {
            QInputMethodEvent commit;
            commit.setCommitString(input.text);
            QApplication::sendEvent(textTarget(), &commit);
        } else {
            typeCharacters(input.text);
        }
    }

    // Fills the four fields by keyboard and checks that each holds what the
    // clerk entered, so that every case tests what it says.
    void enter(const Input &name, const Input &hours, const Input &yacht, int sizeSteps)
    {
        press(Qt::Key_N, Qt::AltModifier);
        enterText(name);
        press(Qt::Key_H, Qt::AltModifier);
        enterText(hours);
        press(Qt::Key_Y, Qt::AltModifier);
        enterText(yacht);
        press(Qt::Key_S, Qt::AltModifier);
        for (int step = 0; step < sizeSteps; ++step)
            press(Qt::Key_Down);
        EXPECT_EQ(charter().txtName->text(), inTheField(name.text.left(charter().txtName->maxLength())));
        EXPECT_EQ(charter().txtHours->text(), inTheField(hours.text));
        EXPECT_EQ(charter().cboYacht->text(), inTheField(yacht.text));
        EXPECT_EQ(charter().cboYacht->listIndex(), -1);
    }
};

// Every run of the document, line after line.
std::vector<reports::PrintRun> allRuns(const reports::PrintDocument &document)
{
    std::vector<reports::PrintRun> runs;
    for (const auto &line : document.lines())
        runs.insert(runs.end(), line.runs.begin(), line.runs.end());
    return runs;
}

// A text of `length` characters, letters and digits only.
QString plainText(int length, const char *alphabet = "Abcdefghij0123456789")
{
    const QString letters = QString::fromLatin1(alphabet);
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text += letters[i % letters.size()];
    return text;
}

struct AcceptedCase {
    const char *label;
    Input name, hours, yacht;
    int sizeSteps;
    const char *hoursText;  // as printed
    const char *chargeText; // as printed
    // Letters, digits, punctuation and precomposed accents only: one
    // character to a column on paper too, so the line is checked as text.
    bool plain;
};

void PrintTo(const AcceptedCase &c, std::ostream *out) { *out << c.label; }

class AcceptedHostileInput : public HostileInput, public testing::WithParamInterface<AcceptedCase> {};

TEST_P(AcceptedHostileInput, IsPrintedAsTypedInItsColumns)
{
    const AcceptedCase &c = GetParam();
    inCharterWindow([&] {
        enter(c.name, c.hours, c.yacht, c.sizeSteps);
        press(Qt::Key_Return);
        ASSERT_TRUE(m_boxes->boxes.empty()) << m_boxes->boxes[0].prompt.toStdString();
        press(Qt::Key_Escape);
    });

    const auto &document = printer().document();
    const auto runs = allRuns(document);
    const QString hoursText = QString::fromUtf8(c.hoursText);
    const QString chargeText = QString::fromUtf8(c.chargeText);
    const auto size = static_cast<std::int16_t>(charter().cboSize->entries()[c.sizeSteps - 1].toInt());

    // The texts, in order, exactly as the fields showed them.
    QStringList texts;
    for (const auto &run : runs)
        texts.append(run.text);
    // A paste longer than the field holds is cut at the field's limit.
    const QString name = c.name.text.left(charter().txtName->maxLength());
    QStringList expected;
    if (!name.isEmpty())
        expected.append(inTheField(name));
    expected << inTheField(c.yacht.text) << QStringLiteral(" %1 ").arg(size) << hoursText << chargeText;
    EXPECT_EQ(texts, expected);

    // Each in its column; the column rules move a text down a line when the
    // one before runs past its column, never on top of it.
    ASSERT_EQ(runs.size(), static_cast<std::size_t>(expected.size()));
    const int columns[] = {5, 30, 45, 60 - static_cast<int>(hoursText.size()), 75 - static_cast<int>(chargeText.size())};
    const int first = c.name.text.isEmpty() ? 1 : 0;
    for (std::size_t i = 0; i < runs.size(); ++i)
        EXPECT_EQ(runs[i].column, columns[first + static_cast<int>(i)]) << texts[static_cast<qsizetype>(i)].toStdString();
    for (const auto &line : document.lines()) {
        for (std::size_t i = 1; i < line.runs.size(); ++i)
            EXPECT_LE(line.runs[i - 1].endColumn(), line.runs[i].column);
    }

    if (c.plain) {
        // One character to a column: the lines as the column rule lays them
        // out, each text at its column, or at that column of the next line
        // when the text before it ran past the column.
        QStringList lines{QString()};
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const int column = columns[first + static_cast<int>(i)];
            if (lines.back().size() + 1 > column)
                lines.append(QString());
            lines.back() += QString(column - 1 - lines.back().size(), QLatin1Char(' ')) + expected[i];
        }
        EXPECT_EQ(waitingLines(), lines);
    }

    EXPECT_EQ(program().totals().charterCount(), 1);
    EXPECT_TRUE(charter().cboYacht->entries().contains(inTheField(c.yacht.text)))
        << "the typed type joins the list as the field showed it";
    EXPECT_TRUE(charter().txtName->text().isEmpty());
}

const QString k10000 = plainText(10000);

INSTANTIATE_TEST_SUITE_P(Table, AcceptedHostileInput, testing::Values(
    AcceptedCase{"name_of_10000_characters_typed", typed(k10000), typed("2.5"), typed("Zephyr"), 2,
                 "2.5", "$342.50", true},
    AcceptedCase{"name_of_10000_characters_pasted", pasted(k10000), typed("2.5"), typed("Zephyr"), 2,
                 "2.5", "$342.50", true},
    AcceptedCase{"name_pasted_beyond_the_field_limit", pasted(plainText(40000)), typed("2.5"), typed("Zephyr"), 2,
                 "2.5", "$342.50", true},
    AcceptedCase{"type_of_10000_characters_pasted", typed("Long"), typed("2.5"), pasted(k10000), 2,
                 "2.5", "$342.50", true},
    AcceptedCase{"accented_latin", typed("Ørsted-Müller"), typed("3"), typed("Océanis"), 1,
                 "3.0", "$285.00", true},
    AcceptedCase{"greek_and_cyrillic", typed("Δημήτρης"), typed("1"), typed("Яхта"), 7, "1.0", "$550.00", true},
    AcceptedCase{"type_of_one_blank", typed("Lee"), typed("4"), typed(" "), 1, "4.0", "$380.00", true},
    AcceptedCase{"type_of_16_characters", typed("Jones"), typed("4"), typed("Hallberg-Rassy 4"), 7,
                 "4.0", "$2,200.00", true},
    AcceptedCase{"hex_hours_at_32_bits", typed("Hex"), typed("&HFFFFFFFF"), typed("Ranger 33"), 1,
                 "4,294,967,295.0", "$408,021,893,025.00", true},
    AcceptedCase{"largest_hours_the_charge_allows", typed("Max"), typed("9708812670373.4"), typed("Dinghy"), 1,
                 "9,708,812,670,373.4", "$922,337,203,685,473.04", true},
    AcceptedCase{"full_width_hours_from_an_input_method", typed("Yamada"), committed("２．５"), typed("Hobie"), 2,
                 "2.5", "$342.50", true},
    AcceptedCase{"full_width_hours_typed", typed("Sato"), typed("３"), typed("Hobie"), 1, "3.0", "$285.00", true},
    AcceptedCase{"hours_pasted_over_two_lines", typed("Two"), pasted("2\n5"), typed("Sloop"), 1,
                 "25.0", "$2,375.00", true},
    AcceptedCase{"hours_pasted_with_a_windows_line_end", typed("Crlf"), pasted("2\r\n5"), typed("Sloop"), 1,
                 "25.0", "$2,375.00", true},
    AcceptedCase{"tabs_and_control_characters_pasted", pasted("A\tB\x01" "C\x7f" "D\u0085E\u2028F\x1b[2J"),
                 typed("2"), pasted("Ho\tbie\a"), 1, "2.0", "$190.00", true},
    AcceptedCase{"multi_line_text_pasted", pasted("Jones\nSmith\r\nBrown\n"), typed("1"),
                 pasted("Hobie\nRanger"), 1, "1.0", "$95.00", true},
    AcceptedCase{"right_to_left", typed("שלום עולם"), typed("2"), typed("مركب شراعي"), 1, "2.0", "$190.00", false},
    AcceptedCase{"bidi_override", typed("abc\u202Edef\u202C"), typed("2"), typed("\u2067Hobie\u2069"), 1,
                 "2.0", "$190.00", false},
    AcceptedCase{"combining_marks", typed("Zoe\u0308 Cafe\u0301 Z\u0336\u0301\u0327"), typed("2"),
                 typed("A\u030A\u0323lborg"), 1, "2.0", "$190.00", false},
    AcceptedCase{"emoji", typed("Sailor \U0001F600\u26F5\U0001F3F4\u200D\u2620\uFE0F"), typed("2"),
                 typed("\U0001F6A4 Speed"), 1, "2.0", "$190.00", false},
    AcceptedCase{"cjk", typed("山田太郎"), typed("2"), typed("帆船ヨット"), 1, "2.0", "$190.00", false}),
    [](const testing::TestParamInfo<AcceptedCase> &row) { return std::string(row.param.label); });

// Typed text, the cursor put at a place, then a text pasted or committed
// there: each control character becomes one blank in the field's own text at
// once, and the cursor stays after what it was after.
TEST_F(HostileInput, ControlCharactersBecomeOneBlankEachInTheFieldItself)
{
    struct Row { const char *field, *before; int cursor; Input input; const char *shown; int cursorAfter; };
    const Row rows[] = {
        {"txtName", "", 0, pasted("Mary\nSmith\tJr"), "Mary Smith Jr", 13},
        {"txtName", "", 0, pasted("Mary\r\nSmith"), "Mary Smith", 10}, // one line break
        {"txtName", "", 0, pasted("a\t\tb\n\rc\n\nd"), "a  b  c  d", 10},
        {"txtName", "MaryJr", 4, pasted("\r\nSmith\t"), "Mary Smith Jr", 11},
        {"txtHours", "", 0, pasted("1\x01" "2\x1f" "3\x7f" "4\u0085" "5\u009f" "6\u2028" "7\u2029" "8"),
         "1 2 3 4 5 6 7 8", 15},
        {"cboYacht", "Ho", 2, committed("\tbie\r"), "Ho bie ", 7}};
    inCharterWindow([&] {
        for (const Row &row : rows) {
            charter().findChild<QWidget *>(QString::fromUtf8(row.field))->setFocus();
            auto *field = qobject_cast<QLineEdit *>(textTarget());
            field->clear();
            typeCharacters(QString::fromUtf8(row.before));
            field->setCursorPosition(row.cursor);
            enterText(row.input);
            EXPECT_EQ(field->text(), QString::fromUtf8(row.shown));
            EXPECT_EQ(field->displayText(), field->text()) << "the screen shows the field's text";
            EXPECT_EQ(field->cursorPosition(), row.cursorAfter) << row.shown;
        }
        press(Qt::Key_Escape);
    });
}

struct RefusedCase {
    const char *label;
    Input hours;
    const char *message;   // contained in the one box shown
    const char *title;
};

void PrintTo(const RefusedCase &c, std::ostream *out) { *out << c.label; }

class RefusedHostileInput : public HostileInput, public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedHostileInput, ShowsOneMessageAndChangesNothing)
{
    const RefusedCase &c = GetParam();
    inCharterWindow([&] {
        // One accepted charter first, so that there is state to keep.
        enter(typed("First"), typed("2.5"), typed("Zephyr"), 2);
        press(Qt::Key_Return);
        ASSERT_EQ(program().totals().charterCount(), 1);

        enter(pasted("Second\tline\n"), c.hours, pasted("Yawl\x01"), 7);
        const State before = state();
        press(Qt::Key_Return);

        ASSERT_EQ(m_boxes->boxes.size(), 1u);
        EXPECT_TRUE(m_boxes->boxes[0].prompt.contains(QString::fromUtf8(c.message)))
            << m_boxes->boxes[0].prompt.toStdString();
        EXPECT_EQ(m_boxes->boxes[0].title, QString::fromUtf8(c.title));
        EXPECT_EQ(state(), before);
        EXPECT_EQ(focus(), charter().txtHours);

        // Pressing Enter again refuses again, still changing nothing.
        press(Qt::Key_Return);
        EXPECT_EQ(m_boxes->boxes.size(), 2u);
        EXPECT_EQ(state(), before);
        press(Qt::Key_Escape);
    });
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedHostileInput, testing::Values(
    RefusedCase{"largest_currency", typed("922337203685477.5807"), "number of hours", "Selvaro's Yachts"},
    RefusedCase{"one_step_past_the_largest_currency", typed("922337203685477.5808"), "number of hours",
                "Selvaro's Yachts"},
    RefusedCase{"largest_whole_currency", typed("922337203685477"), "charge", "Selvaro's Yachts"},
    RefusedCase{"largest_hours_and_one_step_more", typed("9708812670373.5"), "charge", "Selvaro's Yachts"},
    RefusedCase{"smallest_currency", typed("-922337203685477.5808"), "Please enter the number of hours",
                "Missing Data"},
    RefusedCase{"minus_zero", typed("-0"), "Please enter the number of hours", "Missing Data"},
    RefusedCase{"huge_double", typed("1D308"), "number of hours", "Selvaro's Yachts"},
    RefusedCase{"beyond_double", typed("1E309"), "number of hours", "Selvaro's Yachts"},
    RefusedCase{"below_the_smallest_double", typed("1E-400"), "Please enter the number of hours", "Missing Data"},
    RefusedCase{"exponent_at_the_64_bit_limit", typed("1E9223372036854775807"), "number of hours",
                "Selvaro's Yachts"},
    RefusedCase{"hex_beyond_64_bits", typed("&H10000000000000000"), "number of hours", "Selvaro's Yachts"},
    RefusedCase{"pasted_control_characters_only", pasted("\x01\x02\r\n"), "Please enter the number of hours",
                "Missing Data"},
    RefusedCase{"arabic_indic_digits", typed("٢٫٥"), "Please enter the number of hours", "Missing Data"},
    RefusedCase{"devanagari_digits", committed("३"), "Please enter the number of hours", "Missing Data"},
    RefusedCase{"10000_digits", pasted(plainText(10000, "9")), "number of hours", "Selvaro's Yachts"}),
    [](const testing::TestParamInfo<RefusedCase> &row) { return std::string(row.param.label); });

// Every odd charter of a day on paper: rendered through the program's own
// renderer into a PDF and read back, with the summary after them.
TEST_F(HostileInput, ADayOfOddChartersRendersToPaperWithoutControlCharacters)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString pdf = folder.filePath(QStringLiteral("day.pdf"));
    printer().setSender(std::make_unique<printing::PdfFileSender>(pdf));

    const std::vector<std::pair<Input, Input>> charters = {
        {pasted(k10000), typed("Zephyr")},
        {pasted("A\tB\x01" "C\x7f" "D\u0085E\u2028F\x1b[2J"), pasted("Ho\tbie\a")},
        {pasted("Jones\nSmith\r\nBrown\n"), pasted("Hobie\nRanger")},
        {typed("שלום עולם"), typed("مركب شراعي")},
        {typed("Zoe\u0308 Cafe\u0301"), typed("A\u030A\u0323lborg")},
        {typed("Sailor \U0001F600\u26F5"), typed("\U0001F6A4 Speed")},
        {typed("山田太郎"), typed("帆船ヨット")},
        {typed("Ørsted-Müller"), typed(" ")},
    };
    inCharterWindow([&] {
        for (const auto &[name, yacht] : charters) {
            enter(name, typed("2"), yacht, 1);
            press(Qt::Key_Return);
        }
        press(Qt::Key_Escape);
    });
    ASSERT_TRUE(m_boxes->boxes.empty()) << m_boxes->boxes[0].prompt.toStdString();
    const auto document = printer().document();
    for (const auto &line : document.lines()) {
        for (const auto &run : line.runs)
            EXPECT_FALSE(hasControlCharacter(run.text)) << run.text.toStdString();
    }

    chooseMenu(main(), 'F', 'P');
    ASSERT_TRUE(m_boxes->boxes.empty()) << m_boxes->boxes[0].prompt.toStdString();
    EXPECT_TRUE(printer().document().isEmpty()) << "the document went out";

    QString error;
    const auto pages = testing_pdf::readWords(pdf, &error);
    ASSERT_FALSE(pages.empty()) << error.toStdString();
    QString words;
    for (const auto &page : pages) {
        for (const auto &word : page.words) {
            EXPECT_FALSE(hasControlCharacter(word.text)) << word.text.toStdString();
            words += word.text + QLatin1Char(' ');
        }
    }
    // The long name goes on row after row rather than being cut off.
    QString longName;
    for (const auto &page : pages) {
        for (const auto &word : page.words) {
            if (word.text.startsWith(QLatin1String("Abcdefghij")) || (!longName.isEmpty() && longName.size() < 10000 &&
                                                                       k10000.mid(longName.size()).startsWith(word.text)))
                longName += word.text;
        }
    }
    EXPECT_EQ(longName, k10000);
    for (const char *expected : {"Ørsted-Müller", "Zephyr", "Jones", "Smith", "Brown", "$190.00", "Total",
                                 "Revenue:"}) {
        EXPECT_TRUE(words.contains(QString::fromUtf8(expected))) << expected;
    }

    // The typed types are now in the list, as their fields showed them.
    chooseMenu(main(), 'F', 'Y');
    ASSERT_TRUE(m_boxes->boxes.empty()) << m_boxes->boxes[0].prompt.toStdString();
    const auto listPages = testing_pdf::readWords(pdf, &error);
    ASSERT_FALSE(listPages.empty()) << error.toStdString();
    QString listWords;
    for (const auto &page : listPages) {
        for (const auto &word : page.words) {
            EXPECT_FALSE(hasControlCharacter(word.text)) << word.text.toStdString();
            listWords += word.text + QLatin1Char(' ');
        }
    }
    for (const char *expected : {"Yacht", "List", "Zephyr", "Catalina", "WaveLength", "Ranger"})
        EXPECT_TRUE(listWords.contains(QString::fromUtf8(expected))) << expected;
}

} // namespace
