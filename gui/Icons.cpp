// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/Icons.h"

#include <QComboBox>
#include <QPainter>
#include <QSvgRenderer>

#include <array>

#include "app/Settings.h"

namespace quorvin::gui {

using namespace chart;

QPixmap SvgPixmap(const QString& ResourcePath, const QSize& Size) {
  QPixmap Pixmap(Size);
  Pixmap.fill(Qt::transparent);
  QSvgRenderer Renderer(ResourcePath);
  if (Renderer.isValid()) {
    QPainter Painter(&Pixmap);
    Painter.setRenderHint(QPainter::Antialiasing);
    Renderer.render(&Painter);
  }
  return Pixmap;
}

QIcon SvgIcon(const QString& ResourcePath) {
  QIcon Icon;
  for (int Side : {16, 20, 24, 32, 48, 64, 128, 256})
    Icon.addPixmap(SvgPixmap(ResourcePath, QSize(Side, Side)));
  return Icon;
}

QIcon ProgramIcon() { return SvgIcon(QStringLiteral(":/resources/quorvin.svg")); }

QIcon ToolIcon(const QString& Name) {
  return SvgIcon(QStringLiteral(":/resources/icons/") + Name + QStringLiteral(".svg"));
}

void FillColourList(QComboBox& Box) {
  Box.clear();
  Box.setIconSize(QSize(22, 12));
  for (int I = 0; I < int(ColourNames.size()); ++I) {
    QPixmap Swatch(22, 12);
    Swatch.fill(ListColour(I));
    QPainter Painter(&Swatch);
    Painter.setPen(QColor(0x60, 0x60, 0x60));
    Painter.drawRect(0, 0, Swatch.width() - 1, Swatch.height() - 1);
    Painter.end();
    const std::string_view Name = ColourNames[std::size_t(I)];
    Box.addItem(QIcon(Swatch), QString::fromLatin1(Name.data(), qsizetype(Name.size())));
  }
}

} // namespace quorvin::gui
