// SPDX-License-Identifier: MIT
#pragma once

// Drives the windows the way a clerk does: real key events through QTest,
// message boxes recorded instead of shown, printed documents captured.

#include "forms/frm_charter.h"
#include "forms/frm_main.h"
#include "platform/message_box.h"
#include "platform/printer.h"

#include <QApplication>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// Lets GoogleTest show texts and lists of texts readably.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace testing_support {

// Records every message box instead of showing it.
class RecordedBoxes final : public platform::MessageBoxPresenter {
public:
    void present(const platform::MessageBoxRequest &request) override { boxes.push_back(request); }

    std::vector<platform::MessageBoxRequest> boxes;
};

// Keeps every document that reaches the "printer", as plain text lines;
// can be told to refuse documents as a broken printer would.
class CapturedPrinter final : public platform::DocumentSender {
public:
    void send(const reports::PrintDocument &document, const QString &jobName) override;

    std::vector<QStringList> documents;
    QStringList jobNames;
    bool refuse = false;
};

class ClerkTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    forms::frmMain &main() { return forms::frmMain::instance(); }
    forms::frmCharter &charter() { return forms::frmCharter::instance(); }

    // Alt+<menu key>, then <item key> in the menu that opened.
    void chooseMenu(QWidget &window, char menuKey, char itemKey);
    // Chooses the menu item of the main window that opens `window` modally,
    // then runs `steps` while it is open; returns once it is hidden again.
    void inModalWindow(QWidget &window, char menuKey, char itemKey, const std::function<void()> &steps);
    // File > New Charter, then `steps` while the entry window is open.
    void inCharterWindow(const std::function<void()> &steps) { inModalWindow(charter(), 'F', 'N', steps); }
    // Types into whatever has the keyboard focus.
    void type(const QString &text);
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Fills the four fields by keyboard: access keys, typing, picking the size.
    void enterCharter(const QString &name, const QString &hours, const QString &yachtType, int sizeSteps);

    QWidget *focus() const { return QApplication::focusWidget(); }
    QStringList waitingLines() const;
    QStringList boxTexts() const;

    RecordedBoxes *m_boxes = nullptr;
    CapturedPrinter *m_printer = nullptr;
};

} // namespace testing_support
