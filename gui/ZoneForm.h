// SPDX-License-Identifier: GPL-3.0-or-later
// The Options > Time Zone dialog: the zone the logger's clock kept. Its list
// of zones is the one the Export dialog offers too.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

#include "app/Application.h"

class QComboBox;

namespace quorvin {

// Fills an editable Box, when it is still empty, with the zones to choose
// from: none (times as recorded) first, then the IANA names of the system's
// time-zone database. Any other name, or an offset, may be typed.
void FillZoneList(QComboBox& Box);
// Shows Zone in such a Box, its entry chosen where the list has one (so the
// open list starts there).
void ShowZone(QComboBox& Box, const std::string& Zone);

class TZoneForm final : public QDialog, public IZoneDialog {
  Q_OBJECT
public:
  explicit TZoneForm(QWidget* Parent);
  bool Execute(std::string& Zone, const std::function<bool(const std::string&)>& Accepted) override;

  // OK: closes only on a zone the caller of Execute accepts.
  void accept() override;

private:
  std::string Chosen() const;

  QComboBox* cbxZone;
  std::function<bool(const std::string&)> FAccepted;
};

} // namespace quorvin
