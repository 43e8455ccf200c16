// SPDX-License-Identifier: GPL-3.0-or-later
// The window drawing the application's state: the observer of TApplication
// and of its log selection. Each shows what it is told without raising the
// control's own event again.
#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFontMetrics>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMetaObject>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "app/Settings.h"
#include "chart/ChartPanel.h"
#include "chart/QtBridge.h"
#include "gui/MainForm.h"
#include "gui/TextPane.h"

namespace quorvin::gui {

using namespace chart;

using namespace captions;

namespace {

void SetChecked(QAbstractButton* Button, bool Checked) {
  const QSignalBlocker Block(Button);
  Button->setChecked(Checked);
}

void SetText(QLineEdit* Edit, const std::string& Text) {
  const QString Shown = FromEngine(Text);
  if (Edit->text() == Shown) return;
  const QSignalBlocker Block(Edit);
  Edit->setText(Shown);
}

void SetIndex(QComboBox* Box, int Index) {
  const QSignalBlocker Block(Box);
  Box->setCurrentIndex(Index >= 0 && Index < Box->count() ? Index : -1);
}

void SetItemCheck(QListWidget* List, int Row, bool Checked) {
  QListWidgetItem* Item = List->item(Row);
  if (!Item) return;
  const QSignalBlocker Block(List);
  Item->setCheckState(Checked ? Qt::Checked : Qt::Unchecked);
}

QListWidgetItem* AddCheckItem(QListWidget* List, const QString& Text, bool Checked) {
  auto* Item = new QListWidgetItem(Text, List);
  Item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  Item->setCheckState(Checked ? Qt::Checked : Qt::Unchecked);
  return Item;
}

} // namespace

void TMainForm::SetOutputAreaShown(bool Shown) {
  if (Shown == FOutputShown) return;
  FOutputShown = Shown;
  const bool Normal = !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
  if (Shown) {
    PnlMain->setMaximumHeight(FPageAreaHeight);
    PnlOptions->show();
    if (Normal && FCreated) {
      resize(width(), FCollapsedHeight + FOutputAreaHeight);
      FitOnScreen();
    }
  } else {
    PnlOptions->hide();
    PnlMain->setMaximumHeight(QWIDGETSIZE_MAX);
    // The smaller minimum counts before the window shrinks to it.
    centralWidget()->layout()->activate();
    layout()->activate();
    if (Normal && FCreated) resize(width(), FCollapsedHeight);
  }
}

void TMainForm::ViewStateChanged() {
  const TApplication& A = *FApp;
  const TViewMarks& M = A.Marks;
  const std::pair<TActionId, bool> MenuMarks[] = {{actOptionsDisplay, M.mnuDisplay},
                                                  {actOptionsHeader, M.mnuHeader},
                                                  {actOptionsGraph, M.mnuGraph},
                                                  {actOptionsStats, M.mnuStatistics}};
  for (const auto& [Id, Checked] : MenuMarks) {
    const QSignalBlocker Block(Action(Id));
    Action(Id)->setChecked(Checked);
  }
  SetChecked(tbtnDisplay, M.tbtnDisplay);
  SetChecked(tbtnHeader, M.tbtnHeader);
  SetChecked(tbtnGraph, M.tbtnGraph);
  SetChecked(tbtnStats, M.tbtnStats);
  tbtnDisplay->setEnabled(A.ToolButtons.tbtnDisplay);
  tbtnHeader->setEnabled(A.ToolButtons.tbtnHeader);
  tbtnGraph->setEnabled(A.ToolButtons.tbtnGraph);
  tbtnStats->setEnabled(A.ToolButtons.tbtnStats);
  RedtDisplay->setVisible(A.PaneVisible);
  ChartLog->setVisible(A.ChartVisible);
  SetOutputAreaShown(A.OutputAreaShown);
  if (PgCntrlLog->currentIndex() != A.ActivePage) {
    const QSignalBlocker Block(PgCntrlLog);
    PgCntrlLog->setCurrentIndex(A.ActivePage);
  }
}

void TMainForm::ShowLogPrnControls() {
  const TLogPrnOptions& O = FApp->LogPrn;
  SetChecked(chkAppend, O.AppendData);
  SetChecked(chkSysFormat, O.UseSysFormat);
  {
    const QSignalBlocker Block(FStdzeroButtons);
    if (QAbstractButton* Radio = FStdzeroButtons->button(StdzeroItem(O))) Radio->setChecked(true);
  }
  {
    const QSignalBlocker Block(chkFileLayout);
    for (int I = 0; I < chkFileLayout->count() && I < FileLayoutItemCount; ++I) {
      QListWidgetItem* Item = chkFileLayout->item(I);
      Item->setCheckState(FileLayoutChecked(O, I) ? Qt::Checked : Qt::Unchecked);
      Qt::ItemFlags Flags = Qt::ItemIsUserCheckable | Qt::ItemIsSelectable;
      if (FileLayoutEnabled(O, I)) Flags |= Qt::ItemIsEnabled;
      Item->setFlags(Flags);
    }
  }
  SetIndex(cbxOutFormat, ItemOfOutputFormat(O.OutputFormat));
}

void TMainForm::ShowDDRControls() {
  const TDDRPage& P = FApp->DDRPage;
  const TDDRLayout& L = FApp->DDRObj.Layout;
  SetText(edtDDRLog, P.Controls.edtDDRLog);
  SetText(edtDDROutput, P.Controls.edtDDROutput);
  SetIndex(cbxOutFormat1, ItemOfOutputFormat(L.DDROutputFormat));
  SetChecked(chkAppend1, L.AppendDDRData);
  SetChecked(chkHeader, L.AddHeader);
  SetChecked(chkData, L.AddData);
  SetChecked(chkNotes, L.AddNotes);
  SetChecked(chkUSGSStation, L.USGSStation);
  SetChecked(chkUSGSDevice, L.USGSDevice);
  SetText(edtDevice, P.edtDevice());
  edtDevice->setEnabled(P.edtDeviceEnabled());
  SetIndex(cbxDtFormatDDR, FApp->cbxDtFormatDDR);
}

void TMainForm::ControlsChanged() {
  ShowLogPrnControls();
  ShowDDRControls();
  SetText(edtMax, FApp->GraphLimits.edtMax);
  SetText(edtMin, FApp->GraphLimits.edtMin);
  const TRamCardPage& R = FApp->RamCardPage;
  SetText(edtOutFile, R.RAMDirectory);
  QStringList Drives;
  for (const std::string& D : R.cbxRamdir.Items) Drives.append(FromEngine(D));
  QStringList Shown;
  for (int I = 0; I < cbxRamdir->count(); ++I) Shown.append(cbxRamdir->itemText(I));
  const QSignalBlocker Block(cbxRamdir);
  if (Shown != Drives) {
    cbxRamdir->clear();
    cbxRamdir->addItems(Drives);
  }
  cbxRamdir->setEditText(FromEngine(R.cbxRamdir.Text));
}

void TMainForm::RamFilesChanged() {
  const TRamCardPage& R = FApp->RamCardPage;
  {
    const QSignalBlocker Block(chklbxRamFiles);
    chklbxRamFiles->clear();
    for (const TRamFileItem& Item : R.chklbxRamFiles.Items)
      AddCheckItem(chklbxRamFiles, FromEngine(Item.Text), Item.Checked);
    chklbxRamFiles->setCurrentRow(R.chklbxRamFiles.ItemIndex);
  }
  const QSignalBlocker Block(cbxRamdir);
  cbxRamdir->setEditText(FromEngine(R.cbxRamdir.Text));
}

void TMainForm::ChartColoursChanged() {
  const TChartColours& C = FApp->Colours;
  SetIndex(STBackColor, ColourIndex(C.BackgroundColor));
  SetIndex(STTextColor, ColourIndex(C.TextColor));
  ChartLog->ShowColours(C);
}

void TMainForm::RecentFilesChanged() {
  if (!mnuRecentFiles) return;
  mnuRecentFiles->clear();
  const std::vector<std::string>& Files = FApp->RecentFiles.Files();
  const QFontMetrics Metrics(mnuRecentFiles->font());
  for (std::size_t I = 0; I < Files.size(); ++I) {
    const QString Path = FromEngine(Files[I]);
    QString Shown = Metrics.elidedText(Path, Qt::ElideMiddle, 480);
    Shown.replace(u'&', QStringLiteral("&&"));
    QAction* Entry = mnuRecentFiles->addAction(QStringLiteral("&%1 %2").arg(I + 1).arg(Shown));
    Entry->setToolTip(Path);
    // Opened once the menu is done with, as the open lists the files anew.
    connect(Entry, &QAction::triggered, this,
            [this, Path] { QTimer::singleShot(0, this, [this, Path] { OpenDroppedFile(Path); }); });
  }
  mnuRecentFiles->setEnabled(!Files.empty());
}

void TMainForm::FocusControl(TFocusTarget Target) {
  QWidget* Widget = nullptr;
  switch (Target) {
  case TFocusTarget::edtFilename:
    Widget = edtFilename[PageLogPrn];
    break;
  case TFocusTarget::edtFilename2:
    Widget = edtFilename[PageLogPlot];
    break;
  case TFocusTarget::edtFilename3:
    Widget = edtFilename[PageLogStat];
    break;
  case TFocusTarget::cbxRamdir:
    Widget = cbxRamdir;
    break;
  case TFocusTarget::edtOutFile:
    Widget = edtOutFile;
    break;
  case TFocusTarget::edtDDRLog:
    Widget = edtDDRLog;
    break;
  }
  if (Widget) Widget->setFocus(Qt::OtherFocusReason);
}

void TMainForm::CloseRequested() {
  // Closed once the command that asked for it has returned.
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

// --- the selection's view ------------------------------------------------------

void TMainForm::FileNameShown(int Page, const std::string& Text) {
  if (IsLogPage(Page)) SetText(edtFilename[Page], Text);
}

void TMainForm::FocusFileName(int /*Page*/) {
  // The box of the log page that is showing; a hidden page takes no focus.
  const int Showing = PgCntrlLog->currentIndex();
  if (IsLogPage(Showing)) edtFilename[Showing]->setFocus(Qt::OtherFocusReason);
}

void TMainForm::SensorsCleared() {
  for (QListWidget* List : chklbxSensors) {
    const QSignalBlocker Block(List);
    List->clear();
  }
}

void TMainForm::SensorAdded(const std::string& FullName) {
  const QString Name = FromEngine(FullName);
  for (QListWidget* List : chklbxSensors) {
    const QSignalBlocker Block(List);
    AddCheckItem(List, Name, false);
  }
}

void TMainForm::SensorCheckShown(int Index, bool Checked) {
  for (QListWidget* List : chklbxSensors) SetItemCheck(List, Index, Checked);
}

void TMainForm::SelectAllShown(bool Checked) {
  for (QCheckBox* Box : chkSelectAll) SetChecked(Box, Checked);
}

void TMainForm::FirstSensorHighlighted() {
  for (QListWidget* List : chklbxSensors) {
    const QSignalBlocker Block(List);
    List->setCurrentRow(0);
  }
}

void TMainForm::StartPickerShown(int Page, TDateTime Date) {
  if (!IsLogPage(Page)) return;
  const QSignalBlocker Block(dtpStart[Page]);
  dtpStart[Page]->setDate(DateOfDateTime(Date));
}

void TMainForm::EndPickerShown(int Page, TDateTime Date) {
  if (!IsLogPage(Page)) return;
  const QSignalBlocker Block(dtpEnd[Page]);
  dtpEnd[Page]->setDate(DateOfDateTime(Date));
}

void TMainForm::DtFormatShown(int Page, int Index) {
  if (IsLogPage(Page)) SetIndex(cbxDtFormat[Page], Index);
}

} // namespace quorvin::gui
