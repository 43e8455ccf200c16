// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and shut-down of the window: the controls the settings file
// fills, the settings written at close and read at the next start, the
// design size, and the about box.
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>

#include <fstream>
#include <sstream>

#include "WindowFixture.h"
#include "gui/AboutForm.h"
#include "gui/Accessibility.h"

namespace quorvin::gui::test {
namespace {

using StartupTest = WindowTest;

TEST_F(StartupTest, WithoutASettingsFileEveryControlShowsItsDefault) {
  Start();
  EXPECT_EQ(Form->windowTitle(), "Quorvin");
  EXPECT_EQ(Find<QTabWidget>("PgCntrlLog")->currentIndex(), PageLogPrn);
  for (const char* Name : {"cbxDtFormat", "cbxDtFormat2", "cbxDtFormat3", "cbxDtFormatDDR"})
    EXPECT_EQ(Find<QComboBox>(Name)->currentText(), "MMDDYY HHMM") << Name;
  EXPECT_EQ(Find<QComboBox>("cbxOutFormat")->currentText(), "TEXT");
  EXPECT_TRUE(Find<QCheckBox>("chkAppend")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("chkSysFormat")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>("gbxStdzero0")->isChecked());
  auto* Layout = Find<QListWidget>("chkFileLayout");
  for (int I = 0; I < Layout->count(); ++I) EXPECT_EQ(Layout->item(I)->checkState(), Qt::Unchecked);
  EXPECT_EQ(Find<QComboBox>("cbxOutFormat1")->currentText(), "TEXT");
  EXPECT_FALSE(Find<QCheckBox>("chkHeader")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("chkData")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("chkNotes")->isChecked());
  EXPECT_TRUE(Find<QLineEdit>("edtDevice")->text().isEmpty());
  EXPECT_FALSE(Find<QLineEdit>("edtDevice")->isEnabled());
  EXPECT_EQ(Find<QComboBox>("STBackColor")->currentText(), "clWhite");
  EXPECT_EQ(Find<QComboBox>("STTextColor")->currentText(), "clBlack");
  EXPECT_EQ(Form->Chart().BackColour(), QColor(Qt::white));
  EXPECT_EQ(Form->Chart().TextColour(), QColor(Qt::black));
  EXPECT_EQ(Find<QLineEdit>("edtMax")->text(), "300");
  EXPECT_EQ(Find<QLineEdit>("edtMin")->text(), "0");
  EXPECT_FALSE(Find<QWidget>("PnlOptions")->isVisible());
  EXPECT_TRUE(Find<QLineEdit>("edtFilename")->hasFocus());
}

TEST_F(StartupTest, TheSettingsFileFillsTheControls) {
  WriteWhole((Dir / "Quorvin.ini"),
             "[General]\nDateTimeFormat=DD/MM/YY HH:MM:SS\n"
             "[LogPrn]\nOutputFormat=excel\nAppendData=no\nDisplayAsZero=YES\nDisplayAsDash=NO\n"
             "R600ASCII=YES\n"
             "[LogPlot]\nBackgroundColor=clNavy\nTextColor=clYellow\n"
             "[RAMCard]\nRAMDirectory=/tmp/cards/\n"
             "[DDRLog]\nDDROutputFormat=EXCEL\nUSGSDevice=YES\nDeviceName=GAUGE7\n");
  Start();
  EXPECT_EQ(Find<QComboBox>("cbxDtFormat")->currentText(), "DD/MM/YY HH:MM:SS");
  EXPECT_EQ(Find<QComboBox>("cbxDtFormat3")->currentText(), "DD/MM/YY HH:MM:SS");
  EXPECT_EQ(Find<QComboBox>("cbxOutFormat")->currentText(), "EXCEL");
  EXPECT_FALSE(Find<QCheckBox>("chkAppend")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>("gbxStdzero1")->isChecked());
  // "R600 ASCII Format" checks and greys "Fixed Column Output".
  auto* Layout = Find<QListWidget>("chkFileLayout");
  EXPECT_EQ(Layout->item(4)->checkState(), Qt::Checked);
  EXPECT_EQ(Layout->item(2)->checkState(), Qt::Checked);
  EXPECT_FALSE(Layout->item(2)->flags() & Qt::ItemIsEnabled);
  EXPECT_EQ(Find<QComboBox>("STBackColor")->currentText(), "clNavy");
  EXPECT_EQ(Form->Chart().BackColour(), QColor(0, 0, 0x80));
  EXPECT_EQ(Form->Chart().TextColour(), QColor(0xFF, 0xFF, 0));
  EXPECT_EQ(Find<QLineEdit>("edtOutFile")->text(), "/tmp/cards/");
  EXPECT_EQ(Find<QComboBox>("cbxOutFormat1")->currentText(), "EXCEL");
  EXPECT_TRUE(Find<QCheckBox>("chkUSGSDevice")->isChecked());
  EXPECT_EQ(Find<QLineEdit>("edtDevice")->text(), "GAUGE7");
  EXPECT_TRUE(Find<QLineEdit>("edtDevice")->isEnabled());
}

TEST_F(StartupTest, AStoredDateFormatNoListHoldsShowsNoChoiceOnAnyPage) {
  WriteWhole((Dir / "Quorvin.ini"), "[General]\nDateTimeFormat=YY.DD.MM HH\n");
  Start();
  for (const char* List : {"cbxDtFormat", "cbxDtFormat2", "cbxDtFormat3", "cbxDtFormatDDR"})
    EXPECT_EQ(Find<QComboBox>(List)->currentIndex(), -1) << List;
}

TEST_F(StartupTest, WhatTheUserChoseIsWrittenAtCloseAndShownAtTheNextStart) {
  WriteWhole((Dir / "Quorvin.ini"), "[Mine]\nKeep=this\n");
  Start();
  Find<QComboBox>("cbxDtFormat2")->setCurrentText("YYYY/MM/DD HH:MM:SS");
  Find<QComboBox>("cbxOutFormat")->setCurrentIndex(1);
  Find<QCheckBox>("chkSysFormat")->click();
  Find<QRadioButton>("gbxStdzero2")->click();
  Find<QListWidget>("chkFileLayout")->item(3)->setCheckState(Qt::Checked);
  Find<QComboBox>("STTextColor")->setCurrentText("clRed");
  Page(PageRamCard);
  QTest::keyClicks(Find<QLineEdit>("edtOutFile"), "/var/out/");
  Page(PageDDRLog);
  Find<QCheckBox>("chkHeader")->click();
  Find<QCheckBox>("chkUSGSDevice")->click();
  Find<QLineEdit>("edtDevice")->clear();
  QTest::keyClicks(Find<QLineEdit>("edtDevice"), "RIVER");
  Trigger(captions::actFileExit);
  EXPECT_TRUE(WaitFor([&] { return !Form->isVisible(); }));
  Form.reset();

  const std::string Ini = ReadWhole((Dir / "Quorvin.ini"));
  for (const char* Line :
       {"[Mine]", "Keep=this", "DateTimeFormat=YYYY/MM/DD HH:MM:SS", "OutputFormat=EXCEL",
        "UseSysFormat=NO", "DisplayAsDash=NO", "ExcludeNonRecItems=YES", "AddBlankLine=YES",
        "TextColor=clRed", "RAMDirectory=/var/out/", "AddHeader=YES", "USGSDevice=YES",
        "DeviceName=RIVER"})
    EXPECT_NE(Ini.find(Line), std::string::npos) << Line << "\n" << Ini;

  Start();
  EXPECT_EQ(Find<QComboBox>("cbxDtFormat")->currentText(), "YYYY/MM/DD HH:MM:SS");
  EXPECT_EQ(Find<QComboBox>("cbxOutFormat")->currentText(), "EXCEL");
  EXPECT_FALSE(Find<QCheckBox>("chkSysFormat")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>("gbxStdzero2")->isChecked());
  EXPECT_EQ(Find<QListWidget>("chkFileLayout")->item(3)->checkState(), Qt::Checked);
  EXPECT_EQ(Find<QComboBox>("STTextColor")->currentText(), "clRed");
  EXPECT_EQ(Find<QLineEdit>("edtOutFile")->text(), "/var/out/");
  EXPECT_TRUE(Find<QCheckBox>("chkHeader")->isChecked());
  EXPECT_EQ(Find<QLineEdit>("edtDevice")->text(), "RIVER");
}

TEST_F(StartupTest, AStartFolderThatCannotBeWrittenStartsAndReportsTheFailedWriteAtClose) {
  Form = std::make_unique<TMainForm>(Services());
  const std::string Missing = (Dir / "gone") + "/";
  Form->FormCreate(Missing, StartDir());
  Form->show();
  EXPECT_EQ(Find<QComboBox>("cbxDtFormat")->currentText(), "MMDDYY HHMM");
  Form->close();
  ASSERT_EQ(Dialog.Shown.size(), 1u);
  EXPECT_EQ(Dialog.Shown[0].Kind, TMsgKind::Error);
  EXPECT_EQ(Dialog.Shown[0].Text,
            "The settings could not be written to " + Missing + "Quorvin.ini.");
  // Why, under the message.
  EXPECT_NE(Dialog.Shown[0].Detail.find("Quorvin.ini"), std::string::npos)
      << Dialog.Shown[0].Detail;
  EXPECT_GT(Dialog.Shown[0].Detail.size(), Missing.size() + 12);
  EXPECT_FALSE(fs::exists(Missing));
  // Started from the root folder (its name already ends in a separator).
  Form = std::make_unique<TMainForm>(Services());
  Form->FormCreate("//", StartDir());
  EXPECT_EQ(App().SettingsFileName(), "/Quorvin.ini");
  Form.reset();
}

TEST_F(StartupTest, TheWindowOpensAtItsDesignHeightsAndGrowsByTheOutputArea) {
  Start();
  const int Collapsed = Form->height();
  EXPECT_EQ(Collapsed, Form->CollapsedHeight());
  EXPECT_GE(Find<QWidget>("PnlMain")->height(), 251);
  EXPECT_GE(Form->width(), 552);
  // The off-screen platform's screen is 800 by 600: the full height does
  // not fit, and the window stays whole on the screen.
  const QRect Area = Form->screen()->availableGeometry();
  const int Full = std::min(Collapsed + 315, Area.height());
  EXPECT_TRUE(Area.contains(Form->frameGeometry())) << Form->frameGeometry().top();
  OpenThroughDialog(Examples("SITE1.LOG"));
  ClickSelectAll();
  Trigger(captions::actOptionsDisplay);
  EXPECT_TRUE(Find<QWidget>("PnlOptions")->isVisible());
  EXPECT_TRUE(WaitFor([&] { return Form->height() == Full; })) << Form->height();
  EXPECT_TRUE(WaitFor([&] { return Find<QWidget>("PnlOptions")->height() == Full - Collapsed; }))
      << Find<QWidget>("PnlOptions")->height();
  EXPECT_TRUE(Area.contains(Form->frameGeometry())) << Form->frameGeometry().top();
  // The about box stands over the window's middle.
  TAboutForm Box(Form.get());
  Form->PlaceOverWindow(Box);
  EXPECT_LE((Box.frameGeometry().center() - Form->frameGeometry().center()).manhattanLength(), 2);
  Trigger(captions::actOptionsDisplay);
  EXPECT_FALSE(Find<QWidget>("PnlOptions")->isVisible());
  EXPECT_TRUE(WaitFor([&] { return Form->height() == Collapsed; })) << Form->height();
}

TEST_F(StartupTest, HintsGoToTheFirstPanelAndMessagesToTheSecond) {
  Start();
  QStatusTipEvent Tip(QStringLiteral("Browse for R630 log files"));
  QApplication::sendEvent(Find<QWidget>("btnBrowse"), &Tip);
  EXPECT_EQ(Form->Status().PanelText(0), "Browse for R630 log files");
  EXPECT_EQ(Form->Status().Panel(0)->text(), "Browse for R630 log files");
  EXPECT_EQ(Form->Status().Panel(0)->width(), 200);
  Trigger(captions::actOptionsDisplay);
  EXPECT_EQ(Form->Status().Panel(1)->text(), "Error! Please select a valid file.");
  // Side by side: the messages start where the hints end and reach the
  // window's right edge.
  QLabel* Hints = Form->Status().Panel(0);
  QLabel* Messages = Form->Status().Panel(1);
  EXPECT_TRUE(WaitFor([&] { return Messages->geometry().left() > Hints->geometry().right(); }))
      << Messages->geometry().left();
  EXPECT_GT(Messages->geometry().right(), Form->width() - 40);
  // A hint too long for 200 pixels ends in "..."; the tooltip has it whole.
  const QString Long = QStringLiteral("Finds the text in the page as you type; Enter finds the "
                                      "next, Shift+Enter the previous");
  QStatusTipEvent LongTip(Long);
  QApplication::sendEvent(Find<QWidget>("btnBrowse"), &LongTip);
  EXPECT_EQ(Form->Status().PanelText(0), Long.toStdString());
  EXPECT_TRUE(Hints->text().endsWith(QStringLiteral("..."))) << Hints->text().toStdString();
  EXPECT_TRUE(Long.startsWith(Hints->text().chopped(3)));
  EXPECT_LE(Hints->fontMetrics().horizontalAdvance(Hints->text()), 200);
  EXPECT_EQ(Hints->toolTip(), Long);
  QApplication::sendEvent(Find<QWidget>("btnBrowse"), &Tip);
  EXPECT_EQ(Hints->toolTip(), "");
  // Every control and tool button carries its hint.
  for (auto [Name, Hint] : std::initializer_list<std::pair<const char*, const char*>>{
           {"edtFilename2", "Enter name of a valid R630 Log file"},
           {"dtpEnd3", "End date of R630 log file"},
           {"chklbxSensors", "List of sensors in the R630 logfile"},
           {"cbxOutFormat", "Type of output format - Text or Excel"},
           {"gbxStdzero", "File format options"},
           {"STBackColor", "Change background color of graph"},
           {"edtMin", "Minimum value for left axis"},
           {"cbxRamdir", "RAM card directory you wish to read"},
           {"btnBrowseDir", "Browse for output folder"},
           {"btnOutBrowse", "Browse to select an Output V900 DDR file"},
           {"edtDevice", "USGS Device name"},
           {"tbtnOpen", "Open Log File"},
           {"tbtnSave", "Save Logfile or transfer RAM card files"},
           {"tbtnPrint", "Print Display Screen data or print graph"},
           {"tbtnDisplay", "Display Log File"},
           {"tbtnStats", "Do statistics on log data"},
           {"tbtnRefresh", "Refresh Screen"},
           {"tbtnHelp", "Quorvin Help"}})
    EXPECT_EQ(Find<QWidget>(Name)->statusTip(), Hint) << Name;
}

TEST_F(StartupTest, EveryControlHasAnAccessibleNameAndComboBoxesTheirLabels) {
  Start();
  for (int P = PageLogPrn; P <= PageDDRLog; ++P) Page(P);
  QStringList Unnamed;
  for (QWidget* W : Form->findChildren<QWidget*>())
    if (IsInteractive(*W) && W->accessibleName().isEmpty())
      Unnamed.append(W->objectName() + u'/' + QString::fromLatin1(W->metaObject()->className()));
  EXPECT_TRUE(Unnamed.isEmpty()) << Unnamed.join(u' ').toStdString();
  EXPECT_EQ(Find<QComboBox>("cbxDtFormat2")->accessibleName(), "Date Format");
  EXPECT_EQ(Find<QComboBox>("cbxDtFormat2")->view()->accessibleName(), "Date Format");
  EXPECT_EQ(Find<QWidget>("RedtDisplay")->accessibleName(), "Output text");
}

TEST_F(StartupTest, MenusHoldTheActionsInOrderWithTheirCaptionsAndShortcuts) {
  Start();
  struct TRow {
    captions::TActionId Id;
    const char* Caption;
    const char* Shortcut;
    const char* Hint;
  };
  for (const TRow& R : std::initializer_list<TRow>{
           {captions::actFileOpen, "&Open", "Ctrl+O", "Open File"},
           {captions::actFileSave, "&Save", "Ctrl+S", "Save Log file as .prn file"},
           {captions::actFilePrint, "&Print", "Ctrl+P", "Will print the data in Display Screen "},
           {captions::actFileExit, "E&xit", "Ctrl+Q", "Exit Application "},
           {captions::actOptionsDisplay, "&Display", "Ctrl+D", "Display Log File"},
           {captions::actOptionsHeader, "&Header", "Ctrl+H", "Display Log Header"},
           {captions::actOptionsGraph, "&Graph", "Ctrl+G", "Plot logged data"},
           {captions::actOptionsStats, "S&tatistics", "Ctrl+T", "Do statistics on data"},
           {captions::actOptionsRefresh, "&Refresh", "Ctrl+R", "Refresh Screen"},
           {captions::actHelp, "Quorvin &Help", "", "Quorvin Help"}}) {
    EXPECT_EQ(Act(R.Id)->text(), R.Caption);
    EXPECT_EQ(Act(R.Id)->shortcut().toString(), R.Shortcut);
    EXPECT_EQ(Act(R.Id)->statusTip(), R.Hint);
  }
  QStringList Menus, Entries;
  for (QAction* Menu : Form->menuBar()->actions()) {
    Menus.append(Menu->text());
    for (QAction* Entry : Menu->menu()->actions())
      if (!Entry->isSeparator()) Entries.append(Entry->text());
  }
  EXPECT_EQ(Menus, QStringList({"&File", "&Options", "&Help"}));
  EXPECT_EQ(Entries, QStringList({"&Open", "&Save", "&Export...", "&Print", "&Recent Files",
                                  "E&xit", "&Display", "&Header", "&Graph", "S&tatistics",
                                  "&Refresh", "Time &Zone...", "Quorvin &Help", "About..."}));
  QStringList Tabs;
  for (int I = 0; I < Find<QTabWidget>("PgCntrlLog")->count(); ++I)
    Tabs.append(Find<QTabWidget>("PgCntrlLog")->tabText(I));
  EXPECT_EQ(Tabs, QStringList({"LOGPRN", "LOGPLOT", "LOGSTAT", "RAMCARD", "DDRLOG"}));
}

TEST(AboutForm, ShowsTheNameInBoldTheIconTheVersionTheLicenceAndOK) {
  TAboutForm Box;
  EXPECT_EQ(Box.windowTitle(), "About Quorvin");
  auto* Name = Box.findChild<QLabel*>("ProductName");
  ASSERT_NE(Name, nullptr);
  EXPECT_EQ(Name->text(), "Quorvin");
  EXPECT_TRUE(Name->font().bold());
  EXPECT_EQ(Name->font().pixelSize(), 19);
  auto* Icon = Box.findChild<QLabel*>("ProgramIcon");
  ASSERT_NE(Icon, nullptr);
  const QImage Image = Icon->pixmap().toImage();
  ASSERT_FALSE(Image.isNull());
  // Drawn from the SVG: not one flat colour.
  EXPECT_NE(Image.pixel(48, 48), Image.pixel(1, 1));
  EXPECT_EQ(Box.findChild<QLabel*>("Version")->text(), "Version " QUORVIN_VERSION);
  // The licence as quorvin-cli --version states it.
  EXPECT_EQ(Box.findChild<QLabel*>("Licence")->text(),
            "Copyright (C) The Quorvin developers\n"
            "License GPL-3.0-or-later: GNU GPL version 3 or later "
            "<https://gnu.org/licenses/gpl.html>.\n"
            "This is free software: you are free to change and redistribute it.\n"
            "There is NO WARRANTY, to the extent permitted by law.");
  auto* OK = Box.findChild<QPushButton*>("btnOK");
  ASSERT_NE(OK, nullptr);
  EXPECT_EQ(OK->text(), "OK");
  OK->click();
  EXPECT_EQ(Box.result(), QDialog::Accepted);
}

} // namespace
} // namespace quorvin::gui::test
