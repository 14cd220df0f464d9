// SPDX-License-Identifier: MIT
#include "ui/forms/frm_about.h"

#include "ui/widgets/window_setup.h"
#include "ui/widgets/twips.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace forms {
namespace {

QLabel *placeLabel(QWidget *window, const char *name, const QString &text, QRect geometry, Qt::Alignment alignment,
                   const QFont &font)
{
    auto *label = new QLabel(text, window);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setGeometry(geometry);
    // A caption wider than its place wraps, and the label grows about its
    // middle so that every word stays visible.
    if (label->fontMetrics().horizontalAdvance(text) > geometry.width()) {
        label->setWordWrap(true);
        const int height = std::max(geometry.height(), label->heightForWidth(geometry.width()));
        label->setGeometry(geometry.x(), geometry.center().y() - height / 2, geometry.width(), height);
    }
    return label;
}

} // namespace

frmAbout::frmAbout(Owner &owner)
{
    ui::setUpWindow(*this, "frmAbout", QStringLiteral("About Selvaro's Yacht Charter Project"), owner.icon());
    ui::fillBackground(*this, QColor(192, 192, 192));
    setFont(ui::uiFont(8.25));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    using ui::twipsRect;
    const QFont text = ui::uiFont(8.25);
    lblTitle = placeLabel(this, "lblTitle", QStringLiteral("Selvaro's Yacht Charter Project"),
                          twipsRect(360, 480, 3375, 495), Qt::AlignHCenter, ui::uiFont(12, true));
    lblProName = placeLabel(this, "lblProName", QStringLiteral("Written by the Selvaro team"),
                            twipsRect(720, 1320, 2655, 255), Qt::AlignHCenter, text);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setFont(text);
    cmdOK->setGeometry(twipsRect(1680, 2160, 735, 375));
    cmdOK->setDefault(false);
    Label1 = placeLabel(this, "Label1", QStringLiteral("© 2026"), twipsRect(1200, 1680, 1335, 255),
                        Qt::AlignRight, text);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    resize(ui::twipsSize(4050, 2685));
}

void frmAbout::cmdOK_Click()
{
    hide();
}

void frmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    cmdOK->setFocus();
    // The menu that opened this window hands the keyboard back to its own
    // window as it closes; take it once that has happened.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            ui::takeFocus(*this);
    });
}

} // namespace forms
