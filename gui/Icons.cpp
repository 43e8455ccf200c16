#include "gui/Icons.h"

#include <QComboBox>
#include <QPainter>
#include <QSvgRenderer>

#include <array>

#include "app/Settings.h"

namespace quorvin::gui {

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

QColor ListColour(int Index) {
  // clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clGray,
  // clSilver, clRed, clLime, clYellow, clBlue, clFuchsia, clAqua, clWhite.
  static constexpr std::array<QRgb, 16> Rgb = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
      0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  static_assert(Rgb.size() == ColourNames.size());
  if (Index < 0 || Index >= int(Rgb.size())) return QColor(Qt::black);
  return QColor::fromRgb(Rgb[std::size_t(Index)]);
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
