// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/AboutForm.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/Captions.h"
#include "chart/QtBridge.h"
#include "gui/Icons.h"

namespace quorvin::gui {

using namespace chart;

QString TAboutForm::VersionLine() {
  return Caption(captions::AboutVersionPrefix) + QStringLiteral(QUORVIN_VERSION);
}

TAboutForm::TAboutForm(QWidget* Parent) : QDialog(Parent) {
  setObjectName(QStringLiteral("AboutForm"));
  setWindowTitle(Caption(captions::AboutCaption));
  setWindowIcon(ProgramIcon());

  auto* Image = new QLabel(this);
  Image->setObjectName(QStringLiteral("ProgramIcon"));
  Image->setPixmap(SvgPixmap(QStringLiteral(":/resources/quorvin.svg"), QSize(96, 96)));

  auto* Name = new QLabel(Caption(captions::ProgramName), this);
  Name->setObjectName(QStringLiteral("ProductName"));
  QFont Bold = Name->font();
  Bold.setBold(true);
  Bold.setPixelSize(19);
  Name->setFont(Bold);

  auto* Version = new QLabel(VersionLine(), this);
  Version->setObjectName(QStringLiteral("Version"));

  auto* Buttons = new QDialogButtonBox(this);
  QPushButton* OK = Buttons->addButton(Caption(captions::AboutOK), QDialogButtonBox::AcceptRole);
  OK->setObjectName(QStringLiteral("btnOK"));
  OK->setDefault(true);
  connect(OK, &QPushButton::clicked, this, [this] { btnOKClick(); });

  auto* Layout = new QGridLayout(this);
  Layout->setContentsMargins(16, 16, 16, 12);
  Layout->setHorizontalSpacing(18);
  Layout->addWidget(Image, 0, 0, 3, 1, Qt::AlignTop);
  Layout->addWidget(Name, 0, 1, Qt::AlignBottom);
  Layout->addWidget(Version, 1, 1, Qt::AlignTop);
  Layout->setRowStretch(2, 1);
  Layout->addWidget(Buttons, 3, 0, 1, 2);

  // A fixed dialog border at its design size, or larger where the
  // desktop's font needs it.
  const QSize Size = sizeHint().expandedTo(QSize(314, 184));
  setFixedSize(Size);
}

void TAboutForm::btnOKClick() { accept(); }

} // namespace quorvin::gui
