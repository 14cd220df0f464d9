// SPDX-License-Identifier: MIT
#pragma once

// Drives the windows the way a clerk does: real key events through QTest,
// message boxes recorded instead of shown, printed documents captured.

#include "printing/print_service.h"
#include "ui/forms/frm_charter.h"
#include "ui/forms/frm_main.h"
#include "ui/program.h"
#include "ui/message_boxes.h"

#include <QApplication>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

// Lets GoogleTest show texts and lists of texts readably.
inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace testing_support {

// Records every message box instead of showing it.
class RecordedBoxes final : public ui::MessageBoxPresenter {
public:
    void present(const ui::MessageBoxRequest &request) override { boxes.push_back(request); }

    std::vector<ui::MessageBoxRequest> boxes;
};

// Keeps every document that reaches the "printer", as plain text lines;
// can be told to refuse documents as a broken printer would.
class CapturedPrinter final : public printing::DocumentSender {
public:
    printing::Delivery send(const reports::PrintDocument &document, const QString &jobName,
                            printing::PrintWatcher *progress) override;

    std::vector<QStringList> documents;
    QStringList jobNames;
    bool refuse = false;
    std::function<void()> duringSend; // runs as each document goes out, before it is taken or refused
};

// A home folder of its own while it lives, with a documents folder unless
// told otherwise: where the program saves the lines it could not print.
struct TemporaryHome {
    explicit TemporaryHome(bool withDocuments = true);
    ~TemporaryHome() { qputenv("HOME", previous); }
    QString path() const { return dir.path(); }
    // The PDF files in the documents folder, or in the home without one.
    QStringList savedFiles() const;

    QTemporaryDir dir;
    QByteArray previous = qgetenv("HOME");
};

class ClerkTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A program of its own for each case, as main() makes one; its printer
    // is `sender`, the captured printer unless a case passes another.
    // With `realBoxes`, message boxes are real QMessageBoxes, not recorded.
    void startProgram(std::unique_ptr<printing::DocumentSender> sender = nullptr, bool realBoxes = false);

    ui::Program &program() { return *m_program; }
    forms::frmMain &main() { return m_program->frmMain(); }
    forms::frmCharter &charter() { return m_program->frmCharter(); }
    printing::PrintService &printer() { return m_program->printer(); }

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
    std::unique_ptr<ui::Program> m_program;
};

} // namespace testing_support
