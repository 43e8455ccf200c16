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

QString TAboutForm::LicenceText() {
  return Caption(captions::CopyrightLine) + u'\n' + Caption(captions::LicenceLine) + u'\n' +
         Caption(captions::WarrantyLines);
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

  auto* Licence = new QLabel(LicenceText(), this);
  Licence->setObjectName(QStringLiteral("Licence"));
  Licence->setWordWrap(true);
  Licence->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont Small = Licence->font();
  Small.setPointSizeF(Small.pointSizeF() * 0.9);
  Licence->setFont(Small);

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
  Layout->addWidget(Licence, 2, 1, Qt::AlignTop);
  Layout->setRowStretch(3, 1);
  Layout->addWidget(Buttons, 4, 0, 1, 2);

  // A fixed dialog border at its design size, or larger where the
  // desktop's font needs it.
  const QSize Size = sizeHint().expandedTo(QSize(314, 184));
  setFixedSize(Size);
}

void TAboutForm::btnOKClick() { accept(); }

} // namespace quorvin::gui
