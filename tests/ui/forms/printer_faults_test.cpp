// SPDX-License-Identifier: MIT
// Printer faults as a clerk meets them: the windows driven by keyboard, the
// program's real default-printer sender, and a private CUPS scheduler that
// tests/reports/cups_print_test.sh starts and breaks on request (no printer,
// no default printer, scheduler stopped, queue rejecting or stopped). In
// every case the program must say what went wrong, go on, keep every total
// and every waiting line, and print each line exactly once when the clerk
// tries again after the fault is cleared. A stopped queue is the exception that proves the
// rule: it keeps the document itself, so the program says so and does not
// keep the lines.
//
//   cups_print_test.sh printer_faults_test
//
// runs this as its driver: printer_faults_test SPOOL_DIR QUEUE CONTROL...
// Every message the program showed is written out as "[ showed   ]".
#include "clerk_fixture.h"

#include "../../printing/relay.h"
#include "../../printing/pdf_words.h"
#include "core/accounting/running_totals.h"
#include "ui/life/end_of_day_printing.h"
#include "ui/widgets/combo_box.h"
#include "ui/widgets/window_setup.h"

#include <QDir>
#include <QProgressDialog>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cstring>
#include <iostream>

using testing_support::ClerkTest;

namespace {

QString g_spool;
QStringList g_control;

// Breaks or mends the private scheduler through the script that owns it.
void control(const QString &action)
{
    const int status = QProcess::execute(g_control.front(), g_control.mid(1) << action);
    ASSERT_EQ(status, 0) << "scheduler: " << action.toStdString();
}

// The scheduler's own socket, beside the work folder the script controls.
QString schedulerSocket() { return g_control.back() + QStringLiteral("/cups.sock"); }

// The documents the scheduler has kept, oldest first (d00001-001, ...).
QStringList spooledJobs()
{
    return QDir(g_spool).entryList({QStringLiteral("d*-001")}, QDir::Files, QDir::Name);
}

QString textOf(const QString &job)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-layout"), QDir(g_spool).filePath(job), QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000))
        return {};
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

struct State {
    std::int16_t count = 0;
    platform::Currency totalHours, totalRevenue;
    QStringList waitingLines;
    QStringList yachtTypes;
    bool printYachtTypesEnabled = false;
    bool operator==(const State &) const = default;
};

void PrintTo(const State &s, std::ostream *out)
{
    *out << s.count << " charters, hours " << s.totalHours.toDecimalString() << ", revenue "
         << s.totalRevenue.toDecimalString() << ", " << s.waitingLines.size() << " lines waiting, "
         << s.yachtTypes.size() << " types, Print Yacht Types " << s.printYachtTypesEnabled;
}

const QStringList kDay = {QStringLiteral("Anders"), QStringLiteral("Bjornsson"), QStringLiteral("Castellanos")};

class PrinterFaults : public ClerkTest {
protected:
    void SetUp() override
    {
        ClerkTest::SetUp();
        // The real road to the default printer, not the fixture's capture.
        printer().setSender(printing::makeDefaultPrinterSender());
        m_jobsBefore = spooledJobs();
    }

    State state()
    {
        const auto &totals = program().totals();
        return {totals.charterCount(), totals.totalHours(), totals.totalRevenue(), waitingLines(),
                charter().cboYacht->entries(), main().mnuFilePrintYachtType->isEnabled()};
    }

    // Each charter by keyboard: name, 2.5 hours, typed type "Sloop", 24 feet.
    void enterCharters(const QStringList &names)
    {
        inCharterWindow([&] {
            for (const QString &name : names) {
                enterCharter(name, QStringLiteral("2.5"), QStringLiteral("Sloop"), 2);
                press(Qt::Key_Return);
            }
            press(Qt::Key_Escape);
        });
        ASSERT_TRUE(m_boxes->boxes.empty()) << m_boxes->boxes[0].prompt.toStdString();
    }

    // File > Print Summary (or Print Yacht Types) while the printer is at
    // fault: one clear message, and nothing changed.
    void expectRefusedPrint(char itemKey, const QString &cause)
    {
        const State before = state();
        const auto boxes = m_boxes->boxes.size();
        chooseMenu(main(), 'F', itemKey);
        ASSERT_EQ(m_boxes->boxes.size(), boxes + 1) << "one message";
        const auto &box = m_boxes->boxes.back();
        std::cout << "[ showed   ] " << testing::UnitTest::GetInstance()->current_test_info()->name() << ": \""
                  << box.title.toStdString() << "\" / " << box.prompt.toStdString() << "\n";
        EXPECT_TRUE(box.prompt.startsWith(QStringLiteral("The document could not be printed.")))
            << box.prompt.toStdString();
        EXPECT_TRUE(box.prompt.contains(cause)) << box.prompt.toStdString();
        EXPECT_EQ(box.icon, ui::MessageIcon::Warning);
        EXPECT_EQ(state(), before);
        EXPECT_TRUE(main().isVisible()) << "the program goes on";
        EXPECT_TRUE(newJobFiles().isEmpty()) << "no job reached the scheduler";
    }

    // The documents the scheduler took since the case began.
    QStringList newJobFiles() const
    {
        QStringList jobs = spooledJobs();
        jobs.removeIf([this](const QString &job) { return m_jobsBefore.contains(job); });
        return jobs;
    }

    // Waits for `count` new documents and returns their text.
    QStringList newJobs(int count)
    {
        QElapsedTimer clock;
        clock.start();
        while (newJobFiles().size() < count && clock.elapsed() < 15000)
            QThread::msleep(50);
        QStringList texts;
        for (const QString &job : newJobFiles())
            texts.append(textOf(job));
        EXPECT_EQ(texts.size(), count) << "documents that reached the scheduler";
        return texts;
    }

    // The retry, once the fault is cleared: the summary goes out with every
    // waiting charter, each exactly once, and the totals are kept.
    void expectSummaryPrintsEachLineOnce(const QStringList &names)
    {
        const State before = state();
        const auto boxes = m_boxes->boxes.size();
        chooseMenu(main(), 'F', 'P');
        EXPECT_EQ(m_boxes->boxes.size(), boxes) << "no further message";
        EXPECT_TRUE(waitingLines().isEmpty()) << "the document went out";
        EXPECT_TRUE(main().mnuFilePrintYachtType->isEnabled());
        const auto &totals = program().totals();
        EXPECT_EQ(totals.charterCount(), before.count);
        EXPECT_EQ(totals.totalRevenue(), before.totalRevenue);

        const QStringList jobs = newJobs(1);
        ASSERT_EQ(jobs.size(), 1);
        for (const QString &name : names)
            EXPECT_EQ(jobs[0].count(name), 1) << name.toStdString() << " in\n" << jobs[0].toStdString();
        EXPECT_EQ(jobs[0].count(QStringLiteral("Average Hours Chartered:")), 1);
        EXPECT_EQ(jobs[0].count(QStringLiteral("Total Revenue:")), 1);
    }

    // A print server that answers late, as a busy server or a slow link
    // does: every piece of its answers is passed on that late. Never a
    // failure: the document prints once, nothing is said, and at the end no
    // file is left.
    void expectLateAnswersWaitedFor(std::chrono::milliseconds late, bool atTheEnd)
    {
        SCOPED_TRACE(std::to_string(late.count()) + (atTheEnd ? " ms, at the end" : " ms, summary"));
        const QByteArray server = qgetenv("CUPS_SERVER");
        const testing_support::TemporaryHome home;
        m_boxes->boxes.clear();
        m_jobsBefore = spooledJobs();
        enterCharters(kDay);
        const QString relay = QDir(g_spool).filePath(QStringLiteral("../late.sock"));
        const Relay proxy(relay, schedulerSocket(), late);
        ASSERT_TRUE(proxy.listening());
        qputenv("CUPS_SERVER", relay.toLocal8Bit());
        if (atTheEnd)
            program().endOfDay().printWaitingLinesAtEnd();
        else
            chooseMenu(main(), 'F', 'P');
        qputenv("CUPS_SERVER", server);
        EXPECT_TRUE(m_boxes->boxes.empty()) << boxTexts().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(waitingLines().isEmpty());
        EXPECT_TRUE(home.savedFiles().isEmpty()) << home.savedFiles().join(QLatin1Char(' ')).toStdString();
        const QStringList jobs = newJobs(1);
        ASSERT_EQ(jobs.size(), 1);
        for (const QString &name : kDay)
            EXPECT_EQ(jobs[0].count(name), 1) << name.toStdString();
    }

    QStringList m_jobsBefore;
};


// The printer at fault as the clerk prints: one clear message each time,
// nothing changed; once mended, each line prints exactly once.
TEST_F(PrinterFaults, FaultsThatKeepEveryLine)
{
    struct Fault {
        const char *fault, *mend, *cause;
        char item = 'P';             // Print Summary, or 'Y' for Print Yacht Types
        bool betweenCharters = false; // the fault comes after the first charter
    };
    const Fault faults[] = {
        {"noprinter", "restore", "No printer can be reached"},
        {"nodefault", "restore", "No default printer is chosen"},
        {"stop", "start", "CUPS"},
        // A charter line never touches the printer: the next one is accepted.
        {"stop", "start", "CUPS", 'P', true},
        {"reject", "accept", "did not accept the document"},
        {"stop", "start", "CUPS", 'Y'},
        // The print server is another computer (client.conf's ServerName), and it is down.
        {"remote", "local", "The print server \"printserver.invalid\" cannot be reached"},
    };
    const QByteArray server = qgetenv("CUPS_SERVER");
    const auto apply = [&server](const char *change) {
        if (std::strcmp(change, "remote") == 0)
            qputenv("CUPS_SERVER", "printserver.invalid");
        else if (std::strcmp(change, "local") == 0)
            qputenv("CUPS_SERVER", server);
        else
            control(QLatin1String(change));
    };
    for (const Fault &f : faults) {
        SCOPED_TRACE(std::string(f.fault) + (f.betweenCharters ? " between charters" : "") + " " + f.item);
        m_boxes->boxes.clear();
        m_jobsBefore = spooledJobs();
        const bool summary = f.item == 'P';
        if (summary)
            enterCharters(f.betweenCharters ? QStringList{kDay[0]} : kDay);
        apply(f.fault);
        if (f.betweenCharters)
            enterCharters(kDay.mid(1));
        expectRefusedPrint(f.item, QLatin1String(f.cause));
        // Trying again while it is still at fault changes nothing either.
        expectRefusedPrint(f.item, QLatin1String(f.cause));
        apply(f.mend);
        if (summary) {
            expectSummaryPrintsEachLineOnce(kDay);
            continue;
        }
        chooseMenu(main(), 'F', 'Y');
        EXPECT_EQ(m_boxes->boxes.size(), 2u) << "no further message";
        const QStringList jobs = newJobs(1);
        ASSERT_EQ(jobs.size(), 1);
        EXPECT_EQ(jobs[0].count(QStringLiteral("Yacht List")), 1);
        EXPECT_EQ(jobs[0].count(QStringLiteral("WaveLength")), 1);
    }
}

// A queue that is stopped, or that holds new jobs, takes the document and
// keeps it: it is sent once, the lines do not stay, and the clerk is told
// why no paper comes yet.
TEST_F(PrinterFaults, QueuesThatKeepTheDocument)
{
    struct Keeping {
        const char *fault, *mend, *told;
    };
    for (const Keeping &queue : {Keeping{"disable", "enable", "is stopped, for this reason: stopped for a test"},
                                 Keeping{"hold", "release", "holds the document in its queue"}}) {
        SCOPED_TRACE(queue.fault);
        m_boxes->boxes.clear();
        m_jobsBefore = spooledJobs();
        enterCharters(kDay);
        control(QLatin1String(queue.fault));
        chooseMenu(main(), 'F', 'P');
        ASSERT_EQ(m_boxes->boxes.size(), 1u) << "the clerk is told";
        const auto &box = m_boxes->boxes.back();
        std::cout << "[ showed   ] " << queue.fault << ": \"" << box.title.toStdString() << "\" / "
                  << box.prompt.toStdString() << "\n";
        EXPECT_TRUE(box.prompt.contains(QLatin1String(queue.told))) << box.prompt.toStdString();
        EXPECT_TRUE(waitingLines().isEmpty()) << "the queue holds the document now";
        EXPECT_TRUE(main().mnuFilePrintYachtType->isEnabled());
        const QStringList jobs = newJobs(1);
        control(QLatin1String(queue.mend));
        ASSERT_EQ(jobs.size(), 1);
        for (const QString &name : kDay)
            EXPECT_EQ(jobs[0].count(name), 1) << name.toStdString();
    }
}

// The connection to the scheduler breaks while the document is uploaded:
// never taken for a print. The half-sent job is cancelled, and the retry
// prints every line once; where the scheduler is gone after the cut, so that
// the cancel cannot be confirmed, the clerk is told that the document may
// have printed, and the lines are kept.
TEST_F(PrinterFaults, ConnectionCutWhileTheDocumentGoesOut)
{
    const QByteArray server = qgetenv("CUPS_SERVER");
    for (const bool gone : {false, true}) {
        SCOPED_TRACE(gone ? "the scheduler gone after the cut" : "the scheduler still there");
        m_boxes->boxes.clear();
        m_jobsBefore = spooledJobs();
        enterCharters(kDay);
        const QString relay = QDir(g_spool).filePath(QStringLiteral("../relay.sock"));
        Relay proxy(relay, schedulerSocket(), Relay::Cut{.afterBytes = 4096, .goneAfterCut = gone});
        ASSERT_TRUE(proxy.listening());
        qputenv("CUPS_SERVER", relay.toLocal8Bit());
        const State before = state();
        chooseMenu(main(), 'F', 'P');
        qputenv("CUPS_SERVER", server);
        EXPECT_TRUE(proxy.hasCut());
        ASSERT_EQ(m_boxes->boxes.size(), 1u);
        const QString &told = m_boxes->boxes[0].prompt;
        std::cout << "[ showed   ] " << (gone ? "gone" : "there") << ": " << told.toStdString() << "\n";
        EXPECT_EQ(state(), before) << "the lines are kept";
        // One thing said: where CUPS may hold it whole, never that it did not reach the printer.
        EXPECT_EQ(told.contains(QStringLiteral("did not reach the printer")), !gone) << told.toStdString();
        EXPECT_EQ(told.contains(QStringLiteral("did not confirm that it took")), gone) << told.toStdString();
        EXPECT_EQ(told.contains(QStringLiteral("The document may have been printed")), gone) << told.toStdString();
        EXPECT_EQ(told.contains(QStringLiteral("Look at the printer before printing again")), gone);
        EXPECT_EQ(told.contains(QStringLiteral("Nothing was lost")), !gone);
        if (gone) {
            printer().discardWaitingLines();
            control(QStringLiteral("release")); // what the clerk would cancel at the printer
        } else {
            m_boxes->boxes.clear();
            expectSummaryPrintsEachLineOnce(kDay);
        }
    }
}

TEST_F(PrinterFaults, LateAnswersAreWaitedFor)
{
    for (const bool atTheEnd : {false, true})
        expectLateAnswersWaitedFor(std::chrono::milliseconds(1500), atTheEnd);
}

// The same, five seconds late: a few minutes of answers, so among the slow
// tests.
TEST_F(PrinterFaults, VeryLateAnswersAreWaitedFor)
{
    expectLateAnswersWaitedFor(std::chrono::milliseconds(5000), false);
}

// A printer that takes a job and then ends it itself. One that fails it
// (aborted, no sheet printed) gives the lines back, and the clerk is told
// the document, the printer and its reason; they print once when the clerk
// prints again. A saved option the printer does not take (both sides on a
// one-sided printer, which cancels such a job) is left off instead: the job
// prints, and nothing is said.
TEST_F(PrinterFaults, PrintersThatEndTheJobThemselves)
{
    struct Ending {
        const char *queue;
        const char *told; // nothing when it prints
    };
    for (const Ending ending : {Ending{"failing", "The label roll is empty."}, Ending{"simplex", nullptr}}) {
        SCOPED_TRACE(ending.queue);
        const testing_support::TemporaryHome home;
        const QString queue = QStringLiteral("selvaro-") + QLatin1String(ending.queue);
        QDir(home.path()).mkdir(QStringLiteral(".cups"));
        QFile options(home.path() + QStringLiteral("/.cups/lpoptions"));
        ASSERT_TRUE(options.open(QIODevice::WriteOnly));
        options.write("Dest " + queue.toUtf8() + " sides=two-sided-long-edge\n");
        options.close();
        m_boxes->boxes.clear();
        enterCharters(kDay);
        control(QStringLiteral("queue-") + QLatin1String(ending.queue));
        chooseMenu(main(), 'F', 'P');
        EXPECT_TRUE(m_boxes->boxes.empty()) << "taken: " << boxTexts().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(waitingLines().isEmpty());
        // Once the printer has done with it, the program knows.
        EXPECT_TRUE(QTest::qWaitFor([this] { return printer().jobsFollowed() == 0; }, 30000));
        if (ending.told == nullptr) {
            EXPECT_TRUE(m_boxes->boxes.empty()) << boxTexts().join(QLatin1Char('\n')).toStdString();
            const QString printed = QDir(g_control.back()).filePath(QLatin1String(ending.queue));
            EXPECT_FALSE(QDir(printed).isEmpty(QDir::Files)) << "the printer printed it";
            control(QStringLiteral("restore"));
            continue;
        }
        ASSERT_EQ(m_boxes->boxes.size(), 1u);
        const QString &box = m_boxes->boxes[0].prompt;
        std::cout << "[ showed   ] " << ending.queue << ": " << box.toStdString() << "\n";
        for (const QString &said : {queue, QStringLiteral("charters and summary"), QString::fromUtf8(ending.told),
                                    QStringLiteral("without printing a page"), QStringLiteral("Nothing was lost")})
            EXPECT_TRUE(box.contains(said)) << said.toStdString();
        EXPECT_EQ(waitingLines().size(), kDay.size()) << "the lines wait again";
        EXPECT_FALSE(main().mnuFilePrintYachtType->isEnabled());
        control(QStringLiteral("restore"));
        m_boxes->boxes.clear();
        m_jobsBefore = spooledJobs();
        expectSummaryPrintsEachLineOnce(kDay);
    }
}

// Each document takes the default paper of its queue, margins inside it,
// and no line is cut off at the sheet's edge.
TEST_F(PrinterFaults, DocumentsTakeTheQueuesPaper)
{
    struct Paper {
        const char *name;
        double width, height; // points
    };
    for (const Paper &paper : {Paper{"Letter", 612, 792}, Paper{"A4", 595.28, 841.89}, Paper{"Legal", 612, 1008}}) {
        SCOPED_TRACE(paper.name);
        m_jobsBefore = spooledJobs();
        control(QStringLiteral("paper-") + QLatin1String(paper.name));
        // A full page and more of charters, with the widest line.
        QStringList names;
        for (int i = 0; i < 70; ++i)
            names << QStringLiteral("Customer%1-Abcdefghijklmnopq").arg(i, 2, 10, QLatin1Char('0'));
        enterCharters(names);
        chooseMenu(main(), 'F', 'P');
        ASSERT_TRUE(m_boxes->boxes.empty()) << m_boxes->boxes[0].prompt.toStdString();
        newJobs(1);
        const QStringList files = newJobFiles();
        ASSERT_EQ(files.size(), 1);
        const auto pages = testing_pdf::readWords(QDir(g_spool).filePath(files[0]));
        control(QStringLiteral("restore")); // which takes the queue's jobs with it
        ASSERT_GE(pages.size(), 2u);
        int lines = 0;
        for (const auto &page : pages) {
            EXPECT_NEAR(page.width, paper.width, 1);
            EXPECT_NEAR(page.height, paper.height, 1);
            for (const auto &word : page.words) {
                lines += word.text.startsWith(QStringLiteral("Customer"));
                EXPECT_GE(word.xMin, 36) << word.text.toStdString() << " is in the margin";
                EXPECT_LE(word.xMax, page.width - 36) << word.text.toStdString() << " is in the margin";
                EXPECT_LE(word.yMax, page.height - 36) << word.text.toStdString() << " is in the margin";
            }
        }
        EXPECT_EQ(lines, names.size()) << "every charter line, whole";
    }
}

// The scheduler stops answering while the summary goes out: the windows go
// on painting behind a modal progress window that says what the program
// waits for; once the scheduler answers, the document goes out once.
TEST_F(PrinterFaults, SchedulerNotAnsweringDuringTheSummary)
{
    enterCharters(kDay);
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    main().installEventFilter(&counter);
    control(QStringLiteral("freeze"));
    QString shown;
    bool repainted = false;
    // Asked in the loop that keeps the program going while the summary
    // waits: the progress window, then a repaint; 10 seconds at most.
    int paintsBefore = -1;
    int ticks = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const auto *progress = qobject_cast<const QProgressDialog *>(QApplication::activeModalWidget());
        if (paintsBefore < 0 && progress != nullptr && progress->isVisible()) {
            shown = progress->labelText();
            paintsBefore = counter.paints;
            main().update();
        }
        repainted = paintsBefore >= 0 && counter.paints > paintsBefore;
        if (repainted || ++ticks == 200) {
            poll.stop();
            control(QStringLiteral("thaw"));
        }
    });
    poll.start(50);
    chooseMenu(main(), 'F', 'P');
    EXPECT_EQ(shown, QStringLiteral("Waiting for the print service\u2026"));
    EXPECT_TRUE(repainted) << "the main window repaints while the scheduler is silent";
    EXPECT_TRUE(m_boxes->boxes.empty());
    EXPECT_TRUE(waitingLines().isEmpty());
    const QStringList jobs = newJobs(1);
    ASSERT_EQ(jobs.size(), 1);
    for (const QString &name : kDay)
        EXPECT_EQ(jobs[0].count(name), 1) << name.toStdString();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc < 4) {
        std::cerr << "usage: " << argv[0] << " SPOOL_DIR QUEUE CONTROL_COMMAND...\n"
                  << "(run by tests/printing/cups_print_test.sh)\n";
        return 2;
    }
    g_spool = QString::fromLocal8Bit(argv[1]);
    for (int i = 3; i < argc; ++i)
        g_control << QString::fromLocal8Bit(argv[i]);
    return RUN_ALL_TESTS();
}
