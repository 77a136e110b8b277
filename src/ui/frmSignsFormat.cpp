// The Format menu (4-Up, 2-Up, 1-Up) and the Colors menu (Border, Promo
// Price, Title).
#include "ui/frmSigns.h"

#include "document/SignFormat.h"
#include "ui/CommonDialog.h"
#include "ui/WindowHelpers.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using SettingsKeys::Setting;

void frmSigns::buildFormatMenu(QMenuBar* bar)
{
    QMenu* format = bar->addMenu(QStringLiteral("F&ormat"));
    format->setObjectName(QStringLiteral("mnuFormat"));
    for (int i = 0; i < 3; ++i) {
        mnuFormatSel[i]
            = Menus::addAction(format, "mnuFormatSel", SignFormats()[size_t(i)].caption);
        mnuFormatSel[i]->setProperty("index", i);
        mnuFormatSel[i]->setCheckable(true);
        connect(mnuFormatSel[i], &QAction::triggered, this, [this, i] { mnuFormatSel_Click(i); });
    }
}

int frmSigns::checkedFormat() const
{
    for (int i = 0; i < 3; ++i) {
        if (mnuFormatSel[i]->isChecked())
            return i;
    }
    return 0;
}

void frmSigns::UncheckFormats()
{
    for (QAction* entry : mnuFormatSel)
        entry->setChecked(false);
}

void frmSigns::mnuFormatSel_Click(int index)
{
    UncheckFormats();
    mnuFormatSel[index]->setChecked(true);
    cmdPrintGrid->setText(QStringLiteral("Print: ") + mnuFormatSel[index]->text());
}

void frmSigns::buildColorsMenu(QMenuBar* bar)
{
    QMenu* colors = bar->addMenu(QStringLiteral("&Colors"));
    colors->setObjectName(QStringLiteral("mnuColors"));
    mnuColorsBorder = Menus::addAction(colors, "mnuColorsBorder", QStringLiteral("Border"));
    mnuColorsPrice = Menus::addAction(colors, "mnuColorsPrice", QStringLiteral("Promo Price"));
    mnuColorsTitle = Menus::addAction(colors, "mnuColorsTitle", QStringLiteral("Title"));

    connect(mnuColorsBorder, &QAction::triggered, this, &frmSigns::mnuColorsBorder_Click);
    connect(mnuColorsPrice, &QAction::triggered, this, &frmSigns::mnuColorsPrice_Click);
    connect(mnuColorsTitle, &QAction::triggered, this, &frmSigns::mnuColorsTitle_Click);
}

void frmSigns::chooseColor(SettingsKeys::Setting key)
{
    CommonDialog& dialog = CommonDialog1();
    dialog.setFlags(CommonDialog::FlagColorStartFromSet);
    dialog.setColor(m_settings.get(key).whole());
    dialog.setCancelError(true);
    if (!dialog.ShowColor())
        return;
    m_settings.save(key, QString::number(dialog.color()));
}

void frmSigns::mnuColorsBorder_Click()
{
    chooseColor(Setting::ColorBorder);
}

void frmSigns::mnuColorsPrice_Click()
{
    chooseColor(Setting::ColorPrice);
}

void frmSigns::mnuColorsTitle_Click()
{
    chooseColor(Setting::ColorTitle);
}
