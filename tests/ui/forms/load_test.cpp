// SPDX-License-Identifier: MIT
// A day at the limit: 32,767 charters through the entry window's real
// acceptance (fields filled, Enter pressed, cmdOK_Click doing the rest),
// with varied names, hours, sizes, picked and typed yacht types. The totals
// must equal a sum worked out here to the ten-thousandth, the 32,768th
// charter must be refused with its message and change nothing, and the
// whole document with the summary must come out of the renderer as a PDF
// with every line on it.
#include "clerk_fixture.h"

#include "../../printing/pdf_words.h"
#include "core/accounting/running_totals.h"
#include "ui/widgets/combo_box.h"
#include "printing/pdf_file_sender.h"
#include "core/platform/regional_format.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <iostream>
#include <set>

using testing_support::ClerkTest;

namespace {

__extension__ typedef __int128 i128;

constexpr int kCharters = 32767;

// The rate table as the price list on the wall gives it, in the order of
// the size list (22, 24, 30, 32, 36, 38, 45 feet).
constexpr std::array<std::int64_t, 7> kRates = {95, 137, 160, 192, 250, 400, 550};

const char *const kSurnames[] = {"Jones", "Ng", "Okonkwo-Whitfield", "Lee", "Martinez", "Abernathy", "Ito",
                                 "Van der Berg", "Smith", "Oyelaran"};

struct Charter {
    QString name;
    QString hours;       // as typed
    std::int64_t units;  // the hours in ten-thousandths, worked out here
    int sizeIndex;       // in the size list
    QString typedType;   // empty: an entry of the list is picked
    int pickedIndex;
};

// Charter i of the day: hours from 0.0001 to 100 with 0 to 4 decimals,
// sometimes with blanks around them or a unit after them (the reader takes
// the leading number); every size; a third of the types typed.
Charter charterNumber(int i)
{
    Charter c;
    c.name = QStringLiteral("%1 %2").arg(QString::fromLatin1(kSurnames[i % 10])).arg(i + 1);
    c.units = 1 + static_cast<std::int64_t>((static_cast<std::uint64_t>(i) * 2654435761U) % 1000000U);
    QString text = QStringLiteral("%1.%2").arg(c.units / 10000).arg(c.units % 10000, 4, 10, QLatin1Char('0'));
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (i % 5 == 0)
        text += QStringLiteral(" h");
    if (i % 7 == 0)
        text = QStringLiteral("  ") + text;
    c.hours = text;
    c.sizeIndex = (i / 3) % 7;
    if (i % 3 == 0)
        c.typedType = QStringLiteral("Type %1").arg(i % 97);
    c.pickedIndex = i;
    return c;
}

class Load : public ClerkTest {
protected:
    void fill(const Charter &c)
    {
        auto &f = charter();
        f.txtName->setText(c.name);
        f.txtHours->setText(c.hours);
        if (c.typedType.isEmpty())
            f.cboYacht->setListIndex(c.pickedIndex % f.cboYacht->listCount());
        else
            f.cboYacht->setText(c.typedType);
        f.cboSize->setListIndex(c.sizeIndex);
        f.txtName->setFocus();
    }
};

struct Snapshot {
    QString name, hours, yacht, size;
    int yachtIndex, sizeIndex;
    QStringList yachtTypes;
    std::int16_t count;
    platform::Currency totalHours, totalRevenue, charge;
    QStringList waitingLines;
    bool printYachtTypesEnabled;
    bool operator==(const Snapshot &) const = default;
};

void PrintTo(const Snapshot &s, std::ostream *out)
{
    *out << s.count << " charters, hours " << s.totalHours.toDecimalString() << ", revenue "
         << s.totalRevenue.toDecimalString() << ", " << s.waitingLines.size() << " lines, " << s.yachtTypes.size()
         << " types";
}

TEST_F(Load, ADayOf32767ChartersAddsUpExactlyRefusesTheNextAndPrintsEveryLine)
{
    QElapsedTimer clock;
    clock.start();
    i128 expectedHours = 0;
    i128 expectedRevenue = 0;
    int typed = 0;
    inCharterWindow([&] {
        auto &f = charter();
        for (int i = 0; i < kCharters; ++i) {
            const Charter c = charterNumber(i);
            fill(c);
            press(Qt::Key_Return);
            expectedHours += c.units;
            expectedRevenue += static_cast<i128>(c.units) * kRates[static_cast<std::size_t>(c.sizeIndex)];
            typed += c.typedType.isEmpty() ? 0 : 1;
            if (!m_boxes->boxes.empty() || !f.txtName->text().isEmpty()) {
                ADD_FAILURE() << "charter " << i + 1 << " was not accepted: "
                              << (m_boxes->boxes.empty() ? "" : m_boxes->boxes.back().prompt.toStdString());
                break;
            }
        }
        const auto entered = clock.elapsed();
        std::cout << "[ figures  ] " << kCharters << " charters accepted in " << entered << " ms ("
                  << entered * 1000 / kCharters << " us each, " << f.cboYacht->listCount() << " yacht types)\n";

        const auto &totals = program().totals();
        ASSERT_EQ(totals.charterCount(), kCharters);
        EXPECT_EQ(totals.totalHours().tenThousandths(), static_cast<std::int64_t>(expectedHours));
        EXPECT_EQ(totals.totalRevenue().tenThousandths(), static_cast<std::int64_t>(expectedRevenue));
        EXPECT_EQ(f.cboYacht->listCount(), 8 + typed) << "each typed type joins the list";
        std::cout << "[ figures  ] total hours " << totals.totalHours().toDecimalString() << ", total revenue "
                  << totals.totalRevenue().toDecimalString() << "\n";

        // One line per charter, the last one as the clerk entered it.
        const auto &document = printer().document();
        ASSERT_EQ(document.lineCount(), static_cast<std::size_t>(kCharters));
        const Charter last = charterNumber(kCharters - 1);
        const reports::PrintLine lastLine = document.line(document.lineCount() - 1);
        EXPECT_EQ(lastLine.runs.front().text, last.name);
        EXPECT_EQ(lastLine.runs.front().column, 5);

        // The 32,768th: refused with its message, nothing changed.
        fill(charterNumber(kCharters));
        const auto snapshot = [&] {
            return Snapshot{f.txtName->text(),  f.txtHours->text(),          f.cboYacht->text(),
                            f.cboSize->text(),  f.cboYacht->listIndex(),     f.cboSize->listIndex(),
                            f.cboYacht->entries(), totals.charterCount(), totals.totalHours(),
                            totals.totalRevenue(), f.mcurCharge,         waitingLines(),
                            main().mnuFilePrintYachtType->isEnabled()};
        };
        const Snapshot before = snapshot();
        press(Qt::Key_Return);
        ASSERT_EQ(m_boxes->boxes.size(), 1u);
        EXPECT_EQ(m_boxes->boxes[0].prompt,
                  QStringLiteral("This charter was not accepted: no more than 32,767 charters can be recorded "
                                 "while the program runs.\n\nNothing was changed."));
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(focus(), f.txtHours);
        press(Qt::Key_Escape);
    });
    if (HasFatalFailure())
        return;

    // The document and the summary, through the renderer into a PDF.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString pdf = folder.filePath(QStringLiteral("day.pdf"));
    printer().setSender(std::make_unique<printing::PdfFileSender>(pdf));
    clock.restart();
    chooseMenu(main(), 'F', 'P');
    const auto rendered = clock.elapsed();
    ASSERT_EQ(m_boxes->boxes.size(), 1u) << m_boxes->boxes.back().prompt.toStdString();
    EXPECT_TRUE(printer().document().isEmpty()) << "the document did not go out";

    QProcess pdftotext;
    clock.restart();
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(120000)) << "pdftotext (poppler-utils) did not run";
    const QStringList text = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\n'));
    std::cout << "[ figures  ] summary and document rendered to PDF in " << rendered << " ms ("
              << QFileInfo(pdf).size() / 1024 << " KiB), read back in " << clock.elapsed() << " ms\n";

    // Every charter exactly once, each line whole: name, type, size, hours
    // and a charge.
    const QRegularExpression line(
        QStringLiteral(R"(^\s*([A-Z][A-Za-z -]*? \d+)\s.*\s(\d+)\s+([\d,]+\.\d)\s+\$[\d,]+\.\d\d$)"));
    std::set<QString> names;
    int charterLines = 0;
    for (const QString &row : text) {
        const auto match = line.match(row);
        if (!match.hasMatch())
            continue;
        ++charterLines;
        names.insert(match.captured(1));
    }
    EXPECT_EQ(charterLines, kCharters);
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kCharters));
    EXPECT_EQ(names.count(charterNumber(0).name), 1u);
    EXPECT_EQ(names.count(charterNumber(kCharters - 1).name), 1u);

    const auto summary = program().totals().summaryFigures(program().format());
    EXPECT_EQ(text.filter(QStringLiteral("Average Hours Chartered: ") + summary.averageText).size(), 1);
    EXPECT_EQ(text.filter(QStringLiteral("Total Revenue: ") + summary.revenueText).size(), 1);
}

} // namespace
