// SPDX-License-Identifier: MIT
// Prints through the program's own printer service and default-printer
// sender to whatever CUPS_SERVER names, and checks each job the scheduler
// spooled. Run by cups_print_test.sh, which owns the private scheduler and
// hands this program a command to stop, start, reject and accept.
//
//   cups_print_driver SPOOL_DIR QUEUE CONTROL_COMMAND...
//
// Prints "ok ..." per check that held and "FAIL ..." per one that did not;
// exits 1 on the first failure.
#include "pdf_words.h"

#include "printing/print_service.h"
#include "core/reports/layouts.h"
#include "printing/page_renderer.h"
#include "ui/forms/clerk_words.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QThread>

#include <cups/cups.h>

#include <cstdio>
#include <cstdlib>

using reports::PrintDocument;
using testing_pdf::PlacedWord;

namespace {

QString g_spool;
QString g_queue;
QStringList g_control;

QString qs(const char *text) { return QString::fromUtf8(text); }

void check(bool condition, const QString &what, const QString &detail = {})
{
    if (condition) {
        std::printf("ok   %s\n", qPrintable(what));
        std::fflush(stdout);
        return;
    }
    std::printf("FAIL %s\n%s\n", qPrintable(what), qPrintable(detail));
    std::fflush(stdout);
    std::exit(1);
}

void control(const QString &action)
{
    QStringList arguments = g_control.mid(1);
    arguments << action;
    check(QProcess::execute(g_control.front(), arguments) == 0, QStringLiteral("scheduler: %1").arg(action));
}

// What the jobs are named, as the queue shows them.
const QString kJob = QStringLiteral("Selvaro's Yachts \u2013 test");

// The documents the scheduler keeps, oldest first (d00001-001, ...).
QStringList spooledJobs()
{
    return QDir(g_spool).entryList({QStringLiteral("d*-001")}, QDir::Files, QDir::Name);
}

QString describe(const std::vector<PlacedWord> &words)
{
    QString text;
    for (const auto &word : words)
        text += QStringLiteral("  page %1 row %2 column %3 %4\n")
                    .arg(word.page)
                    .arg(word.row)
                    .arg(word.column)
                    .arg(word.text);
    return text;
}

// The grid the sender lays on the default printer's pages.
testing_pdf::GridInPoints printerGrid()
{
    QPrinter printer(QPrinter::HighResolution);
    printing::preparePage(printer);
    return testing_pdf::gridOf(printer);
}

// Waits for the scheduler to hold `count` jobs, then checks that the newest
// one is exactly `expected`: every word at its column and row, once.
void checkNewestJob(int count, const PrintDocument &expected, const QString &what)
{
    QElapsedTimer clock;
    clock.start();
    while (spooledJobs().size() < count && clock.elapsed() < 10'000)
        QThread::msleep(50);
    const QStringList jobs = spooledJobs();
    check(jobs.size() == count, QStringLiteral("%1: the scheduler holds %2 job(s)").arg(what).arg(count),
          QStringLiteral("it holds %1").arg(jobs.size()));

    const QString file = QDir(g_spool).filePath(jobs.back());
    QString error;
    const auto pages = testing_pdf::readWords(file, &error);
    check(error.isEmpty() && !pages.empty(), QStringLiteral("%1: pdftotext reads %2").arg(what, jobs.back()), error);

    const auto grid = printerGrid();
    const auto words = testing_pdf::placeWords(pages, grid);
    const auto wanted = testing_pdf::expectedWords(expected, grid.rows);
    check(testing_pdf::offGrid(words).isEmpty(), QStringLiteral("%1: every word on the column grid").arg(what),
          testing_pdf::offGrid(words));
    check(words == wanted, QStringLiteral("%1: every line at its columns, once").arg(what),
          QStringLiteral("printed:\n%1expected:\n%2").arg(describe(words), describe(wanted)));

    // The job carries the program's title as its name.
    cups_job_t *queueJobs = nullptr;
    const int jobCount = cupsGetJobs(&queueJobs, g_queue.toLocal8Bit().constData(), 0, CUPS_WHICHJOBS_ALL);
    QString title;
    for (int i = 0; i < jobCount; ++i)
        if (queueJobs[i].id == jobs.back().mid(1, 5).toInt())
            title = QString::fromUtf8(queueJobs[i].title);
    cupsFreeJobs(jobCount, queueJobs);
    check(title == kJob, QStringLiteral("%1: the job is named \"%2\"").arg(what, kJob),
          QStringLiteral("it is named \"%1\"").arg(title));
}

PrintDocument with(PrintDocument document, const std::vector<reports::PrintStatement> &statements)
{
    for (const auto &statement : statements)
        document.print(statement);
    return document;
}

std::vector<QString> plainLines(const PrintDocument &document)
{
    std::vector<QString> lines;
    for (const auto &line : document.lines())
        lines.push_back(line.plainText());
    return lines;
}

reports::PrintStatement charter(const char *name, const char *type, std::int16_t size, const char *hours,
                                const char *charge)
{
    return reports::charterLine(qs(name), qs(type), size, qs(hours), qs(charge));
}

// The clerk's words for why a document did not go out.
QString cause(const printing::PrintOutcome &outcome)
{
    return outcome ? QString() : forms::words::printerFaultCause(*outcome.error);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s SPOOL_DIR QUEUE CONTROL_COMMAND...\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    g_spool = QString::fromLocal8Bit(argv[1]);
    g_queue = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i)
        g_control << QString::fromLocal8Bit(argv[i]);

    check(QPrinterInfo::defaultPrinterName() == g_queue,
          QStringLiteral("the default printer is the private queue %1").arg(g_queue),
          QStringLiteral("it is \"%1\"").arg(QPrinterInfo::defaultPrinterName()));

    printing::PrintService printer;
    const auto summary = reports::summary(qs("34.5"), qs("$6,742.50"));

    // 1. Charters pile up, the summary sends them as one job.
    printer.print(charter("Jones", "Hobie", 24, "2.5", "$342.50"));
    printer.print(charter("Abcdefghijklmnopqrstuvwxyz", "Hans Christian 2", 45, "100.0", "$55,000.00"));
    printer.print(charter("Ørsted", "C & C", 22, "4.0", "$380.00"));
    PrintDocument expected = with(printer.document(), summary);
    auto outcome = printer.printAndEndDoc(summary, kJob);
    check(static_cast<bool>(outcome), QStringLiteral("first summary: sent"), cause(outcome));
    check(printer.document().isEmpty(), QStringLiteral("first summary: the document is released"));
    checkNewestJob(1, expected, QStringLiteral("first summary"));

    // 2. The scheduler goes away: the summary fails with a reason, and the
    //    waiting charters stay exactly as they were.
    control(QStringLiteral("stop"));
    printer.print(charter("Smith", "Catalina", 30, "3.0", "$480.00"));
    printer.print(charter("Brown", "Ranger", 38, "10.0", "$4,000.00"));
    const auto waiting = plainLines(printer.document());
    outcome = printer.printAndEndDoc(summary, kJob);
    check(!static_cast<bool>(outcome), QStringLiteral("scheduler stopped: the summary is not sent"));
    check(cause(outcome).contains(qs("CUPS")), QStringLiteral("scheduler stopped: the reason is given"),
          cause(outcome));
    std::printf("     reason: %s\n", qPrintable(cause(outcome)));
    check(plainLines(printer.document()) == waiting, QStringLiteral("scheduler stopped: the charters still wait"));
    check(spooledJobs().size() == 1, QStringLiteral("scheduler stopped: no job was made"));

    // 3. Back again: the retry prints every waiting line once.
    control(QStringLiteral("start"));
    expected = with(printer.document(), summary);
    outcome = printer.printAndEndDoc(summary, kJob);
    check(static_cast<bool>(outcome), QStringLiteral("scheduler back: the retry is sent"), cause(outcome));
    checkNewestJob(2, expected, QStringLiteral("retry"));

    // 4. The queue refuses jobs: reported, nothing lost, the retry prints once.
    control(QStringLiteral("reject"));
    printer.print(charter("Lee", "WaveLength", 32, "1.5", "$288.00"));
    const auto before = plainLines(printer.document());
    outcome = printer.printAndEndDoc(summary, kJob);
    check(!static_cast<bool>(outcome), QStringLiteral("queue rejecting: the summary is not sent"));
    check(cause(outcome).contains(g_queue), QStringLiteral("queue rejecting: the reason names the printer"),
          cause(outcome));
    std::printf("     reason: %s\n", qPrintable(cause(outcome)));
    check(plainLines(printer.document()) == before, QStringLiteral("queue rejecting: the charter still waits"));
    control(QStringLiteral("accept"));
    expected = with(printer.document(), summary);
    outcome = printer.printAndEndDoc(summary, kJob);
    check(static_cast<bool>(outcome), QStringLiteral("queue accepting: the retry is sent"), cause(outcome));
    checkNewestJob(3, expected, QStringLiteral("retry after rejection"));

    // 5. The yacht list ends a document of its own.
    outcome = printer.printAndEndDoc(reports::yachtList({qs("C & C"), qs("Catalina"), qs("Hobie")}), kJob);
    check(static_cast<bool>(outcome), QStringLiteral("yacht list: sent"), cause(outcome));
    checkNewestJob(4, with({}, reports::yachtList({qs("C & C"), qs("Catalina"), qs("Hobie")})),
                   QStringLiteral("yacht list"));
    return 0;
}
