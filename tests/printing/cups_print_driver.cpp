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

#include "printing/program_info.h"
#include "printing/print_service.h"
#include "core/reports/layouts.h"
#include "printing/page_renderer.h"
#include "ui/forms/clerk_words.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <cups/cups.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>

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

int tryControl(const QStringList &action) { return QProcess::execute(g_control.front(), g_control.mid(1) + action); }

void control(const QString &action, const QString &argument = {})
{
    const QStringList words = argument.isEmpty() ? QStringList{action} : QStringList{action, argument};
    check(tryControl(words) == 0, QStringLiteral("scheduler: %1").arg(words.join(QLatin1Char(' '))));
}

// The folder the script works in: the last of its control words.
QString workFolder() { return g_control.back(); }

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

// The grid the sender lays on the default printer's pages: the raw queue
// names no paper, so the region's.
testing_pdf::GridInPoints printerGrid()
{
    QPrinter printer(QPrinter::HighResolution);
    printing::preparePage(printer, printing::regionalPaper());
    return testing_pdf::gridOf(printer);
}

// Waits for a document beyond the `count` the scheduler held, and returns
// its file's name.
QString nextJob(qsizetype count)
{
    QElapsedTimer clock;
    clock.start();
    while (spooledJobs().size() <= count && clock.elapsed() < 10'000)
        QThread::msleep(50);
    const QStringList jobs = spooledJobs();
    check(jobs.size() == count + 1, QStringLiteral("the scheduler took one more job"),
          QStringLiteral("it holds %1, had %2").arg(jobs.size()).arg(count));
    return jobs.back();
}

// The job's attributes as CUPS reports them to ipptool's Get-Job-Attributes.
std::map<QString, QString> jobAttributes(const QString &spoolFile)
{
    QProcess ipptool;
    ipptool.start(QStringLiteral("ipptool"), {QStringLiteral("-tv"),
                                              QStringLiteral("ipp://%1/jobs/%2")
                                                  .arg(QString::fromLocal8Bit(qgetenv("CUPS_SERVER")))
                                                  .arg(spoolFile.mid(1, 5).toInt()),
                                              QStringLiteral("get-job-attributes.test")});
    ipptool.waitForFinished(30'000);
    std::map<QString, QString> attributes;
    static const QRegularExpression line(QStringLiteral("^\\s+(\\S+) \\([^)]*\\) = (.*)$"),
                                         QRegularExpression::MultilineOption);
    for (auto found = line.globalMatch(QString::fromUtf8(ipptool.readAllStandardOutput())); found.hasNext();) {
        const auto match = found.next();
        attributes[match.captured(1)] = match.captured(2);
    }
    return attributes;
}

// Answers a print server's login requests from a list (no password:
// cancelled), noting each request.
struct ScriptedLogins final : printing::PrintWatcher {
    std::deque<printing::PrinterLogin> &answers;
    std::vector<printing::LoginRequest> &asked;
    ScriptedLogins(std::deque<printing::PrinterLogin> &a, std::vector<printing::LoginRequest> &r) : answers(a), asked(r) {}

    void pageDone(int, int) override {}
    std::optional<printing::PrinterLogin> askLogin(const printing::LoginRequest &request) override
    {
        asked.push_back(request);
        const printing::PrinterLogin answer = answers.empty() ? printing::PrinterLogin{} : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer.password.isEmpty() ? std::nullopt : std::optional(answer);
    }
};

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
    g_spool = QString::fromLocal8Bit(argv[1]);
    g_queue = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i)
        g_control << QString::fromLocal8Bit(argv[i]);
    // The clerk's home, where the script saves the clerk's print options, and
    // a region that measures in US units, so that the region's paper is
    // Letter, which a blind A4 is not.
    qputenv("HOME", QDir(workFolder()).filePath(QStringLiteral("home")).toLocal8Bit());
    qputenv("LC_MEASUREMENT", "en_US.UTF-8");
    QApplication application(argc, argv);

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

    // 6. Queues of every kind: each job is laid out on the paper the queue
    //    prints on (the clerk's saved paper where the printer has it), names
    //    it, and carries the clerk's saved options (clerk-instance: as the
    //    clerk's default instance Queue/front).
    struct Queue {
        const char *kind, *clerk; // the clerk's options: none, clerk-options or clerk-instance
        double width, length;     // millimetres
        QString media, copies, sides;
    };
    const QString letter = qs("na_letter_8.5x11in"), legal = qs("na_legal_8.5x14in"), both = qs("two-sided-long-edge");
    const QString label = qs("custom_28.58x88.9mm_28.58x88.9mm");
    for (const Queue &queue : {
             Queue{"raw", nullptr, 215.9, 279.4, letter, qs("1"), {}},
             Queue{"raw", "clerk-instance", 215.9, 355.6, legal, qs("2"), both},
             Queue{"label", nullptr, 28.58, 88.9, label, qs("1"), {}},
             Queue{"label", "clerk-options", 28.58, 88.9, label, qs("2"), {}}, // no Legal there: its own paper
             Queue{"label", "clerk-labelsize", 57.15, 101.6, qs("custom_2.25x4in_2.25x4in"), qs("1"), {}},
             Queue{"zebra", nullptr, 101.6, 127, qs("custom_4x5in_4x5in_borderless"), qs("1"), {}},
             Queue{"receipt", nullptr, 80.01, 297, qs("custom_80.01x297mm_80.01x297mm"), qs("1"), {}},
             Queue{"receipt", "clerk-pagesize", 215.9, 355.6, legal, qs("1"), {}},
             Queue{"class", nullptr, 215.9, 279.4, letter, qs("1"), {}}, // no paper known: the region's
             Queue{"class", "clerk-options", 215.9, 355.6, legal, qs("2"), both},
             Queue{"everywhere", nullptr, 215.9, 279.4, letter, qs("1"), {}},
             Queue{"everywhere", "clerk-options", 215.9, 355.6, legal, qs("2"), both}}) {
        const QString what = QStringLiteral("%1 queue, %2").arg(QLatin1String(queue.kind), qs(queue.clerk ? queue.clerk : "-"));
        control(QStringLiteral("queue-") + QLatin1String(queue.kind));
        control(QStringLiteral("no-clerk-options"));
        if (queue.clerk)
            control(QLatin1String(queue.clerk), QStringLiteral("selvaro-") + QLatin1String(queue.kind));
        const auto jobCount = spooledJobs().size();
        printer.print(charter("Jones", "Hobie", 24, "2.5", "$342.50"));
        outcome = printer.printAndEndDoc(summary, kJob);
        check(static_cast<bool>(outcome), QStringLiteral("%1: sent").arg(what), cause(outcome));
        const QString job = QDir(g_spool).filePath(nextJob(jobCount));
        const auto pages = testing_pdf::readWords(job);
        const QSizeF size = pages.empty() ? QSizeF() : QSizeF(pages[0].width, pages[0].height) * 25.4 / 72;
        check(std::abs(size.width() - queue.width) < 0.2 && std::abs(size.height() - queue.length) < 0.2,
              QStringLiteral("%1: the pages are %2 x %3 mm").arg(what).arg(queue.width).arg(queue.length),
              QStringLiteral("they are %1 x %2 mm").arg(size.width()).arg(size.height()));
        auto attributes = jobAttributes(QFileInfo(job).fileName());
        const QString got = attributes[qs("media")] + QLatin1Char(' ') + attributes[qs("copies")] + QLatin1Char(' ') + attributes[qs("sides")];
        check(got.startsWith(queue.media + QLatin1Char(' ') + queue.copies + QLatin1Char(' ') + queue.sides),
              QStringLiteral("%1: the job's media, copies and sides are %2 %3 %4").arg(what, queue.media, queue.copies, queue.sides), got);
    }
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {QDir(g_spool).filePath(spooledJobs().back())});
    info.waitForFinished(30'000);
    check(QString::fromUtf8(info.readAllStandardOutput())
              .contains(QRegularExpression(QStringLiteral("Creator: +%1 %2\n").arg(program_info::title(), program_info::version()))),
          QStringLiteral("the PDF's creator is the program and its version"));
    control(QStringLiteral("restore"));

    // 7. A printer that cannot take the program's documents: said to be for
    //    good, nothing lost, no job made.
    control(QStringLiteral("queue-textonly"));
    printer.print(charter("Lee", "WaveLength", 32, "1.5", "$288.00"));
    auto waitingLines = plainLines(printer.document());
    auto jobsBefore = spooledJobs().size();
    outcome = printer.printAndEndDoc(summary, kJob);
    const QString told = outcome ? QString() : forms::words::documentNotPrinted(*outcome.error);
    std::printf("     told: %s\n", qPrintable(told));
    check(told.contains(qs("cannot print this program's documents")) && told.contains(qs("Choose another printer")),
          QStringLiteral("text-only printer: cannot print the program's documents, another is to be chosen"));
    check(plainLines(printer.document()) == waitingLines && spooledJobs().size() == jobsBefore,
          QStringLiteral("text-only printer: the lines wait, no job was made"));
    printer.discardWaitingLines();
    control(QStringLiteral("restore"));

    // 8. A print server that asks for a login: the clerk's answer, a wrong
    //    one asked for again, and none.
    if (tryControl({QStringLiteral("queue-login")}) == 3) {
        std::printf("skip a login needs a local user, which only root can make\n");
        return 0;
    }
    QFile loginFile(QDir(workFolder()).filePath(QStringLiteral("login")));
    check(loginFile.open(QIODevice::ReadOnly), QStringLiteral("login queue: made"));
    const printing::PrinterLogin right{qs("selvaro-clerk"), loginFile.readAll().trimmed()};
    std::deque<printing::PrinterLogin> answers;
    std::vector<printing::LoginRequest> asked;
    printer.setWatcherFactory([&] { return std::make_unique<ScriptedLogins>(answers, asked); });
    for (const std::vector<printing::PrinterLogin> &given :
         {std::vector{right}, std::vector{printing::PrinterLogin{right.user, "not" + right.password}, right},
          std::vector{printing::PrinterLogin{}}}) {
        const bool cancelled = given.back().password.isEmpty();
        const QString what = QStringLiteral("login queue, %1 answer(s)%2").arg(given.size()).arg(cancelled ? qs(", cancelled") : QString());
        answers.assign(given.begin(), given.end());
        asked.clear();
        printer.print(charter("Smith", "Catalina", 30, "3.0", "$480.00"));
        waitingLines = plainLines(printer.document());
        jobsBefore = spooledJobs().size();
        outcome = printer.printAndEndDoc(summary, kJob);
        check(asked.size() == given.size() && asked.front().printer == qs("selvaro-login") && !asked.front().again
                  && asked.back().again == (given.size() > 1),
              QStringLiteral("%1: asked for each, again after a refusal").arg(what), cause(outcome));
        if (cancelled) {
            check(!outcome && outcome.error->problem() == printing::PrintProblem::LoginNeeded
                      && plainLines(printer.document()) == waitingLines && spooledJobs().size() == jobsBefore,
                  QStringLiteral("%1: the printer needs a login, the lines wait, no job was made").arg(what), cause(outcome));
            std::printf("     reason: %s\n", qPrintable(cause(outcome)));
        } else {
            check(static_cast<bool>(outcome), QStringLiteral("%1: sent").arg(what), cause(outcome));
            check(jobAttributes(nextJob(jobsBefore))[qs("job-originating-user-name")] == right.user,
                  QStringLiteral("%1: the job is the clerk's").arg(what));
        }
    }
    return 0;
}
