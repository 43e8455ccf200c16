// SPDX-License-Identifier: GPL-3.0-or-later
// The pages of the main window: each has a left part and a right part, in
// the order and groups the program has always shown them.
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeZone>

#include "chart/QtBridge.h"
#include "core/MiscUtil.h"
#include "gui/Icons.h"
#include "gui/MainForm.h"

namespace quorvin::gui {

using namespace chart;

using namespace captions;

namespace {

constexpr int Spacing = 4;

QString PageSuffix(int Page) { return Page == 0 ? QString() : QString::number(Page + 1); }

template <class W>
W* Named(W* Widget, const QString& Name) {
  Widget->setObjectName(Name);
  return Widget;
}

QLabel* Label(std::string_view Text, QWidget* Buddy) {
  auto* L = new QLabel(Caption(Text));
  L->setBuddy(Buddy);
  return L;
}

QVBoxLayout* Column(QWidget* Owner) {
  auto* L = new QVBoxLayout(Owner);
  L->setContentsMargins(0, 0, 0, 0);
  L->setSpacing(Spacing);
  return L;
}

void Tighten(QLayout* Layout) {
  Layout->setContentsMargins(6, 4, 6, 6);
  Layout->setSpacing(Spacing);
}

// A check list exactly tall enough for Rows rows.
void FitRows(QListWidget* List, int Rows) {
  List->ensurePolished();
  const int Row = std::max(List->sizeHintForRow(0), List->fontMetrics().height());
  List->setFixedHeight(Rows * Row + 2 * List->frameWidth() + 2);
  List->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

template <std::size_t N>
void FillNames(QComboBox* Box, const std::array<std::string_view, N>& Names) {
  for (std::string_view Name : Names) Box->addItem(Caption(Name));
}

QDateEdit* DatePicker(const QString& Name) {
  auto* Picker = Named(new QDateEdit, Name);
  Picker->setCalendarPopup(true);
  // Dates only ever meet Qt as UTC: no local zone, no daylight saving.
  Picker->setTimeSpec(Qt::UTC);
  // The days the log time base can hold; the batch tool refuses the same.
  Picker->setDateRange(QDate(FirstLogDay[0], FirstLogDay[1], FirstLogDay[2]),
                       QDate(LastLogDay[0], LastLogDay[1], LastLogDay[2]));
  return Picker;
}

} // namespace

QWidget* TMainForm::Hinted(QWidget* Widget, std::string_view Hint) {
  Widget->setStatusTip(Caption(Hint));
  Widget->setToolTip(Caption(Hint));
  return Widget;
}

QWidget* TMainForm::BuildLogSelection(int Page) {
  const QString S = PageSuffix(Page);
  auto* Part = new QWidget;
  QVBoxLayout* L = Column(Part);

  edtFilename[Page] = Named(new QLineEdit, "edtFilename" + S);
  Hinted(edtFilename[Page], HintLogFileName);
  btnBrowse[Page] = Named(new QPushButton(Caption(ButtonBrowse)), "btnBrowse" + S);
  Hinted(btnBrowse[Page], HintBrowseLog);
  L->addWidget(Label(LabelLogFileName, edtFilename[Page]));
  auto* FileRow = new QHBoxLayout;
  FileRow->setSpacing(Spacing);
  FileRow->addWidget(edtFilename[Page], 1);
  FileRow->addWidget(btnBrowse[Page]);
  L->addLayout(FileRow);

  auto* Row = new QHBoxLayout;
  Row->setSpacing(Spacing + 2);

  auto* Dates = new QGroupBox(Caption(GroupDateOptions));
  auto* DL = new QVBoxLayout(Dates);
  Tighten(DL);
  DL->setSpacing(1);
  dtpStart[Page] = DatePicker("dtpStart" + S);
  Hinted(dtpStart[Page], HintStartDate);
  dtpEnd[Page] = DatePicker("dtpEnd" + S);
  Hinted(dtpEnd[Page], HintEndDate);
  cbxDtFormat[Page] = Named(new QComboBox, "cbxDtFormat" + S);
  Hinted(cbxDtFormat[Page], HintDateFormat);
  if (Page == PageLogPrn)
    FillNames(cbxDtFormat[Page], LogPrnDtFormatNames);
  else
    FillNames(cbxDtFormat[Page], OtherDtFormatNames);
  DL->addWidget(Label(LabelStartDate, dtpStart[Page]));
  DL->addWidget(dtpStart[Page]);
  DL->addSpacing(2);
  DL->addWidget(Label(LabelEndDate, dtpEnd[Page]));
  DL->addWidget(dtpEnd[Page]);
  DL->addSpacing(2);
  DL->addWidget(Label(LabelDateFormat, cbxDtFormat[Page]));
  DL->addWidget(cbxDtFormat[Page]);
  DL->addStretch(1);
  Row->addWidget(Dates);

  auto* Sensors = new QGroupBox(Caption(GroupSensors));
  auto* SL = new QVBoxLayout(Sensors);
  Tighten(SL);
  chkSelectAll[Page] = Named(new QCheckBox(Caption(CheckSelectAll)), "chkSelectAll" + S);
  chklbxSensors[Page] = Named(new QListWidget, "chklbxSensors" + S);
  Hinted(chklbxSensors[Page], HintSensors);
  chklbxSensors[Page]->setMinimumHeight(48);
  SL->addWidget(chkSelectAll[Page]);
  SL->addWidget(chklbxSensors[Page], 1);
  Row->addWidget(Sensors, 1);

  L->addLayout(Row, 1);
  ConnectLogSelection(Page);
  return Part;
}

QWidget* TMainForm::BuildLogPrnOptions() {
  auto* Part = new QWidget;
  QVBoxLayout* L = Column(Part);

  cbxOutFormat = Named(new QComboBox, QStringLiteral("cbxOutFormat"));
  FillNames(cbxOutFormat, OutputFormatItems);
  Hinted(cbxOutFormat, HintOutputFormat);
  auto* FormatRow = new QHBoxLayout;
  FormatRow->setSpacing(Spacing);
  FormatRow->addWidget(Label(LabelOutputFormat, cbxOutFormat));
  FormatRow->addWidget(cbxOutFormat);
  FormatRow->addStretch(1);
  L->addLayout(FormatRow);

  chkAppend = Named(new QCheckBox(Caption(CheckAppend)), QStringLiteral("chkAppend"));
  chkSysFormat = Named(new QCheckBox(Caption(CheckSysFormat)), QStringLiteral("chkSysFormat"));
  L->addWidget(chkAppend);
  L->addWidget(chkSysFormat);

  gbxStdzero = Named(new QGroupBox(Caption(GroupFileLayout)), QStringLiteral("gbxStdzero"));
  Hinted(gbxStdzero, HintFileLayout);
  auto* GL = new QVBoxLayout(gbxStdzero);
  Tighten(GL);
  GL->setSpacing(1);
  FStdzeroButtons = new QButtonGroup(gbxStdzero);
  for (int I = 0; I < int(NonRecordedItems.size()); ++I) {
    auto* Radio = Named(new QRadioButton(Caption(NonRecordedItems[std::size_t(I)])),
                        QStringLiteral("gbxStdzero%1").arg(I));
    Hinted(Radio, HintFileLayout);
    FStdzeroButtons->addButton(Radio, I);
    GL->addWidget(Radio);
  }
  L->addWidget(gbxStdzero);

  chkFileLayout = Named(new QListWidget, QStringLiteral("chkFileLayout"));
  Hinted(chkFileLayout, HintFileLayout);
  for (std::string_view Item : FileLayoutItems) {
    auto* Entry = new QListWidgetItem(Caption(Item), chkFileLayout);
    Entry->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    Entry->setCheckState(Qt::Unchecked);
  }
  FitRows(chkFileLayout, int(FileLayoutItems.size()));
  L->addWidget(chkFileLayout);
  L->addStretch(1);
  return Part;
}

QWidget* TMainForm::BuildLogPlotOptions() {
  auto* Part = new QWidget;
  QVBoxLayout* L = Column(Part);

  auto* Colours = new QGroupBox;
  auto* CL = new QFormLayout(Colours);
  Tighten(CL);
  STBackColor = Named(new QComboBox, QStringLiteral("STBackColor"));
  STTextColor = Named(new QComboBox, QStringLiteral("STTextColor"));
  FillColourList(*STBackColor);
  FillColourList(*STTextColor);
  Hinted(STBackColor, HintBackColor);
  Hinted(STTextColor, HintTextColor);
  CL->addRow(Label(LabelBackColor, STBackColor), STBackColor);
  CL->addRow(Label(LabelTextColor, STTextColor), STTextColor);
  L->addWidget(Colours);

  auto* Scale = new QGroupBox(Caption(GroupLeftAxis));
  auto* SL = new QFormLayout(Scale);
  Tighten(SL);
  edtMax = Named(new QLineEdit, QStringLiteral("edtMax"));
  edtMin = Named(new QLineEdit, QStringLiteral("edtMin"));
  Hinted(edtMax, HintMaximum);
  Hinted(edtMin, HintMinimum);
  SL->addRow(Label(LabelMaximum, edtMax), edtMax);
  SL->addRow(Label(LabelMinimum, edtMin), edtMin);
  L->addWidget(Scale);
  L->addStretch(1);
  return Part;
}

QWidget* TMainForm::BuildRamCardPage() {
  auto* Page = new QWidget;
  auto* Row = new QHBoxLayout(Page);
  Row->setContentsMargins(8, 6, 8, 6);
  Row->setSpacing(12);

  auto* Left = new QWidget;
  QVBoxLayout* L = Column(Left);
  cbxRamdir = Named(new QComboBox, QStringLiteral("cbxRamdir"));
  // A mount point from the list, or a folder, dump or card image typed in.
  cbxRamdir->setEditable(true);
  cbxRamdir->setInsertPolicy(QComboBox::NoInsert);
  Hinted(cbxRamdir, HintRamDrive);
  chklbxRamFiles = Named(new QListWidget, QStringLiteral("chklbxRamFiles"));
  Hinted(chklbxRamFiles, HintRamFiles);
  L->addWidget(Label(LabelRamDrive, cbxRamdir));
  L->addWidget(cbxRamdir);
  L->addWidget(Label(LabelRamFiles, chklbxRamFiles));
  L->addWidget(chklbxRamFiles, 1);
  Row->addWidget(Left, 1);

  auto* Right = new QWidget;
  QVBoxLayout* R = Column(Right);
  edtOutFile = Named(new QLineEdit, QStringLiteral("edtOutFile"));
  Hinted(edtOutFile, HintOutputDirectory);
  btnBrowseDir = Named(new QPushButton(Caption(ButtonBrowse)), QStringLiteral("btnBrowseDir"));
  Hinted(btnBrowseDir, HintBrowseDir);
  R->addWidget(Label(LabelOutputDirectory, edtOutFile));
  auto* DirRow = new QHBoxLayout;
  DirRow->setSpacing(Spacing);
  DirRow->addWidget(edtOutFile, 1);
  DirRow->addWidget(btnBrowseDir);
  R->addLayout(DirRow);
  R->addSpacing(10);
  auto* Instruction = Named(new QLabel(Caption(RamInstruction)), QStringLiteral("lblInstruction"));
  Instruction->setWordWrap(true);
  R->addWidget(Instruction);
  R->addStretch(1);
  Row->addWidget(Right, 1);
  return Page;
}

QWidget* TMainForm::BuildDDRLogPage() {
  auto* Page = new QWidget;
  auto* Row = new QHBoxLayout(Page);
  Row->setContentsMargins(8, 6, 8, 6);
  Row->setSpacing(12);

  auto* Left = new QWidget;
  auto* G = new QGridLayout(Left);
  G->setContentsMargins(0, 0, 0, 0);
  G->setHorizontalSpacing(Spacing);
  G->setVerticalSpacing(Spacing + 2);

  edtDDRLog = Named(new QLineEdit, QStringLiteral("edtDDRLog"));
  Hinted(edtDDRLog, HintDDRFileName);
  btnDDRBrowse = Named(new QPushButton(Caption(ButtonBrowse)), QStringLiteral("btnDDRBrowse"));
  Hinted(btnDDRBrowse, HintDDRBrowse);
  G->addWidget(Label(LabelDDRFileName, edtDDRLog), 0, 0, 1, 3);
  G->addWidget(edtDDRLog, 1, 0, 1, 2);
  G->addWidget(btnDDRBrowse, 1, 2);

  cbxOutFormat1 = Named(new QComboBox, QStringLiteral("cbxOutFormat1"));
  FillNames(cbxOutFormat1, OutputFormatItems);
  Hinted(cbxOutFormat1, HintOutputFormat);
  chkAppend1 = Named(new QCheckBox(Caption(CheckAppend)), QStringLiteral("chkAppend1"));
  G->addWidget(Label(LabelOutputFormat, cbxOutFormat1), 2, 0);
  G->addWidget(cbxOutFormat1, 2, 1, Qt::AlignLeft);
  G->addWidget(chkAppend1, 3, 0, 1, 3);

  edtDDROutput = Named(new QLineEdit, QStringLiteral("edtDDROutput"));
  Hinted(edtDDROutput, HintDDROutputFile);
  btnOutBrowse = Named(new QPushButton(Caption(ButtonBrowse)), QStringLiteral("btnOutBrowse"));
  Hinted(btnOutBrowse, HintOutBrowse);
  G->addWidget(Label(LabelDDROutputFile, edtDDROutput), 4, 0, 1, 3);
  G->addWidget(edtDDROutput, 5, 0, 1, 2);
  G->addWidget(btnOutBrowse, 5, 2);

  cbxDtFormatDDR = Named(new QComboBox, QStringLiteral("cbxDtFormatDDR"));
  FillNames(cbxDtFormatDDR, OtherDtFormatNames);
  Hinted(cbxDtFormatDDR, HintDateFormat);
  G->addWidget(Label(LabelDateFormat, cbxDtFormatDDR), 6, 0);
  G->addWidget(cbxDtFormatDDR, 6, 1, Qt::AlignLeft);
  G->setColumnStretch(1, 1);
  G->setRowStretch(7, 1);
  Row->addWidget(Left, 3);

  auto* Right = new QWidget;
  QVBoxLayout* R = Column(Right);
  auto* LayoutBox = new QGroupBox(Caption(GroupOutputLayout));
  auto* LL = new QVBoxLayout(LayoutBox);
  Tighten(LL);
  chkHeader = Named(new QCheckBox(Caption(CheckHeader)), QStringLiteral("chkHeader"));
  chkData = Named(new QCheckBox(Caption(CheckData)), QStringLiteral("chkData"));
  chkNotes = Named(new QCheckBox(Caption(CheckNotes)), QStringLiteral("chkNotes"));
  Hinted(chkHeader, HintHeader);
  Hinted(chkData, HintData);
  Hinted(chkNotes, HintNotes);
  LL->addWidget(chkHeader);
  LL->addWidget(chkData);
  LL->addWidget(chkNotes);
  R->addWidget(LayoutBox);

  auto* USGS = new QGroupBox(Caption(GroupUSGS));
  auto* UL = new QVBoxLayout(USGS);
  Tighten(UL);
  chkUSGSStation =
      Named(new QCheckBox(Caption(CheckUSGSStation)), QStringLiteral("chkUSGSStation"));
  chkUSGSDevice = Named(new QCheckBox(Caption(CheckUSGSDevice)), QStringLiteral("chkUSGSDevice"));
  Hinted(chkUSGSDevice, HintUSGSDevice);
  edtDevice = Named(new QLineEdit, QStringLiteral("edtDevice"));
  Hinted(edtDevice, HintDevice);
  edtDevice->setEnabled(false);
  UL->addWidget(chkUSGSStation);
  UL->addWidget(chkUSGSDevice);
  UL->addWidget(edtDevice);
  R->addWidget(USGS);
  R->addStretch(1);
  Row->addWidget(Right, 2);
  return Page;
}

} // namespace quorvin::gui
