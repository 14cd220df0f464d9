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

#include "core/program_info.h"
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
    const QString test = QDir(workFolder()).filePath(QStringLiteral("get-job.test"));
    QFile file(test);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.write("{\n OPERATION Get-Job-Attributes\n GROUP operation-attributes-tag\n"
                   " ATTR charset attributes-charset utf-8\n ATTR naturalLanguage attributes-natural-language en\n"
                   " ATTR uri printer-uri $uri\n ATTR integer job-id $job\n"
                   " ATTR keyword requested-attributes all\n STATUS successful-ok\n}\n");
    file.close();
    QProcess ipptool;
    ipptool.start(QStringLiteral("ipptool"),
                  {QStringLiteral("-tv"), QStringLiteral("-d"), QStringLiteral("job=%1").arg(spoolFile.mid(1, 5).toInt()),
                   QStringLiteral("ipp://%1/").arg(QString::fromLocal8Bit(qgetenv("CUPS_SERVER"))), test});
    check(ipptool.waitForFinished(30'000) && ipptool.exitCode() == 0, QStringLiteral("ipptool reads the job"),
          QString::fromUtf8(ipptool.readAllStandardOutput() + ipptool.readAllStandardError()));
    std::map<QString, QString> attributes;
    static const QRegularExpression line(QStringLiteral("^\\s+(\\S+) \\([^)]*\\) = (.*)$"));
    for (const QString &text : QString::fromUtf8(ipptool.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const auto match = line.match(text);
        if (match.hasMatch())
            attributes[match.captured(1)] = match.captured(2);
    }
    return attributes;
}

// Answers a print server's login requests from a list (a login without a
// password: cancelled), noting each request.
struct ScriptedLogins final : printing::PrintWatcher {
    std::deque<printing::PrinterLogin> answers;
    std::vector<printing::LoginRequest> asked;

    void pageDone(int, int) override {}
    std::optional<printing::PrinterLogin> askLogin(const printing::LoginRequest &request) override
    {
        asked.push_back(request);
        if (answers.empty() || answers.front().password.isEmpty())
            return std::nullopt;
        const printing::PrinterLogin answer = answers.front();
        answers.pop_front();
        return answer;
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
    //    prints on (the clerk's saved paper where the printer has it) and
    //    names it, and carries the clerk's saved options.
    struct Queue {
        const char *kind, *name, *clerk; // clerk: the clerk's options, as "clerk-options" or "clerk-instance"
        double width, length;            // millimetres
        const char *media;
        const char *copies, *sides;      // null: not asked for
    };
    const char *letter = "na_letter_8.5x11in", *legal = "na_legal_8.5x14in", *bothSides = "two-sided-long-edge";
    const Queue kQueues[] = {
             Queue{"raw", "selvaro-raw", nullptr, 215.9, 279.4, letter, "1", nullptr},
             Queue{"raw", "selvaro-raw", "clerk-instance", 215.9, 355.6, legal, "2", bothSides},
             Queue{"label", "selvaro-label", nullptr, 28.58, 88.9, "custom_28.58x88.9mm_28.58x88.9mm", "1", nullptr},
             // a paper the label printer does not have: its own instead
             Queue{"label", "selvaro-label", "clerk-options", 28.58, 88.9, "custom_28.58x88.9mm_28.58x88.9mm", "2",
                   nullptr},
             Queue{"zebra", "selvaro-zebra", nullptr, 101.6, 127, "custom_4x5in_4x5in_borderless", "1", nullptr},
             Queue{"receipt", "selvaro-receipt", nullptr, 80.01, 297, "custom_80.01x297mm_80.01x297mm", "1", nullptr},
             // a class knows no paper: the region's
             Queue{"class", "selvaro-class", nullptr, 215.9, 279.4, letter, "1", nullptr},
             Queue{"class", "selvaro-class", "clerk-options", 215.9, 355.6, legal, "2", bothSides},
             Queue{"everywhere", "selvaro-everywhere", nullptr, 215.9, 279.4, letter, "1", nullptr},
             Queue{"everywhere", "selvaro-everywhere", "clerk-options", 215.9, 355.6, legal, "2", bothSides}};
    for (const Queue &queue : kQueues) {
        const QString what = QStringLiteral("%1 queue%2").arg(QLatin1String(queue.kind),
                                                             queue.clerk ? qs(" with the clerk's options") : QString());
        control(QStringLiteral("queue-") + QLatin1String(queue.kind));
        control(QStringLiteral("no-clerk-options"));
        if (queue.clerk)
            control(QLatin1String(queue.clerk), QLatin1String(queue.name));
        const auto jobCount = spooledJobs().size();
        printer.print(charter("Jones", "Hobie", 24, "2.5", "$342.50"));
        outcome = printer.printAndEndDoc(summary, kJob);
        check(static_cast<bool>(outcome), QStringLiteral("%1: sent").arg(what), cause(outcome));
        const QString job = nextJob(jobCount);
        const auto pages = testing_pdf::readWords(QDir(g_spool).filePath(job));
        const double toPoints = 72 / 25.4;
        check(!pages.empty() && std::abs(pages[0].width - queue.width * toPoints) < 0.5
                  && std::abs(pages[0].height - queue.length * toPoints) < 0.5,
              QStringLiteral("%1: the pages are %2 x %3 mm").arg(what).arg(queue.width).arg(queue.length),
              pages.empty() ? QString()
                            : QStringLiteral("they are %1 x %2 points").arg(pages[0].width).arg(pages[0].height));
        if (&queue == &kQueues[0]) {
            QProcess info;
            info.start(QStringLiteral("pdfinfo"), {QDir(g_spool).filePath(job)});
            info.waitForFinished(30'000);
            const QString creator = QStringLiteral("Creator: +%1 %2\n").arg(program_info::title(), program_info::version());
            check(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression(creator)),
                  QStringLiteral("the PDF's creator is the program and its version"));
        }
        auto attributes = jobAttributes(job);
        for (const auto &[name, value] : {std::pair{"media", queue.media}, std::pair{"copies", queue.copies},
                                          std::pair{"sides", queue.sides}}) {
            if (value != nullptr)
                check(attributes[QLatin1String(name)] == QLatin1String(value),
                      QStringLiteral("%1: the job's %2 is %3").arg(what, QLatin1String(name), QLatin1String(value)),
                      QStringLiteral("it is \"%1\"").arg(attributes[QLatin1String(name)]));
        }
    }
    control(QStringLiteral("restore"));

    // 7. A printer that cannot take the program's documents: said to be for
    //    good, nothing lost, no job made.
    control(QStringLiteral("queue-textonly"));
    printer.print(charter("Lee", "WaveLength", 32, "1.5", "$288.00"));
    auto waitingLines = plainLines(printer.document());
    auto jobsBefore = spooledJobs().size();
    outcome = printer.printAndEndDoc(summary, kJob);
    check(!outcome && outcome.error->problem() == printing::PrintProblem::CannotPrintDocuments,
          QStringLiteral("text-only printer: cannot print the program's documents"), cause(outcome));
    const QString told = outcome ? QString() : forms::words::documentNotPrinted(*outcome.error);
    std::printf("     told: %s\n", qPrintable(told));
    check(told.contains(qs("Choose another printer")), QStringLiteral("text-only printer: another printer is to be chosen"));
    check(plainLines(printer.document()) == waitingLines && spooledJobs().size() == jobsBefore,
          QStringLiteral("text-only printer: the lines wait, no job was made"));
    printer.discardWaitingLines();
    control(QStringLiteral("restore"));

    // 8. A print server that asks for a login: the clerk's answer, a wrong
    //    one answered again, and none.
    if (tryControl({QStringLiteral("queue-login")}) == 3) {
        std::printf("skip a login needs a local user, which only root can make\n");
        return 0;
    }
    QFile loginFile(QDir(workFolder()).filePath(QStringLiteral("login")));
    check(loginFile.open(QIODevice::ReadOnly), QStringLiteral("login queue: made"));
    const QByteArray password = loginFile.readAll().trimmed();
    const QString clerk = qs("selvaro-clerk");
    auto logins = std::make_shared<ScriptedLogins>();
    printer.setWatcherFactory([logins] {
        struct Forward final : printing::PrintWatcher {
            std::shared_ptr<ScriptedLogins> to;
            void pageDone(int, int) override {}
            std::optional<printing::PrinterLogin> askLogin(const printing::LoginRequest &r) override { return to->askLogin(r); }
        };
        auto forward = std::make_unique<Forward>();
        forward->to = logins;
        return forward;
    });
    struct Login {
        const char *what;
        std::vector<printing::PrinterLogin> answers;
        bool printed;
    };
    for (const Login &login : {Login{"the right password", {printing::PrinterLogin{clerk, password}}, true},
                               Login{"a wrong password, then the right one",
                                     {printing::PrinterLogin{clerk, "not" + password}, printing::PrinterLogin{clerk, password}},
                                     true},
                               Login{"cancelled", {printing::PrinterLogin{}}, false}}) {
        const QString what = QStringLiteral("login queue, %1").arg(QLatin1String(login.what));
        logins->answers.assign(login.answers.begin(), login.answers.end());
        logins->asked.clear();
        printer.print(charter("Smith", "Catalina", 30, "3.0", "$480.00"));
        waitingLines = plainLines(printer.document());
        jobsBefore = spooledJobs().size();
        outcome = printer.printAndEndDoc(summary, kJob);
        check(logins->asked.size() == login.answers.size(), QStringLiteral("%1: asked %2 time(s)").arg(what).arg(login.answers.size()),
              QStringLiteral("asked %1 time(s), again: %2, then: %3").arg(logins->asked.size()).arg(logins->asked.back().again).arg(cause(outcome)));
        check(logins->asked.front().printer == qs("selvaro-login") && !logins->asked.front().again
                  && (logins->asked.size() < 2 || logins->asked.back().again),
              QStringLiteral("%1: asked for the printer, again after a refusal").arg(what));
        if (login.printed) {
            check(static_cast<bool>(outcome), QStringLiteral("%1: sent").arg(what), cause(outcome));
            check(jobAttributes(nextJob(jobsBefore))[qs("job-originating-user-name")] == clerk,
                  QStringLiteral("%1: the job is the clerk's").arg(what));
        } else {
            check(!outcome && outcome.error->problem() == printing::PrintProblem::LoginNeeded,
                  QStringLiteral("%1: the printer needs a login").arg(what), cause(outcome));
            std::printf("     reason: %s\n", qPrintable(cause(outcome)));
            check(plainLines(printer.document()) == waitingLines && spooledJobs().size() == jobsBefore,
                  QStringLiteral("%1: the lines wait, no job was made").arg(what));
        }
    }
    return 0;
}
