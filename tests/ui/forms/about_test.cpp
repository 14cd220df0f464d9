// SPDX-License-Identifier: MIT
#include "clerk_fixture.h"

#include "ui/forms/frm_about.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

using testing_support::ClerkTest;

namespace {

class About : public ClerkTest {
protected:
    forms::frmAbout &about() { return program().frmAbout(); }

    // Help > About, then `steps` while the About window is shown.
    void inAboutWindow(const std::function<void()> &steps) { inModalWindow(about(), 'H', 'A', steps); }
};

TEST_F(About, ShowsTheSameWindowEachTimeOverTheBlockedMainWindow)
{
    const forms::frmAbout *first = nullptr;
    inAboutWindow([&] {
        first = &about();
        EXPECT_TRUE(main().isVisible());
        EXPECT_EQ(QApplication::activeModalWidget(), &about());
        EXPECT_TRUE(QTest::qWaitFor([&] { return focus() == about().cmdOK; }, 2000)) << "the button has the keyboard";
        // The main window takes no input meanwhile.
        EXPECT_EQ(about().windowModality(), Qt::ApplicationModal);
        press(Qt::Key_Space);
    });
    EXPECT_FALSE(about().isVisible());
    EXPECT_TRUE(main().isVisible());
    // The offscreen platform leaves the keyboard with the closed modal
    // window; a window manager gives it back to the main window. (Not
    // QWidget::activateWindow: the main window counts as active while its
    // closed child has the keyboard, so it asks for nothing.)
    main().windowHandle()->requestActivate();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &main(); }, 2000));
    inAboutWindow([&] {
        EXPECT_EQ(&about(), first);
        EXPECT_TRUE(QTest::qWaitFor([&] { return focus() == about().cmdOK; }, 2000));
        press(Qt::Key_Return); // Enter presses the button that has the focus
    });
    EXPECT_FALSE(about().isVisible());
}

TEST_F(About, NamesTheProgramWithoutTakingEnterFromTheFocus)
{
    EXPECT_EQ(about().lblTitle->text(), QStringLiteral("Selvaro's Yacht Charter Project"));
    EXPECT_FALSE(about().lblProName->text().isEmpty());
    EXPECT_FALSE(about().cmdOK->isDefault());
}

TEST_F(About, EveryTextIsFullyVisible)
{
    for (const QLabel *label : {about().lblTitle, about().lblProName, about().Label1}) {
        const QRect needed = label->fontMetrics().boundingRect(label->geometry(), static_cast<int>(Qt::TextWordWrap | label->alignment()),
                                                               label->text());
        EXPECT_LE(needed.height(), label->height()) << label->objectName().toStdString();
        EXPECT_LE(needed.width(), label->width()) << label->objectName().toStdString();
        EXPECT_TRUE(about().rect().contains(label->geometry())) << label->objectName().toStdString();
    }
}

TEST_F(About, OnlyTheButtonTakesTheFocus)
{
    for (const QWidget *child : about().findChildren<QWidget *>())
        EXPECT_EQ(child->focusPolicy() != Qt::NoFocus, child == about().cmdOK) << child->objectName().toStdString();
}

TEST_F(About, EveryWindowCarriesTheProgramIcon)
{
    for (const QWidget *window : {static_cast<QWidget *>(&main()), static_cast<QWidget *>(&charter()),
                                  static_cast<QWidget *>(&about())})
        EXPECT_FALSE(window->windowIcon().isNull()) << window->objectName().toStdString();
    ASSERT_NE(main().Image1->pixmap().isNull(), true);
}

} // namespace
