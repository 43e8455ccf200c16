// SPDX-License-Identifier: GPL-3.0-or-later
// The about box TAboutForm: the program's name, its icon, its version and
// its licence.
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
  // The copyright, the licence and the warranty, as quorvin-cli --version
  // gives them.
  static QString LicenceText();

private:
  void btnOKClick();
};

} // namespace quorvin::gui
