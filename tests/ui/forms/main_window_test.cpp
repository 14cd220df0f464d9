// SPDX-License-Identifier: MIT
#include "clerk_fixture.h"

#include "core/accounting/running_totals.h"
#include "printing/print_error.h"
#include "ui/command_guard.h"
#include "ui/life/end_of_day_printing.h"
#include "ui/widgets/combo_box.h"
#include "ui/forms/clerk_words.h"
#include "ui/widgets/window_setup.h"

#include <QEventLoop>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSessionManager>
#include <QTest>
#include <QTimer>

using testing_support::ClerkTest;

namespace {

const QStringList kInitialYachtList = {
    QString(),
    QStringLiteral("                            Yacht List"),
    QString(),
    QStringLiteral("              C & C"),
    QStringLiteral("              Catalina"),
    QStringLiteral("              Coronada"),
    QStringLiteral("              Excalibur"),
    QStringLiteral("              Hans Christian"),
    QStringLiteral("              Hobie"),
    QStringLiteral("              Ranger"),
    QStringLiteral("              WaveLength"),
};

class MainWindow : public ClerkTest {
protected:
    // One charter of `hours` on a 22-foot Hobie.
    void enterOneCharter(const QString &hours)
    {
        inCharterWindow([&] {
            enterCharter(QStringLiteral("Jones"), hours, QString(), 1);
            press(Qt::Key_Y, Qt::AltModifier);
            for (int i = 0; i < 6; ++i)
                press(Qt::Key_Down);
            press(Qt::Key_Return);
            press(Qt::Key_Escape);
        });
    }
};

TEST_F(MainWindow, StartsWithEveryCommandAvailableAndNoOtherWindow)
{
    EXPECT_FALSE(program().hasCharterWindow());
    for (QAction *item : {main().mnuFileNewCharter, main().mnuFilePrintSummary, main().mnuFilePrintYachtType,
                          main().mnuFileExit, main().mnuHelpAbout})
        EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
}

TEST_F(MainWindow, SummaryWithoutChartersSaysSoAndPrintsNothing)
{
    chooseMenu(main(), 'F', 'P');
    ASSERT_EQ(m_boxes->boxes.size(), 1u);
    EXPECT_EQ(m_boxes->boxes[0].prompt, QStringLiteral("No data to summarize"));
    EXPECT_EQ(m_boxes->boxes[0].title, QStringLiteral("Error"));
    EXPECT_EQ(m_boxes->boxes[0].icon, ui::MessageIcon::None);
    EXPECT_TRUE(m_printer->documents.empty());
    EXPECT_TRUE(waitingLines().isEmpty());
}

TEST_F(MainWindow, SummaryEndsTheDocumentOfWaitingChartersWithTheFigures)
{
    enterOneCharter(QStringLiteral("7"));
    chooseMenu(main(), 'F', 'P');
    ASSERT_EQ(m_printer->documents.size(), 1u);
    const QStringList &document = m_printer->documents[0];
    ASSERT_EQ(document.size(), 4);
    EXPECT_TRUE(document[0].startsWith(QStringLiteral("    Jones")));
    EXPECT_EQ(document[1], QString());
    EXPECT_EQ(document[2], QStringLiteral("              Average Hours Chartered: 7.0"));
    EXPECT_EQ(document[3], QStringLiteral("              Total Revenue: $665.00"));
    EXPECT_EQ(m_printer->jobNames, QStringList{QStringLiteral("Selvaro's Yachts \u2013 charters and summary")});
    EXPECT_TRUE(waitingLines().isEmpty());
    EXPECT_TRUE(m_boxes->boxes.empty());
}

TEST_F(MainWindow, SummaryAveragesOverEveryCharterAndResetsNothing)
{
    enterOneCharter(QStringLiteral("2.5"));
    enterOneCharter(QStringLiteral("3"));
    enterOneCharter(QStringLiteral("4"));
    chooseMenu(main(), 'F', 'P');
    chooseMenu(main(), 'F', 'P');
    ASSERT_EQ(m_printer->documents.size(), 2u);
    EXPECT_EQ(m_printer->documents[0].size(), 6);
    EXPECT_EQ(m_printer->documents[1],
              (QStringList{QString(), QStringLiteral("              Average Hours Chartered: 3.2"),
                           QStringLiteral("              Total Revenue: $902.50")}));
}

TEST_F(MainWindow, YachtTypesCannotBePrintedWhileChartersWaitAndCanAfterTheSummary)
{
    enterOneCharter(QStringLiteral("2"));
    EXPECT_FALSE(main().mnuFilePrintYachtType->isEnabled());
    EXPECT_TRUE(main().mnuFile->actions().contains(main().mnuFilePrintYachtType)) << "disabled, not hidden";
    chooseMenu(main(), 'F', 'Y');
    EXPECT_TRUE(m_printer->documents.empty());
    if (QWidget *menu = QApplication::activePopupWidget())
        QTest::keyClick(menu, Qt::Key_Escape);

    chooseMenu(main(), 'F', 'P');
    EXPECT_TRUE(main().mnuFilePrintYachtType->isEnabled());
    chooseMenu(main(), 'F', 'Y');
    ASSERT_EQ(m_printer->documents.size(), 2u);
    EXPECT_EQ(m_printer->documents[1].mid(0, 3), kInitialYachtList.mid(0, 3));
}

TEST_F(MainWindow, YachtTypesBeforeAnyCharterPrintTheInitialListAndCreateTheEntryWindowHidden)
{
    chooseMenu(main(), 'F', 'Y');
    ASSERT_EQ(m_printer->documents.size(), 1u);
    EXPECT_EQ(m_printer->documents[0], kInitialYachtList);
    EXPECT_TRUE(program().hasCharterWindow());
    EXPECT_FALSE(charter().isVisible());
    EXPECT_TRUE(main().isVisible());
}

TEST_F(MainWindow, YachtTypesPrintTheListAsEdited)
{
    inCharterWindow([&] {
        enterCharter(QStringLiteral("Jones"), QStringLiteral("1"), QStringLiteral("Dufour"), 1);
        press(Qt::Key_Return);
        press(Qt::Key_Escape);
    });
    chooseMenu(main(), 'F', 'P');
    chooseMenu(main(), 'F', 'Y');
    ASSERT_EQ(m_printer->documents.size(), 2u);
    EXPECT_EQ(m_printer->documents[1].size(), 12);
    EXPECT_EQ(m_printer->documents[1][6], QStringLiteral("              Dufour"));
}

TEST_F(MainWindow, ASummaryThatCannotBePrintedKeepsEveryLineAndTheRetryPrintsEachOnce)
{
    enterOneCharter(QStringLiteral("2"));
    enterOneCharter(QStringLiteral("3"));
    const QStringList waiting = waitingLines();
    m_printer->refuse = true;
    chooseMenu(main(), 'F', 'P');
    ASSERT_EQ(m_boxes->boxes.size(), 1u);
    EXPECT_TRUE(m_boxes->boxes[0].prompt.contains(QStringLiteral("is not accepting jobs")));
    EXPECT_EQ(waitingLines(), waiting) << "the summary's lines are taken back";
    EXPECT_FALSE(main().mnuFilePrintYachtType->isEnabled());
    EXPECT_TRUE(main().isVisible());

    m_printer->refuse = false;
    chooseMenu(main(), 'F', 'P');
    ASSERT_EQ(m_printer->documents.size(), 1u);
    EXPECT_EQ(m_printer->documents[0].size(), 5);
    EXPECT_EQ(m_printer->documents[0].mid(0, 2), waiting);
    EXPECT_TRUE(main().mnuFilePrintYachtType->isEnabled());
}

TEST_F(MainWindow, AYachtListThatCannotBePrintedLeavesNothingWaiting)
{
    m_printer->refuse = true;
    chooseMenu(main(), 'F', 'Y');
    EXPECT_EQ(m_boxes->boxes.size(), 1u);
    EXPECT_TRUE(waitingLines().isEmpty());
    m_printer->refuse = false;
    chooseMenu(main(), 'F', 'Y');
    ASSERT_EQ(m_printer->documents.size(), 1u);
    EXPECT_EQ(m_printer->documents[0], kInitialYachtList);
}

// Runs `action` inside an event loop; true when the program asked every
// event loop to stop.
bool endsTheProgram(const std::function<void()> &action)
{
    QEventLoop loop;
    QTimer::singleShot(0, action);
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(99); });
    return loop.exec() == 0;
}

// File > Exit and closing the main window end the program alike: nothing is
// asked, and the waiting lines go out once the loop has stopped.
TEST_F(MainWindow, ExitOrClosingTheMainWindowEndsTheProgramAndTheWaitingLinesGoToThePrinter)
{
    for (const bool closing : {false, true}) {
        SCOPED_TRACE(closing ? "closing the main window" : "File > Exit");
        if (closing) { // a case of its own: the first one ended the program
            TearDown();
            SetUp();
        }
        enterOneCharter(QStringLiteral("2"));
        EXPECT_TRUE(endsTheProgram([&] {
            if (closing)
                main().close();
            else
                chooseMenu(main(), 'F', 'X');
        }));
        EXPECT_FALSE(main().isVisible());
        EXPECT_TRUE(m_boxes->boxes.empty()) << "ending asks nothing";
        program().endOfDay().printWaitingLinesAtEnd(); // what the program does once its loop has stopped
        ASSERT_EQ(m_printer->documents.size(), 1u);
        EXPECT_EQ(m_printer->documents[0].size(), 1);
    }
}

// Asked to end while a summary is on its way, the program has its lines on
// disk before it waits for it: the file goes once the printer took the
// summary; refused, the lines are saved anew at the end, in one file.
TEST_F(MainWindow, ASummaryOnItsWayAsTheProgramEndsIsOnDiskUntilTaken)
{
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "refused" : "taken");
        if (refused) { // a case of its own: the first one ended the program
            TearDown();
            SetUp();
        }
        const testing_support::TemporaryHome home;
        enterOneCharter(QStringLiteral("2"));
        m_printer->refuse = refused;
        QStringList onDiskWhileSent;
        m_printer->duringSend = [&] {
            program().end();
            onDiskWhileSent = home.savedFiles();
        };
        EXPECT_TRUE(endsTheProgram([&] { chooseMenu(main(), 'F', 'P'); }));
        m_printer->duringSend = nullptr;
        ASSERT_EQ(onDiskWhileSent.size(), 1);
        EXPECT_EQ(home.savedFiles(), refused ? onDiskWhileSent : QStringList());
        program().endOfDay().printWaitingLinesAtEnd();
        const QStringList saved = home.savedFiles();
        EXPECT_EQ(saved.size(), refused ? 1 : 0);
        EXPECT_TRUE(!refused || (m_boxes->boxes.size() == 2 && m_boxes->boxes[1].prompt.contains(saved[0])));
    }
}

// The program asked to end while the box that tells of a refused summary is
// open: the end closes it, and it is shown again once the loop has stopped
// (as main() then does), or its text goes to standard error without a display.
TEST_F(MainWindow, AnOutcomeTheEndClosesIsShownAgainOnceTheLoopHasStopped)
{
    const testing_support::TemporaryHome home; // where the end saves the refused lines
    startProgram(nullptr, true);
    enterOneCharter(QStringLiteral("2"));
    m_printer->refuse = true;
    EXPECT_TRUE(endsTheProgram([&] {
        QTimer::singleShot(0, [&] { program().end(); }); // runs while the summary goes out, or in the box
        chooseMenu(main(), 'F', 'P');
    }));
    const QStringList unread = program().unreadMessages();
    ASSERT_EQ(unread.size(), 1);
    EXPECT_TRUE(unread[0].contains(QStringLiteral("is not accepting jobs")));

    QString shownAgain;
    QTimer::singleShot(0, qApp, [&] {
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shownAgain = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        program().showMessagesCutShort();
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec(); // a stopped application loop, as main() has after its own
    EXPECT_EQ(shownAgain, unread[0]);
    EXPECT_TRUE(program().unreadMessages().isEmpty());
}

// The printer refuses the lines at the end: they are saved in the documents
// folder, else in the home folder, and are lost only where neither takes
// them. The clerk is told which, with the file's full path.
TEST_F(MainWindow, WaitingLinesThePrinterRefusesAtTheEndAreSavedAndTheClerkIsToldWhere)
{
    const QRegularExpression name(QStringLiteral(
        "/Selvaro's Yachts \u2013 charters not yet printed \\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d\\.pdf$"));
    const struct {
        const char *folder; // in the home folder, or null for a home that is not there
        bool documents;
    } cases[] = {{"/Documents/", true}, {"/", false}, {nullptr, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.folder ? c.folder : "no home");
        startProgram();
        enterOneCharter(QStringLiteral("2"));
        const QStringList waiting = waitingLines();
        m_printer->refuse = true;
        testing_support::TemporaryHome home(c.documents);
        if (!c.folder)
            qputenv("HOME", QFile::encodeName(home.path() + QStringLiteral("/gone")));
        program().endOfDay().printWaitingLinesAtEnd();
        ASSERT_EQ(m_boxes->boxes.size(), 1u);
        const QString &told = m_boxes->boxes[0].prompt;
        EXPECT_TRUE(told.startsWith(QStringLiteral("The charter lines still waiting could not be printed before "
                                                   "the program ended. ")));
        const QStringList saved = home.savedFiles();
        if (!c.folder) {
            EXPECT_TRUE(told.contains(QStringLiteral(" failed too (No such file or directory), so they are lost.")))
                << told.toStdString();
            EXPECT_EQ(waitingLines(), waiting);
            continue;
        }
        ASSERT_EQ(saved.size(), 1);
        EXPECT_TRUE(saved[0].startsWith(home.path() + QLatin1String(c.folder)) && name.match(saved[0]).hasMatch())
            << saved[0].toStdString();
        EXPECT_TRUE(told.contains(QStringLiteral("They were saved in \"%1\".").arg(saved[0]))) << told.toStdString();
        EXPECT_TRUE(waitingLines().isEmpty());
    }
}

// Before a logout the session manager asks the program to commit its data:
// the waiting lines go out, or into a file, and nothing ends or asks.
TEST_F(MainWindow, TheSessionManagersCommitRequestSendsTheWaitingLinesAndTheProgramGoesOn)
{
    auto *session = qApp->findChild<QSessionManager *>();
    ASSERT_NE(session, nullptr);
    program().endOfDay().commitWaitingLinesOnSessionRequest();
    enterOneCharter(QStringLiteral("2"));
    emit qApp->commitDataRequest(*session);
    EXPECT_EQ(m_printer->documents.size(), 1u);

    testing_support::TemporaryHome home;
    enterOneCharter(QStringLiteral("3"));
    m_printer->refuse = true;
    testing::internal::CaptureStderr();
    emit qApp->commitDataRequest(*session);
    const std::string told = testing::internal::GetCapturedStderr();
    ASSERT_EQ(home.savedFiles().size(), 1);
    EXPECT_NE(told.find(home.savedFiles()[0].toStdString()), std::string::npos) << told;
    EXPECT_TRUE(m_boxes->boxes.empty()) << "this session manager lets nothing interact";
    EXPECT_TRUE(waitingLines().isEmpty());
    EXPECT_TRUE(main().isVisible());
}

// A window whose commands throw what the program's commands could; the main
// window tells what stopped them.
struct ThrowingWindow {
    forms::frmMain &shown;
    void commandStopped(const platform::PlatformError *fault) { shown.commandStopped(fault); }
    void runOutOfMemory() { throw std::bad_alloc(); }
    void loseThePrinter() { throw printing::PrinterError(printing::PrintProblem::NoPrintService); }
};

TEST_F(MainWindow, ACommandStoppedByAnyFaultIsToldAndTheProgramGoesOn)
{
    ThrowingWindow window{main()};
    ui::guarded(&window, &ThrowingWindow::runOutOfMemory)();
    ui::guarded(&window, &ThrowingWindow::loseThePrinter)();
    ASSERT_EQ(m_boxes->boxes.size(), 2u);
    EXPECT_TRUE(m_boxes->boxes[0].prompt.contains(QStringLiteral("ran short of memory")));
    EXPECT_TRUE(m_boxes->boxes[1].prompt.startsWith(QStringLiteral("The document could not be printed.")));
    EXPECT_TRUE(main().isVisible());
}

} // namespace

// A failure CUPS gave no reason for is told without one: no reason made up,
// no empty parentheses or colon.
TEST(ClerkWords, AFailureWithoutAReasonIsToldWithoutOne)
{
    using printing::PrintProblem;
    for (const PrintProblem problem :
         {PrintProblem::HandOverFailed, PrintProblem::Refused, PrintProblem::CannotPrintDocuments}) {
        const QString said =
            forms::words::documentNotPrinted(printing::PrinterError(problem, QStringLiteral("Front"), QString()));
        EXPECT_TRUE(said.contains(QStringLiteral("\"Front\""))) << said.toStdString();
        EXPECT_FALSE(said.contains(QStringLiteral("()")) || said.contains(QStringLiteral(": \n"))
                     || said.contains(QRegularExpression(QStringLiteral(":\\s*$"), QRegularExpression::MultilineOption)))
            << said.toStdString();
    }
}
