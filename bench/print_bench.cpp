// SPDX-License-Identifier: MIT
// print_bench N OUT.pdf
//
// Does the program's work for N charters, one after another as the clerk
// enters them (pricing, recording, formatting by the regional settings, the
// print statement into the print document), then ends the document the way
// the main window does, with the summary, rendered into OUT.pdf. Exits 0
// when the PDF was written.
#include "print_bench_data.h"

#include "printing/pdf_file_sender.h"
#include "printing/print_service.h"
#include "core/reports/layouts.h"

#include <QGuiApplication>

#include <charconv>
#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    int count = 0;
    if (argc != 3 || std::from_chars(argv[1], argv[1] + std::strlen(argv[1]), count).ec != std::errc()
        || count < 1 || count > 32767) {
        std::fprintf(stderr, "usage: %s N OUT.pdf   (N from 1 to 32767)\n", argc > 0 ? argv[0] : "print_bench");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    const platform::RegionalFormat format("en_US");
    accounting::RunningTotals totals;
    printing::PrintService printer(std::make_unique<printing::PdfFileSender>(QString::fromLocal8Bit(argv[2])));
    for (int i = 0; i < count; ++i) {
        const bench::Charter charter = bench::nextCharter(i, totals, format);
        printer.print(reports::charterLine(charter.name, charter.type, charter.size, charter.hoursText,
                                           charter.chargeText));
    }
    const auto figures = totals.summaryFigures(format);
    const printing::PrintOutcome outcome = printer.printAndEndDoc(
        reports::summary(figures.averageText, figures.revenueText), QStringLiteral("charters and summary"));
    if (!outcome) {
        std::fprintf(stderr, "the PDF could not be written to %s\n", argv[2]);
        return 1;
    }
    return 0;
}
