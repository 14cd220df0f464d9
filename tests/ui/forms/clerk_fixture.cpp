// SPDX-License-Identifier: MIT
#include "clerk_fixture.h"

#include "ui/widgets/combo_box.h"

#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace testing_support {

namespace {

// The figures the cases expect are written as the C locale shows them: the
// developer's own regional settings must not change them (a case that tries
// other settings sets LC_ALL itself). Set before main, so before Qt or the
// program reads them.
[[maybe_unused]] const bool g_cLocale = [] {
    for (const char *name : {"LC_ALL", "LC_NUMERIC", "LC_MONETARY"})
        qunsetenv(name);
    return qputenv("LANG", "C.UTF-8");
}();

} // namespace

printing::Delivery CapturedPrinter::send(const reports::PrintDocument &document, const QString &jobName,
                                        printing::PrintWatcher *)
{
    if (duringSend)
        duringSend();
    if (refuse)
        throw printing::PrinterError(printing::PrintProblem::Refused, QStringLiteral("test"),
                                     QStringLiteral("The printer is not accepting jobs."));
    QStringList lines;
    for (const auto &line : document.lines())
        lines.append(line.plainText());
    documents.push_back(lines);
    jobNames.append(jobName);
    return printing::Delivery::Printed;
}

TemporaryHome::TemporaryHome(bool withDocuments)
{
    if (withDocuments)
        QDir(dir.path()).mkdir(QStringLiteral("Documents"));
    qputenv("HOME", QFile::encodeName(dir.path()));
    qunsetenv("XDG_CONFIG_HOME"); // its user-dirs.dirs could name another folder
}

QStringList TemporaryHome::savedFiles() const
{
    QDir folder(dir.path());
    folder.cd(QStringLiteral("Documents"));
    folder.setNameFilters({QStringLiteral("*.pdf")});
    QStringList files;
    for (const QFileInfo &file : folder.entryInfoList(QDir::Files))
        files.append(file.filePath());
    return files;
}

void ClerkTest::SetUp()
{
    startProgram();
}

void ClerkTest::startProgram(std::unique_ptr<printing::DocumentSender> sender, bool realBoxes)
{
    m_program.reset();
    if (!m_boxes)
        m_boxes = new RecordedBoxes;
    m_boxes->boxes.clear();
    if (!sender) {
        auto captured = std::make_unique<CapturedPrinter>();
        m_printer = captured.get();
        sender = std::move(captured);
    } else {
        m_printer = nullptr;
    }
    ui::Program::Parts parts;
    parts.sender = std::move(sender);
    parts.messageBoxes = realBoxes ? nullptr : m_boxes;
    m_program = std::make_unique<ui::Program>(std::move(parts), platform::RegionalFormat::fromEnvironment());
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
}

void ClerkTest::TearDown()
{
    m_program.reset();
    // A case that ended the program leaves every later event loop returning
    // at once; an application loop of its own clears that for the next case.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    delete m_boxes;
    m_boxes = nullptr;
}

void ClerkTest::chooseMenu(QWidget &window, char menuKey, char itemKey)
{
    QTest::keyClick(&window, static_cast<Qt::Key>(menuKey), Qt::AltModifier);
    QWidget *menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr) << "Alt+" << menuKey << " opened no menu";
    QTest::keyClick(menu, static_cast<Qt::Key>(itemKey));
}

void ClerkTest::inModalWindow(QWidget &window, char menuKey, char itemKey, const std::function<void()> &steps)
{
    const std::string title = window.windowTitle().toStdString();
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        if (QTest::qWaitForWindowActive(&window))
            steps();
        else
            ADD_FAILURE() << '"' << title << "\" did not become active";
        if (window.isVisible()) {
            ADD_FAILURE() << '"' << title << "\" is still open";
            window.hide();
        }
    });
    chooseMenu(main(), menuKey, itemKey);
    EXPECT_TRUE(ran) << '"' << title << "\" did not open modally";
    if (main().isVisible()) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&main())) << "the main window did not take the focus back";
    }
}

void ClerkTest::type(const QString &text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
}

void ClerkTest::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    QTest::keyClick(target, key, modifiers);
}

void ClerkTest::enterCharter(const QString &name, const QString &hours, const QString &yachtType, int sizeSteps)
{
    press(Qt::Key_N, Qt::AltModifier);
    type(name);
    press(Qt::Key_H, Qt::AltModifier);
    type(hours);
    press(Qt::Key_Y, Qt::AltModifier);
    type(yachtType);
    press(Qt::Key_S, Qt::AltModifier);
    for (int step = 0; step < sizeSteps; ++step)
        press(Qt::Key_Down);
}

QStringList ClerkTest::waitingLines() const
{
    QStringList lines;
    for (const auto &line : m_program->printer().document().lines())
        lines.append(line.plainText());
    return lines;
}

QStringList ClerkTest::boxTexts() const
{
    QStringList texts;
    for (const auto &box : m_boxes->boxes)
        texts.append(box.prompt);
    return texts;
}

} // namespace testing_support
