// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ExportForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "chart/QtBridge.h"
#include "core/FileNames.h"
#include "gui/Accessibility.h"
#include "gui/ZoneForm.h"

namespace quorvin {

using namespace captions;
using namespace chart;

TExportForm::TExportForm(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("ExportForm"));
  setWindowTitle(Caption(DialogExport));
  cbxFormat = new QComboBox;
  cbxFormat->setObjectName(QStringLiteral("cbxExportFormat"));
  for (std::string_view Name : ExportFormatNames) cbxFormat->addItem(Caption(Name));
  cbxZone = new QComboBox;
  cbxZone->setObjectName(QStringLiteral("cbxExportZone"));
  cbxZone->setEditable(true);
  cbxZone->setToolTip(Caption(HintExportZone));
  edtFile = new QLineEdit;
  edtFile->setObjectName(QStringLiteral("edtExportFile"));
  edtFile->setMinimumWidth(360);
  auto* Browse = new QPushButton(Caption(ButtonBrowse));
  auto* FileRow = new QHBoxLayout;
  FileRow->addWidget(edtFile, 1);
  FileRow->addWidget(Browse);
  auto* Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* Form = new QFormLayout(this);
  Form->addRow(Caption(LabelExportFormat), cbxFormat);
  Form->addRow(Caption(LabelExportZone), cbxZone);
  Form->addRow(Caption(LabelExportFile), FileRow);
  Form->addRow(Buttons);
  connect(cbxFormat, &QComboBox::currentIndexChanged, this, &TExportForm::cbxFormatChange);
  connect(Browse, &QPushButton::clicked, this, &TExportForm::btnBrowseClick);
  connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  gui::NameForAccessibility(*this);
}

void TExportForm::Show(const TExportChoice& Choice) {
  const QSignalBlocker Block(cbxFormat);
  FillZoneList(*cbxZone);
  cbxFormat->setCurrentIndex(Choice.Format == TReadingsFormat::NetCdf ? 1 : 0);
  ShowZone(*cbxZone, Choice.Zone);
  edtFile->setText(FromEngine(Choice.FileName));
}

void TExportForm::Take(TExportChoice& Choice) const {
  Choice.Format = cbxFormat->currentIndex() == 1 ? TReadingsFormat::NetCdf : TReadingsFormat::Csv;
  Choice.Zone = ToEngine(cbxZone->currentText().trimmed());
  Choice.FileName = ToEngine(edtFile->text());
}

bool TExportForm::Execute(TExportChoice& Choice) {
  Show(Choice);
  if (exec() != QDialog::Accepted) return false;
  Take(Choice);
  return true;
}

void TExportForm::cbxFormatChange(int Index) {
  // The name follows the format, as the application names an export.
  edtFile->setText(FromEngine(TApplication::ExportTarget(
      ToEngine(edtFile->text()), Index == 1 ? TReadingsFormat::NetCdf : TReadingsFormat::Csv)));
}

void TExportForm::btnBrowseClick() {
  const bool NetCdf = cbxFormat->currentIndex() == 1;
  const QString Chosen =
      QFileDialog::getSaveFileName(this, Caption(DialogExport), edtFile->text(),
                                   Caption(NetCdf ? FilterExportNetCdf : FilterExportCsv), nullptr,
                                   QFileDialog::DontUseNativeDialog);
  if (!Chosen.isEmpty()) edtFile->setText(Chosen);
}

} // namespace quorvin
