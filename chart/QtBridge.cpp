// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/QtBridge.h"

#include <QStringDecoder>
#include <QTimeZone>

#include <array>
#include <cmath>

#include "app/Settings.h"

namespace quorvin::chart {

namespace {

constexpr double MSecsPerDay = SecsPerDay * 1000.0;

} // namespace

QString FromEngine(std::string_view Text) {
  QStringDecoder Utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString Decoded = Utf8.decode(QByteArrayView(Text.data(), qsizetype(Text.size())));
  if (!Utf8.hasError()) return Decoded;
  return QString::fromLatin1(Text.data(), qsizetype(Text.size()));
}

std::string ToEngine(const QString& Text) { return Text.toStdString(); }

qint64 DateTimeToMSecs(TDateTime Value) {
  return std::llround((Value - UnixEpochDateTime) * MSecsPerDay);
}

TDateTime MSecsToDateTime(qint64 MSecs) { return double(MSecs) / MSecsPerDay + UnixEpochDateTime; }

QDateTime DateTimeToQt(TDateTime Value) {
  return QDateTime::fromMSecsSinceEpoch(DateTimeToMSecs(Value), QTimeZone::utc());
}

QDate DateOfDateTime(TDateTime Value) {
  int Year, Month, Day;
  DecodeDate(Value, Year, Month, Day);
  return QDate(Year, Month, Day);
}

TDateTime DateToDateTime(const QDate& Date) {
  return EncodeDate(Date.year(), Date.month(), Date.day());
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

} // namespace quorvin::chart
