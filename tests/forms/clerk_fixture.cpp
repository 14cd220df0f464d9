// SPDX-License-Identifier: MIT
#include "clerk_fixture.h"

#include "accounting/running_totals.h"
#include "platform/combo_box.h"
#include "platform/errors.h"
#include "platform/form_registry.h"

#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace testing_support {

void CapturedPrinter::send(const reports::PrintDocument &document, const QString &jobName)
{
    if (refuse)
        throw platform::PrinterError("The printer \"test\" is not accepting jobs.");
    QStringList lines;
    for (const auto &line : document.lines())
        lines.append(line.plainText());
    documents.push_back(lines);
    jobNames.append(jobName);
}

void ClerkTest::SetUp()
{
    m_boxes = new RecordedBoxes;
    platform::setMessageBoxPresenter(m_boxes);
    auto printer = std::make_unique<CapturedPrinter>();
    m_printer = printer.get();
    platform::Printer::instance().setSender(std::move(printer));
    // Start from an empty document and no charters, also when every case
    // runs in one process.
    platform::Printer::instance().endDoc();
    m_printer->documents.clear();
    m_printer->jobNames.clear();
    accounting::programTotals() = accounting::RunningTotals();
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
}

void ClerkTest::TearDown()
{
    platform::FormRegistry::instance().destroyAll();
    platform::setMessageBoxPresenter(nullptr);
    delete m_boxes;
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
    for (const auto &line : platform::Printer::instance().document().lines())
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
