// SPDX-License-Identifier: MIT
#include "ui/widgets/window_setup.h"

#include "ui/widgets/enter_key.h"
#include "ui/widgets/screen_reader.h"
#include "ui/widgets/shared_access_keys.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFont>
#include <QIcon>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QWidget>
#include <QWindow>

#include <cmath>

namespace ui {

QFont uiFont(double points, bool bold)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

namespace {

void centreOnScreen(QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect available = screen->availableGeometry();
    QRect frame = window.frameGeometry();
    frame.moveCenter(available.center());
    window.move(frame.topLeft());
}

// Watches a window's showing: centres it before it first appears (the show
// event comes before the window is mapped) and hands it the keyboard.
class ShowingWatcher final : public QObject {
public:
    explicit ShowingWatcher(QWidget &window) : QObject(&window), m_window(window) { window.installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_window && event->type() == QEvent::Show) {
            if (!m_placed) {
                centreOnScreen(m_window);
                m_placed = true;
            }
            // A command chosen from the menu of a window without fields
            // leaves the focus in the menu bar, where keys do little and a
            // screen reader finds a menu bar that is not in use: the window
            // takes it back.
            if (auto *bar = qobject_cast<QMenuBar *>(m_window.focusWidget()); bar != nullptr)
                bar->clearFocus();
            takeFocus(m_window);
        }
        return false;
    }

private:
    QWidget &m_window;
    bool m_placed = false;
};

} // namespace

void setUpWindow(QWidget &window, const char *name, const QString &caption, const QIcon &icon)
{
    window.setObjectName(QLatin1String(name));
    window.setWindowTitle(caption);
    window.setWindowIcon(icon);
    new ShowingWatcher(window);
    installSharedAccessKeys();
    keepEnterForDefaultButton();
    installScreenReaderSupport();
}

void fillBackground(QWidget &area, const QColor &colour)
{
    // Relative luminance, as contrast is measured (WCAG): black stands out
    // more than white on anything lighter than about 18 %.
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    const double luminance = 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
                             0.0722 * linear(colour.blueF());
    const bool blackOnIt = (luminance + 0.05) / 0.05 >= 1.05 / (luminance + 0.05);
    QPalette palette = area.palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, blackOnIt ? Qt::black : Qt::white);
    area.setPalette(palette);
    area.setAutoFillBackground(true);
}

void fitToText(QLineEdit &field, const QString &text)
{
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.lineWidth = field.hasFrame() ? field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field) : 0;
    const QRect contents =
        field.style()->subElementRect(QStyle::SE_LineEditContents, &option, &field).marginsRemoved(field.textMargins());
    // A field keeps 2 pixels free on either side of its text, and scrolls
    // once the cursor after the text would reach the end of the rest.
    constexpr int kSideMargins = 2 * 2;
    const QFontMetrics metrics = field.fontMetrics();
    const int wider = metrics.horizontalAdvance(text) + 1 + kSideMargins - contents.width();
    const int taller = metrics.height() - contents.height();
    field.resize(field.width() + std::max(0, wider), field.height() + std::max(0, taller));
}

void takeFocus(QWidget &window)
{
    window.raise();
    window.activateWindow();
}

void showModalOver(QDialog &dialog, QWidget &owner)
{
    // Window managers keep a transient window above its owner.
    dialog.winId();
    if (dialog.windowHandle() != nullptr && owner.windowHandle() != nullptr)
        dialog.windowHandle()->setTransientParent(owner.windowHandle());
    dialog.exec();
    if (owner.isVisible())
        owner.activateWindow();
}

} // namespace ui
