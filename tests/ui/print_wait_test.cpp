// SPDX-License-Identifier: MIT
// What the clerk sees while a document goes out: a modal window once it
// takes a while, windows that keep painting, and no key or click taken.
#include "ui/forms/clerk_words.h"
#include "ui/life/print_wait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;

QString qs(const char *text) { return QString::fromUtf8(text); }

ui::PrintProgress::Words words()
{
    return {&forms::words::waitingForPrintService, &forms::words::pagesPrepared, &forms::words::printerLogin};
}

TEST(Progress, ALongJobShowsPagesDoneOfPagesInAllInAModalWindow)
{
    ui::PrintProgress progress(words(), 0ms);
    progress.pageDone(1, 4);
    const QProgressDialog *dialog = progress.dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->isModal());
    EXPECT_EQ(dialog->maximum(), 4);
    EXPECT_EQ(dialog->value(), 1);
    EXPECT_EQ(dialog->labelText(), qs("Preparing the document for the printer: page 1 of 4."));
    progress.pageDone(3, 4);
    EXPECT_EQ(dialog->value(), 3);
}

TEST(Progress, AShortJobShowsNothing)
{
    ui::PrintProgress quick(words(), 1h);
    quick.pageDone(1, 40);
    EXPECT_EQ(quick.dialog(), nullptr);

    ui::PrintProgress onePage(words(), 0ms);
    onePage.pageDone(1, 1);
    EXPECT_EQ(onePage.dialog(), nullptr) << "nothing left to wait for";
}

// The print service answers slowly: the wait runs on, the window says what
// it waits for, events other than input are handled (windows repaint), and
// keys pressed meanwhile are dropped rather than delivered afterwards.
TEST(Progress, WaitingForThePrintServiceKeepsTheProgramPaintedAndTakesNoInput)
{
    QWidget window;
    window.show();
    int keys = 0;
    struct KeyCounter : QObject {
        int &count;
        explicit KeyCounter(int &c) : count(c) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            count += event->type() == QEvent::KeyPress;
            return false;
        }
    } counter(keys);
    window.installEventFilter(&counter);

    ui::PrintProgress progress(words(), 100ms);
    // The "print service" answers once the test lets it: when the window
    // has said what the program waits for, or after 10 s at the latest.
    std::promise<void> answer;
    std::shared_future<void> answered = answer.get_future().share();
    bool handled = false;
    QString shownWhileWaiting;
    QTimer::singleShot(0, [&] {
        handled = true;
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&window, &key);
    });
    QTimer watching;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&watching, &QTimer::timeout, [&] {
        if (progress.dialog() != nullptr && progress.dialog()->isVisible())
            shownWhileWaiting = progress.dialog()->labelText();
        if (!shownWhileWaiting.isEmpty() || clock.elapsed() > 10'000) {
            watching.stop();
            answer.set_value();
        }
    });
    watching.start(10);
    progress.waitFor([answered] { answered.wait(); });
    EXPECT_TRUE(handled) << "events are handled while the print service is waited for";
    EXPECT_EQ(shownWhileWaiting, qs("Waiting for the print service\u2026"));
    EXPECT_EQ(keys, 0) << "a key pressed while waiting reached the window";
}

// A print server asks for a login from the thread that talks to it: the
// clerk answers in a modal window on the main thread (the user name offered,
// the password hidden), typing despite the hold on input, or cancels.
TEST(Progress, APrintServersLoginIsAskedOfTheClerkInAModalWindow)
{
    for (const Qt::Key closeWith : {Qt::Key_Return, Qt::Key_Escape}) {
        ui::PrintProgress progress(words(), 1h);
        QString seen;
        QTimer answering;
        QObject::connect(&answering, &QTimer::timeout, [&] {
            if (auto *dialog = dynamic_cast<ui::LoginDialog *>(QApplication::activeModalWidget())) {
                answering.stop();
                seen = dialog->findChild<QLabel *>()->text() + QLatin1Char('|') + dialog->userField()->text()
                       + QLatin1Char('|') + QString::number(dialog->passwordField()->echoMode());
                QTest::keyClicks(dialog->passwordField(), qs("s3cret"));
                QTest::keyClick(dialog->passwordField(), closeWith);
                if (dialog->isVisible()) // keys that did not reach it must not leave the test waiting
                    dialog->reject();
            }
        });
        answering.start(10);
        std::optional<printing::PrinterLogin> login;
        progress.waitFor([&] { login = progress.askLogin({qs("Front Desk"), qs("clerk"), true}); });
        EXPECT_EQ(seen, forms::words::printerLogin(qs("Front Desk"), true).prompt + qs("|clerk|")
                            + QString::number(QLineEdit::Password));
        EXPECT_EQ(login ? login->user + QLatin1Char('|') + QString::fromUtf8(login->password) : qs("none"),
                  closeWith == Qt::Key_Return ? qs("clerk|s3cret") : qs("none"));
    }
}

TEST(Progress, AFailureWhileWaitingReachesTheCaller)
{
    ui::PrintProgress progress(words(), 1h);
    EXPECT_THROW(progress.waitFor([] { throw std::runtime_error("the connection broke"); }), std::runtime_error);
}

} // namespace
