// SPDX-License-Identifier: MIT
#include "ui/forms/frm_charter.h"

#include "core/accounting/pricing.h"
#include "core/accounting/rate_table.h"
#include "core/accounting/running_totals.h"
#include "core/platform/errors.h"
#include "core/platform/regional_format.h"
#include "printing/print_service.h"
#include "ui/widgets/combo_box.h"
#include "ui/widgets/default_button.h"
#include "ui/widgets/field_text_guard.h"
#include "ui/widgets/screen_reader.h"
#include "ui/forms/clerk_words.h"
#include "ui/forms/msg_box.h"
#include "ui/command_guard.h"
#include "ui/widgets/window_setup.h"
#include "ui/widgets/twips.h"
#include "core/reports/layouts.h"

#include <utility>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace forms {
namespace {

const QStringList kInitialYachtTypes = {
    QStringLiteral("C & C"),          QStringLiteral("Catalina"), QStringLiteral("Coronada"),
    QStringLiteral("Excalibur"),      QStringLiteral("Hans Christian"), QStringLiteral("Hobie"),
    QStringLiteral("Ranger"),         QStringLiteral("WaveLength"),
};

QStringList initialSizes()
{
    QStringList sizes;
    for (const accounting::SizeRate &entry : accounting::kRateTable)
        sizes.append(QString::number(entry.sizeInFeet));
    return sizes;
}

// Creates a control with its name and regular-weight font at its place.
template <typename Control, typename... Args>
Control *place(QWidget *container, const char *name, QRect twips, Args &&...args)
{
    auto *control = new Control(std::forward<Args>(args)..., container);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(twips);
    control->setFont(ui::uiFont(8.25));
    return control;
}

QLabel *placeLabel(QWidget *container, const char *name, const QString &caption, QRect twips,
                   Qt::Alignment alignment, QWidget *field)
{
    auto *label = place<QLabel>(container, name, twips, caption);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setBuddy(field);
    return label;
}

bool isKey(const QEvent *event, std::initializer_list<int> keys)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return std::ranges::find(keys, key) != keys.end();
}

} // namespace

frmCharter::frmCharter(Owner &owner) : m_owner(owner)
{
    ui::setUpWindow(*this, "frmCharter", QStringLiteral("New Charter Form"), owner.icon());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setFont(ui::uiFont(8.25, true));

    createMenu();
    createControls();

    connect(qApp, &QGuiApplication::focusWindowChanged, this, &frmCharter::noteWindowActivated);
}

void frmCharter::createMenu()
{
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    menuBar->setFont(ui::uiFont(8.25));
    mnuEdit = menuBar->addMenu(QStringLiteral("&Edit"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    const auto action = [this](const char *name, const QString &caption, void (frmCharter::*handler)()) {
        return ui::addMenuItem(*mnuEdit, this, name, caption, handler);
    };
    mnuEditAddYachtType = action("mnuEditAddYachtType", QStringLiteral("Add Ya&cht Type"),
                                 &frmCharter::mnuEditAddYachtType_Click);
    mnuEditRemoveYachtType = action("mnuEditRemoveYachtType", QStringLiteral("Remove Yac&ht Type"),
                                    &frmCharter::mnuEditRemoveYachtType_Click);
    mnuEditDisplayCountofYachtTypes = action("mnuEditDisplayCountofYachtTypes",
                                             QStringLiteral("Display Count of Yach&t Types"),
                                             &frmCharter::mnuEditDisplayCountofYachtTypes_Click);
}

void frmCharter::createControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("frmCharterClient"));
    // Beneath the menu bar, which keeps the desktop's colours.
    ui::fillBackground(*client, QColor(192, 192, 192));
    layout->addWidget(client);

    using ui::twipsRect;
    Frame1 = place<QGroupBox>(client, "Frame1", twipsRect(360, 0, 3975, 2295));

    txtName = place<QLineEdit>(Frame1, "txtName", twipsRect(1680, 480, 2055, 255));
    lblHeadName = placeLabel(Frame1, "lblHeadName", QStringLiteral("Customer &Name:"),
                             twipsRect(120, 480, 1455, 255), Qt::AlignRight, txtName);
    txtHours = place<QLineEdit>(Frame1, "txtHours", twipsRect(1680, 840, 495, 255));
    // Hours as a clerk types them, whatever the font's digits take.
    ui::fitToText(*txtHours, QStringLiteral("12.25"));
    lblHours = placeLabel(Frame1, "lblHours", QStringLiteral("Chartered &Hours:"),
                          twipsRect(0, 840, 1575, 255), Qt::AlignRight, txtHours);
    cboYacht = place<ui::ComboBox>(Frame1, "cboYacht", twipsRect(1680, 1200, 2055, 315),
                                         ui::ComboBox::Style::Editable);
    lblAvailYacht = placeLabel(Frame1, "lblAvailYacht", QStringLiteral("Available &Yachts:"),
                               twipsRect(240, 1200, 1455, 255), Qt::AlignHCenter, cboYacht);
    cboSize = place<ui::ComboBox>(Frame1, "cboSize", twipsRect(1680, 1680, 1215, 315),
                                        ui::ComboBox::Style::DropDownList);
    lblYacthSize = placeLabel(Frame1, "lblYacthSize", QStringLiteral("Yacht &Size:"),
                              twipsRect(600, 1680, 1095, 255), Qt::AlignHCenter, cboSize);

    cmdOK = place<QPushButton>(client, "cmdOK", twipsRect(4560, 960, 855, 375), QStringLiteral("&OK"));
    cmdClear = place<QPushButton>(client, "cmdClear", twipsRect(4560, 1440, 855, 375), QStringLiteral("&Clear "));
    cmdCancel = place<QPushButton>(client, "cmdCancel", twipsRect(4560, 1920, 855, 375), QStringLiteral("&Cancel"));
    ui::keepDefaultButton(*this, *cmdOK);
    // The caption's trailing blank is not part of the word a listener hears.
    ui::nameAfterCaption(*cmdClear);
    cboYacht->lineEdit()->setAccessibleName(words::yachtTypeFieldName());
    m_announcer = new ui::Announcer(client);

    for (auto *list : {cboYacht, cboSize})
        list->setSorted(true);
    for (const QString &type : kInitialYachtTypes)
        cboYacht->addListItem(type);
    for (const QString &size : initialSizes())
        cboSize->addListItem(size);

    // Enter and Esc reach the buttons from the editable list too, which
    // would otherwise keep both keys to itself.
    cboYacht->installEventFilter(this);
    cboYacht->lineEdit()->installEventFilter(this);

    for (QLineEdit *field : {txtName, txtHours, cboYacht->lineEdit()})
        ui::blankControlCharacters(*field);
    ui::typePointOnKeypadDecimal(*txtHours);
    for (QLineEdit *field : {txtName, txtHours})
        ui::tellFocusBeforeSelecting(*field);

    setTabOrder(txtName, txtHours);
    setTabOrder(txtHours, cboYacht);
    setTabOrder(cboYacht, cboSize);
    setTabOrder(cboSize, cmdOK);
    setTabOrder(cmdOK, cmdClear);
    setTabOrder(cmdClear, cmdCancel);
    Frame1->setFocusPolicy(Qt::NoFocus);

    const auto onClick = [this](QPushButton *button, void (frmCharter::*handler)()) {
        connect(button, &QPushButton::clicked, this, ui::guarded(this, handler));
    };
    onClick(cmdOK, &frmCharter::cmdOK_Click);
    onClick(cmdClear, &frmCharter::cmdClear_Click);
    onClick(cmdCancel, &frmCharter::cmdCancel_Click);

    resize(ui::twipsSize(5610, 2670) + QSize(0, menuBar->sizeHint().height()));
}

void frmCharter::showModal()
{
    exec();
}

platform::Currency frmCharter::RateForSize(const std::int16_t &size)
{
    return accounting::rateForSize(size);
}

void frmCharter::Form_Activate()
{
    txtName->setFocus();
}

void frmCharter::cmdOK_Click()
{
    double hours = 0.0;
    try {
        hours = accounting::readHours(txtHours->text().toStdString());
    } catch (const platform::OverflowError &error) {
        MsgBox(m_owner, words::charterRefused(error), vbExclamation);
        txtHours->setFocus();
        return;
    }
    if (!(hours > 0.0)) {
        MsgBox(m_owner, words::enterHours(), vbOKOnly, words::missingDataTitle());
        txtHours->setFocus();
        return;
    }
    if (cboYacht->text().isEmpty()) {
        MsgBox(m_owner, words::selectYachtType(), vbQuestion, words::missingDataTitle());
        cboYacht->setFocus();
        return;
    }
    if (cboSize->listIndex() == -1) {
        MsgBox(m_owner, words::selectSize(), vbQuestion, words::missingDataTitle());
        cboSize->setFocus();
        return;
    }
    if (!acceptCharter(hours))
        txtHours->setFocus();
}

// Prices, records and prints the validated charter. Everything that can fail
// is worked out before anything changes, so a refused charter leaves the
// totals, the charge, the yacht list, the print document and the fields as
// they were.
bool frmCharter::acceptCharter(double hours)
{
    accounting::CharterPrice price;
    accounting::RunningTotals totals = m_owner.totals();
    reports::PrintStatement line;
    QString hoursText;
    QString chargeText;
    const bool typedType = cboYacht->listIndex() == -1;
    const QString yachtType = typedType ? cboYacht->text() : cboYacht->list(cboYacht->listIndex());
    try {
        price = accounting::priceCharter(hours, cboSize->text().toStdString());
        totals.recordCharter(price.hours, price.charge);
        const platform::RegionalFormat &format = m_owner.format();
        hoursText = format.formatNumber(price.hours, 1);
        chargeText = format.formatCurrency(price.charge);
        line = reports::charterLine(txtName->text(), yachtType, price.size, hoursText, chargeText);
    } catch (const platform::PlatformError &error) {
        MsgBox(m_owner, words::charterRefused(error), vbExclamation);
        return false;
    }

    mcurCharge = price.charge;
    m_owner.totals() = totals;
    if (typedType) {
        cboYacht->addListItem(yachtType);
        cboYacht->setListIndex(cboYacht->newIndex());
    }
    // Print Yacht Types on the main window follows the waiting lines.
    const QString name = txtName->text();
    // On disk before the fields clear and the clerk hears it was accepted.
    const int kept = m_owner.printer().print(line, printing::JournalTotals::of(totals));
    cmdClear_Click();
    if (kept != 0 && !std::exchange(m_toldNotKeptSafe, true))
        MsgBox(m_owner, words::linesNotKeptSafe(kept), vbExclamation);
    // Told last, so that nothing said about the cleared fields cuts it off;
    // the clerk goes straight on with the next charter.
    m_announcer->announce(words::charterAccepted(name, hoursText, chargeText));
    return true;
}

void frmCharter::cmdClear_Click()
{
    txtName->setText(QString());
    txtHours->setText(QString());
    cboYacht->setListIndex(-1);
    cboSize->setListIndex(-1);
    txtName->setFocus();
}

void frmCharter::cmdCancel_Click()
{
    txtHours->setText(QString());
    txtName->setText(QString());
    cboYacht->setListIndex(-1);
    cboSize->setListIndex(-1);
    hide();
    m_owner.showMainWindow();
}

void frmCharter::mnuEditAddYachtType_Click()
{
    if (cboYacht->text().isEmpty()) {
        MsgBox(m_owner, words::enterNewYachtType(), vbQuestion, words::missingDataTitle());
        return;
    }
    cboYacht->addListItem(cboYacht->text());
}

void frmCharter::mnuEditRemoveYachtType_Click()
{
    // Typed text that is not an entry has nothing to remove: answered as an
    // empty box is.
    if (cboYacht->text().isEmpty() || cboYacht->listIndex() == -1) {
        MsgBox(m_owner, words::selectYachtTypeToRemove(), vbQuestion, words::missingDataTitle());
        return;
    }
    cboYacht->removeListItem(cboYacht->listIndex());
}

void frmCharter::mnuEditDisplayCountofYachtTypes_Click()
{
    MsgBox(m_owner, words::yachtTypeCount(cboYacht->listCount()), vbOKOnly);
}

void frmCharter::commandStopped(const platform::PlatformError *fault)
{
    MsgBox(m_owner, words::commandStopped(fault), vbExclamation);
}


bool frmCharter::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && m_activationPending) {
        m_activationPending = false;
        Form_Activate();
    }
    return QDialog::event(event);
}

void frmCharter::noteWindowActivated(QWindow *window)
{
    if (window == nullptr || !isVisible() || window == windowHandle())
        return;
    const auto windows = QApplication::topLevelWidgets();
    const auto owner =
        std::ranges::find_if(windows, [window](QWidget *widget) { return widget->windowHandle() == window; });
    if (owner == windows.end() || qobject_cast<QMessageBox *>(*owner) != nullptr)
        return;
    const Qt::WindowType type = (*owner)->windowType();
    if (type == Qt::Window || type == Qt::Dialog)
        m_activationPending = true;
}

bool frmCharter::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == cboYacht || watched == cboYacht->lineEdit()) && !cboYacht->view()->isVisible()) {
        if (isKey(event, {Qt::Key_Return, Qt::Key_Enter})) {
            cmdOK->click();
            return true;
        }
        if (isKey(event, {Qt::Key_Escape})) {
            cmdCancel->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmCharter::showEvent(QShowEvent *event)
{
    m_activationPending = true;
    QDialog::showEvent(event);
}

void frmCharter::closeEvent(QCloseEvent *event)
{
    // Closing through the frame acts as Cancel, so the main window returns.
    event->ignore();
    if (isVisible())
        cmdCancel->click();
}

void frmCharter::reject()
{
    cmdCancel->click();
}

} // namespace forms
