// SPDX-License-Identifier: GPL-3.0-or-later
// The File > Export dialog: format, the logger's time zone and the file.
#pragma once

#include <QDialog>

#include "app/Application.h"

class QComboBox;
class QLineEdit;

namespace quorvin {

class TExportForm final : public QDialog, public IExportDialog {
  Q_OBJECT
public:
  explicit TExportForm(QWidget* Parent);
  bool Execute(TExportChoice& Choice) override;

  // The controls, as Execute shows them (for the window's tests).
  void Show(const TExportChoice& Choice);
  void Take(TExportChoice& Choice) const;

private:
  void cbxFormatChange(int Index);
  void btnBrowseClick();

  QComboBox* cbxFormat;
  QComboBox* cbxZone;
  QLineEdit* edtFile;
};

} // namespace quorvin
