// SPDX-License-Identifier: MIT
// What printing costs.
//
// ProgramPath: the program's whole road for a day of N charters: a print
//   statement per charter, the print document, the summary ending it, the
//   page renderer and the PDF writer.
// BareQPainter: the least any program could do for the same pages: a
//   QPainter loop that draws the same fields with the same font, columns,
//   pushes to the next row and pagination straight into a PDF.
// AppendLine: adding a line to a long waiting document; constant time, and
//   the printer is never asked.
#include "print_bench_data.h"

#include "printing/pdf_file_sender.h"
#include "printing/print_service.h"
#include "core/reports/layouts.h"
#include "printing/page_renderer.h"

#include <benchmark/benchmark.h>

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cmath>
#include <map>

namespace {

const bench::Day &dayOf(int count)
{
    static std::map<int, bench::Day> days;
    auto found = days.find(count);
    if (found == days.end())
        found = days.emplace(count, bench::makeDay(count)).first;
    return found->second;
}

QString pdfPath()
{
    static QTemporaryDir dir;
    return dir.filePath(QStringLiteral("bench.pdf"));
}

void ProgramPath(benchmark::State &state)
{
    const bench::Day &day = dayOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        printing::PrintService printer(std::make_unique<printing::PdfFileSender>(pdfPath()));
        for (const bench::Charter &charter : day.charters)
            printer.print(reports::charterLine(charter.name, charter.type, charter.size, charter.hoursText,
                                               charter.chargeText));
        if (!printer.printAndEndDoc(reports::summary(day.averageText, day.revenueText), QStringLiteral("charters and summary")))
            state.SkipWithError("the PDF was not written");
    }
    state.SetComplexityN(state.range(0));

    // The pages it printed, to set beside the baseline's (not timed).
    reports::PrintDocument document;
    for (const bench::Charter &charter : day.charters)
        document.print(reports::charterLine(charter.name, charter.type, charter.size, charter.hoursText,
                                            charter.chargeText));
    for (const auto &statement : reports::summary(day.averageText, day.revenueText))
        document.print(statement);
    QPdfWriter writer(pdfPath());
    printing::preparePage(writer);
    state.counters["pages"] = printing::PageRenderer(writer).pageCount(document);
}

void BareQPainter(benchmark::State &state)
{
    const bench::Day &day = dayOf(static_cast<int>(state.range(0)));
    int pages = 0;
    for (auto _ : state) {
        QPdfWriter writer(pdfPath());
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSizeF(10);
        QPainter painter(&writer);
        painter.setFont(font);
        const QFontMetricsF metrics(font, &writer);
        const double advance = metrics.horizontalAdvance(QLatin1Char('0'));
        const double lineHeight = metrics.lineSpacing();
        const int rows = static_cast<int>(std::floor(writer.height() / lineHeight));
        int row = 0;
        pages = 1;
        const auto nextRow = [&] {
            if (row == rows) {
                writer.newPage();
                ++pages;
                row = 0;
            }
            return row++ * lineHeight + metrics.ascent();
        };
        const auto at = [&](int column) { return (column - 1) * advance; };

        for (const bench::Charter &charter : day.charters) {
            // A field that would start left of where the last one ended goes
            // to the next row, as on the program's lines.
            double y = nextRow();
            int column = 1;
            const auto field = [&](int start, int textColumn, const QString &text) {
                if (column > start)
                    y = nextRow();
                painter.drawText(QPointF(at(textColumn), y), text);
                column = textColumn + static_cast<int>(text.size());
            };
            field(5, 5, charter.name);
            field(30, 30, charter.type);
            field(45, 46, QString::number(charter.size));
            ++column; // the blank after the size
            const int hoursColumn = 60 - static_cast<int>(charter.hoursText.size());
            field(hoursColumn, hoursColumn, charter.hoursText);
            const int chargeColumn = 75 - static_cast<int>(charter.chargeText.size());
            field(chargeColumn, chargeColumn, charter.chargeText);
        }
        nextRow();
        painter.drawText(QPointF(at(15), nextRow()), QStringLiteral("Average Hours Chartered: ") + day.averageText);
        painter.drawText(QPointF(at(15), nextRow()), QStringLiteral("Total Revenue: ") + day.revenueText);
        if (!painter.end())
            state.SkipWithError("the PDF was not written");
    }
    state.SetComplexityN(state.range(0));
    state.counters["pages"] = pages;
}

// Sends nothing: counts how often the printer would have been asked.
class CountingSender final : public printing::DocumentSender {
public:
    explicit CountingSender(int &sends) : m_sends(sends) {}
    printing::Delivery send(const reports::PrintDocument &, const QString &, printing::PrintWatcher *) override
    {
        ++m_sends;
        return printing::Delivery::Printed;
    }

private:
    int &m_sends;
};

void AppendLine(benchmark::State &state)
{
    int sends = 0;
    printing::PrintService printer(std::make_unique<CountingSender>(sends));
    const auto line = reports::charterLine(QStringLiteral("Jones"), QStringLiteral("Hobie"), 24,
                                           QStringLiteral("2.5"), QStringLiteral("$342.50"));
    for (std::int64_t i = 0; i < state.range(0); ++i)
        printer.print(line);
    for (auto _ : state)
        printer.print(line);
    benchmark::DoNotOptimize(printer.document().lineCount());
    if (sends != 0)
        state.SkipWithError("appending a line asked the printer");
    state.SetComplexityN(state.range(0));
}

} // namespace

// Up to 32,767 charters, the most the totals count; sizes in steps of 4 so
// the growth can be fitted.
BENCHMARK(ProgramPath)->Arg(2048)->Arg(8192)->Arg(32767)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BareQPainter)->Arg(2048)->Arg(8192)->Arg(32767)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
// A fixed number of appends onto documents already holding 1 thousand to a
// quarter million lines; the cost per append must not depend on that size.
BENCHMARK(AppendLine)
    ->Arg(1 << 10)
    ->Arg(1 << 14)
    ->Arg(1 << 18)
    ->Iterations(200'000)
    ->Unit(benchmark::kNanosecond)
    ->Complexity(benchmark::o1);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
