// SPDX-License-Identifier: GPL-3.0-or-later
// The window's controls bound to the application: each toggle, box and list
// sets its option or calls its event on TApplication at once, and leaving a
// control runs its exit handler.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <cmath>

#include "chart/ChartPanel.h"
#include "chart/QtBridge.h"
#include "gui/MainForm.h"
#include "gui/QtServices.h"

namespace quorvin::gui {

using namespace chart;

using namespace captions;

namespace {

// The date pickers show the desktop's short date, with the year in full.
QString PickerFormat() {
  QString Format = QLocale::system().dateFormat(QLocale::ShortFormat);
  if (!Format.contains(QStringLiteral("yyyy")))
    Format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
  return Format;
}

} // namespace

void TMainForm::ConnectLogSelection(int Page) {
  TApplication& A = *FApp;
  connect(edtFilename[Page], &QLineEdit::textEdited, this,
          [&A, Page](const QString& Text) { A.LogFileChange(Page, ToEngine(Text)); });
  // Enter in the box takes the name as leaving it does.
  connect(edtFilename[Page], &QLineEdit::returnPressed, this,
          [this, Page] { Run([this, Page] { FApp->edtFilenameExit(Page); }); });
  edtFilename[Page]->installEventFilter(this);
  connect(btnBrowse[Page], &QPushButton::clicked, this,
          [this] { Run([this] { FApp->FileOpenExecute(TagBrowseLog); }); });
  const QString Format = PickerFormat();
  for (QDateEdit* Picker : {dtpStart[Page], dtpEnd[Page]}) Picker->setDisplayFormat(Format);
  connect(dtpStart[Page], &QDateEdit::dateChanged, this, [&A, Page](const QDate& Date) {
    A.Selection.dtpStartChange(Page, DateToDateTime(Date));
  });
  connect(dtpEnd[Page], &QDateEdit::dateChanged, this,
          [&A, Page](const QDate& Date) { A.Selection.dtpEndChange(Page, DateToDateTime(Date)); });
  connect(cbxDtFormat[Page], &QComboBox::currentIndexChanged, this, [this, Page](int Index) {
    if (Index >= 0) FApp->DtFormatChange(Page, ToEngine(cbxDtFormat[Page]->itemText(Index)));
  });
  connect(chkSelectAll[Page], &QCheckBox::clicked, this,
          [&A](bool Checked) { A.Selection.SelectAllClick(Checked); });
  connect(chklbxSensors[Page], &QListWidget::itemChanged, this,
          [this, Page](QListWidgetItem* Item) {
            FApp->Selection.CheckSensorsClick(chklbxSensors[Page]->row(Item),
                                              Item->checkState() == Qt::Checked);
          });
  if (Page == PageLogPrn) chklbxSensors[Page]->installEventFilter(this);
}

void TMainForm::ConnectOptions() {
  TApplication& A = *FApp;
  // LOGPRN.
  connect(chkAppend, &QCheckBox::toggled, this, [&A](bool B) { A.LogPrn.AppendData = B; });
  connect(chkSysFormat, &QCheckBox::toggled, this, [&A](bool B) { A.chkSysFormatClick(B); });
  connect(FStdzeroButtons, &QButtonGroup::idToggled, this, [&A](int Id, bool Checked) {
    if (Checked) A.gbxStdzeroClick(Id);
  });
  connect(chkFileLayout, &QListWidget::itemChanged, this, [this](QListWidgetItem* Item) {
    FApp->chkFileLayoutClickCheck(chkFileLayout->row(Item), Item->checkState() == Qt::Checked);
  });
  connect(cbxOutFormat, &QComboBox::currentIndexChanged, this,
          [this](int Index) { FApp->cbxOutFormatChange(PageLogPrn, Index); });

  // LOGPLOT.
  connect(STBackColor, &QComboBox::currentIndexChanged, this,
          [this](int Index) { FApp->STBackColorChange(Index); });
  connect(STTextColor, &QComboBox::currentIndexChanged, this,
          [this](int Index) { FApp->STTextColorChange(Index); });
  connect(edtMax, &QLineEdit::textEdited, this,
          [&A](const QString& T) { A.GraphLimits.edtMax = ToEngine(T); });
  connect(edtMin, &QLineEdit::textEdited, this,
          [&A](const QString& T) { A.GraphLimits.edtMin = ToEngine(T); });

  // RAMCARD.
  // A drive picked from the list, or a folder or file typed and entered.
  connect(cbxRamdir, &QComboBox::activated, this, [this](int) { RamDriveChosen(); });
  connect(cbxRamdir->lineEdit(), &QLineEdit::returnPressed, this, [this] { RamDriveChosen(); });
  connect(edtOutFile, &QLineEdit::textEdited, this,
          [&A](const QString& T) { A.RamCardPage.RAMDirectory = ToEngine(T); });
  connect(btnBrowseDir, &QPushButton::clicked, this,
          [this] { Run([this] { FApp->btnBrowseDirClick(); }); });
  connect(chklbxRamFiles, &QListWidget::itemChanged, this, [this](QListWidgetItem* Item) {
    auto& Items = FApp->RamCardPage.chklbxRamFiles.Items;
    const int Row = chklbxRamFiles->row(Item);
    if (Row >= 0 && Row < int(Items.size()))
      Items[std::size_t(Row)].Checked = Item->checkState() == Qt::Checked;
  });
  connect(chklbxRamFiles, &QListWidget::currentRowChanged, this,
          [&A](int Row) { A.RamCardPage.chklbxRamFiles.ItemIndex = Row; });

  // DDRLOG.
  connect(edtDDRLog, &QLineEdit::textEdited, this,
          [&A](const QString& T) { A.LogFileChange(PageDDRLog, ToEngine(T)); });
  connect(edtDDRLog, &QLineEdit::returnPressed, this,
          [this] { Run([this] { FApp->edtFilenameExit(PageDDRLog); }); });
  edtDDRLog->installEventFilter(this);
  connect(edtDDROutput, &QLineEdit::textEdited, this,
          [&A](const QString& T) { A.edtDDROutputChange(ToEngine(T)); });
  connect(edtDDROutput, &QLineEdit::returnPressed, this,
          [this] { Run([this] { FApp->edtDDROutputExit(); }); });
  edtDDROutput->installEventFilter(this);
  connect(btnDDRBrowse, &QPushButton::clicked, this,
          [this] { Run([this] { FApp->FileOpenExecute(TagBrowseDDR); }); });
  connect(btnOutBrowse, &QPushButton::clicked, this,
          [this] { Run([this] { FApp->FileOpenExecute(TagBrowseOut); }); });
  connect(cbxOutFormat1, &QComboBox::currentIndexChanged, this,
          [this](int Index) { FApp->cbxOutFormatChange(PageDDRLog, Index); });
  TDDRLayout& D = A.DDRObj.Layout;
  connect(chkAppend1, &QCheckBox::toggled, this, [&D](bool B) { D.AppendDDRData = B; });
  connect(chkHeader, &QCheckBox::toggled, this, [&D](bool B) { D.AddHeader = B; });
  connect(chkData, &QCheckBox::toggled, this, [&D](bool B) { D.AddData = B; });
  connect(chkNotes, &QCheckBox::toggled, this, [&D](bool B) { D.AddNotes = B; });
  connect(chkUSGSStation, &QCheckBox::toggled, this, [&D](bool B) { D.USGSStation = B; });
  connect(chkUSGSDevice, &QCheckBox::clicked, this,
          [this](bool B) { FApp->chkUSGSDeviceClick(B); });
  connect(edtDevice, &QLineEdit::textEdited, this,
          [&A](const QString& T) { A.DDRPage.SetDeviceText(ToEngine(T)); });
  connect(cbxDtFormatDDR, &QComboBox::currentIndexChanged, this, [this](int Index) {
    if (Index >= 0) FApp->DtFormatChange(PageDDRLog, ToEngine(cbxDtFormatDDR->itemText(Index)));
  });

  connect(PgCntrlLog, &QTabWidget::currentChanged, this,
          [this](int Page) { Run([this, Page] { FApp->PgCntrlLogChange(Page); }); });
}

void TMainForm::ControlExit(std::function<void()> Handler) {
  if (FRunning || FBusy->Busy())
    QTimer::singleShot(0, this, [this, Handler] { Run(Handler); });
  else
    Run(Handler);
}

void TMainForm::RamDriveChosen() {
  // Enter on a name the list holds is also an activation: one choice, once.
  if (FRamDrivePending) return;
  FRamDrivePending = true;
  QTimer::singleShot(0, this, [this] {
    FRamDrivePending = false;
    Run([this] { FApp->cbxRamdirClick(ToEngine(cbxRamdir->currentText())); });
  });
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::FocusOut) {
    // Leaving a control: by the keyboard or the mouse, not by a menu or a
    // dialog opening over the window.
    const Qt::FocusReason Reason = static_cast<QFocusEvent*>(Event)->reason();
    if (Reason == Qt::ActiveWindowFocusReason || Reason == Qt::PopupFocusReason)
      return QMainWindow::eventFilter(Watched, Event);
    for (int Page = 0; Page < LogPageCount; ++Page)
      if (Watched == edtFilename[Page]) ControlExit([this, Page] { FApp->edtFilenameExit(Page); });
    if (Watched == edtDDRLog) ControlExit([this] { FApp->edtFilenameExit(PageDDRLog); });
    if (Watched == edtDDROutput) ControlExit([this] { FApp->edtDDROutputExit(); });
    if (Watched == chklbxSensors[PageLogPrn]) {
      std::vector<bool> States;
      for (int I = 0; I < chklbxSensors[PageLogPrn]->count(); ++I)
        States.push_back(chklbxSensors[PageLogPrn]->item(I)->checkState() == Qt::Checked);
      FApp->Selection.chklbxSensorsExit(States);
    }
  }
  return QMainWindow::eventFilter(Watched, Event);
}

void TMainForm::AddChartMenuEntries(QMenu& Menu) {
  auto Add = [&](std::string_view Text, const char* Name, auto Work) {
    QAction* Entry = Menu.addAction(Caption(Text));
    Entry->setObjectName(QString::fromLatin1(Name));
    connect(Entry, &QAction::triggered, this, [this, Work] { Run(Work); });
  };
  Add(MenuSaveChartPng, "mnuSaveChartPng",
      [this] { FApp->SaveChartExecute(*ChartLog, TChartFileType::Png); });
  Add(MenuSaveChartPdf, "mnuSaveChartPdf",
      [this] { FApp->SaveChartExecute(*ChartLog, TChartFileType::Pdf); });
  // Whole milliseconds within what shows.
  auto Visible = [this](double MSecs, bool Up) {
    return MSecsToDateTime(qint64(Up ? std::ceil(MSecs) : std::floor(MSecs)));
  };
  Add(MenuExportVisibleRange, "mnuExportVisibleRange", [this, Visible] {
    FApp->ExportVisibleRangeExecute(Visible(ChartLog->VisibleMinimumMSecs(), true),
                                    Visible(ChartLog->VisibleMaximumMSecs(), false));
  });
  Add(MenuVisibleRangeStatistics, "mnuVisibleRangeStatistics", [this, Visible] {
    FApp->VisibleRangeStatisticsExecute(Visible(ChartLog->VisibleMinimumMSecs(), true),
                                        Visible(ChartLog->VisibleMaximumMSecs(), false));
  });
}

} // namespace quorvin::gui
