// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ZoneForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "chart/QtBridge.h"
#include "core/ZoneDatabase.h"
#include "gui/Accessibility.h"

namespace quorvin {

using namespace captions;
using namespace chart;

void FillZoneList(QComboBox& Box) {
  if (Box.count() > 0) return;
  // Reading the database takes a moment: it is read when a list is first
  // shown, never as the window starts.
  const std::vector<std::string> Names = ZoneNames();
  QStringList Items{QString()};
  Items.reserve(qsizetype(Names.size()) + 1);
  for (const std::string& Name : Names) Items.append(FromEngine(Name));
  Box.addItems(Items);
  if (QLineEdit* Edit = Box.lineEdit()) Edit->setPlaceholderText(Caption(PlaceholderNoZone));
}

void ShowZone(QComboBox& Box, const std::string& Zone) {
  const QString Text = FromEngine(Zone);
  const int Entry = Box.findText(Text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (Entry >= 0) Box.setCurrentIndex(Entry);
  Box.setEditText(Text);
}

TZoneForm::TZoneForm(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("ZoneForm"));
  setWindowTitle(Caption(DialogTimeZone));
  cbxZone = new QComboBox;
  cbxZone->setObjectName(QStringLiteral("cbxZone"));
  cbxZone->setEditable(true);
  cbxZone->setInsertPolicy(QComboBox::NoInsert);
  cbxZone->setMinimumWidth(260);
  cbxZone->setToolTip(Caption(HintExportZone));
  auto* Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  auto* Form = new QFormLayout(this);
  Form->addRow(Caption(LabelExportZone), cbxZone);
  Form->addRow(Buttons);
  connect(Buttons, &QDialogButtonBox::accepted, this, &TZoneForm::accept);
  connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  gui::NameForAccessibility(*this);
}

std::string TZoneForm::Chosen() const { return ToEngine(cbxZone->currentText().trimmed()); }

bool TZoneForm::Execute(std::string& Zone,
                        const std::function<bool(const std::string&)>& Accepted) {
  FillZoneList(*cbxZone);
  ShowZone(*cbxZone, Zone);
  FAccepted = Accepted;
  const bool Taken = exec() == QDialog::Accepted;
  FAccepted = nullptr;
  if (Taken) Zone = Chosen();
  return Taken;
}

void TZoneForm::accept() {
  // A zone refused leaves the dialog open, the text there to mend.
  if (FAccepted && !FAccepted(Chosen())) {
    cbxZone->setFocus();
    return;
  }
  QDialog::accept();
}

} // namespace quorvin
