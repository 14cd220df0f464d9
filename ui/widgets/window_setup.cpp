// SPDX-License-Identifier: MIT
#include "ui/widgets/window_setup.h"

#include "ui/widgets/enter_key.h"
#include "ui/widgets/shared_access_keys.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFont>
#include <QIcon>
#include <QScreen>
#include <QWidget>
#include <QWindow>

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
            takeFocus(m_window);
        }
        return false;
    }

private:
    QWidget &m_window;
    bool m_placed = false;
};

} // namespace

void setUpWindow(QWidget &window, const char *name, const QString &caption, const QIcon &icon,
                 const QColor &background)
{
    window.setObjectName(QLatin1String(name));
    window.setWindowTitle(caption);
    window.setWindowIcon(icon);
    if (background.isValid()) {
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, background);
        window.setPalette(palette);
        window.setAutoFillBackground(true);
    }
    new ShowingWatcher(window);
    installSharedAccessKeys();
    keepEnterForDefaultButton();
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
