// SPDX-License-Identifier: GPL-3.0-or-later
// The about box TAboutForm: the program's name, its icon, its version.
#pragma once

#include <QDialog>

class QLabel;

namespace quorvin::gui {

class TAboutForm final : public QDialog {
  Q_OBJECT
public:
  explicit TAboutForm(QWidget* Parent = nullptr);
  // "Version " and the program's version.
  static QString VersionLine();

private:
  void btnOKClick();
};

} // namespace quorvin::gui
