// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/QtBridge.h"

#include <QLocale>
#include <QStringDecoder>
#include <QTimeZone>

#include <array>
#include <cctype>
#include <cmath>

#include "app/Settings.h"

namespace quorvin::gui {

namespace {

// 1970-01-01 as a date-time value.
constexpr double UnixEpochDays = 25569.0;
constexpr double MSecsPerDay = 86400000.0;

const QDate& DateTimeEpoch() {
  static const QDate Epoch(1899, 12, 30);
  return Epoch;
}

} // namespace

QString FromEngine(std::string_view Text) {
  QStringDecoder Utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString Decoded = Utf8.decode(QByteArrayView(Text.data(), qsizetype(Text.size())));
  if (!Utf8.hasError()) return Decoded;
  return QString::fromLatin1(Text.data(), qsizetype(Text.size()));
}

std::string ToEngine(const QString& Text) { return Text.toStdString(); }

qint64 DateTimeToMSecs(TDateTime Value) {
  return std::llround((Value - UnixEpochDays) * MSecsPerDay);
}

TDateTime MSecsToDateTime(qint64 MSecs) { return double(MSecs) / MSecsPerDay + UnixEpochDays; }

QDateTime DateTimeToQt(TDateTime Value) {
  return QDateTime::fromMSecsSinceEpoch(DateTimeToMSecs(Value), QTimeZone::utc());
}

QDate DateOfDateTime(TDateTime Value) {
  return DateTimeEpoch().addDays(static_cast<qint64>(std::floor(Value)));
}

TDateTime DateToDateTime(const QDate& Date) { return double(DateTimeEpoch().daysTo(Date)); }

QString QtDateTimeFormat(const std::string& Pattern, char DateSeparator, char TimeSeparator) {
  QString Out;
  // Characters copied as they stand, quoted together so that Qt takes
  // none of them for a pattern letter.
  QString Literal;
  auto Field = [&](const char* Letters) {
    // One quoted run, its quotes doubled; a run cannot begin with a quote
    // (Qt would read two quotes there as one outside any run), so leading
    // quotes are written before it, each as two.
    qsizetype Lead = 0;
    while (Lead < Literal.size() && Literal[Lead] == u'\'') {
      Out += QStringLiteral("''");
      ++Lead;
    }
    if (Lead < Literal.size())
      Out += u'\'' + Literal.mid(Lead).replace(u'\'', QStringLiteral("''")) + u'\'';
    Literal.clear();
    Out += QLatin1String(Letters);
  };
  bool AfterHour = false;
  std::size_t I = 0;
  while (I < Pattern.size()) {
    const char C = static_cast<char>(std::toupper(static_cast<unsigned char>(Pattern[I])));
    std::size_t Run = 1;
    if (C == 'Y' || C == 'M' || C == 'D' || C == 'H' || C == 'S')
      while (I + Run < Pattern.size() &&
             std::toupper(static_cast<unsigned char>(Pattern[I + Run])) == C)
        ++Run;
    const bool Two = Run >= 2;
    switch (C) {
    case 'Y':
      Field(Run >= 3 ? "yyyy" : "yy");
      AfterHour = false;
      break;
    case 'M':
      Field(AfterHour ? (Two ? "mm" : "m") : (Two ? "MM" : "M"));
      AfterHour = false;
      break;
    case 'D':
      Field(Two ? "dd" : "d");
      AfterHour = false;
      break;
    case 'H':
      Field(Two ? "HH" : "H");
      AfterHour = true;
      break;
    case 'S':
      Field(Two ? "ss" : "s");
      AfterHour = false;
      break;
    case '/':
      Literal += QChar::fromLatin1(DateSeparator);
      break;
    case ':':
      Literal += QChar::fromLatin1(TimeSeparator);
      break;
    default:
      Literal += QChar::fromLatin1(Pattern[I]);
      break;
    }
    I += Run;
  }
  Field("");
  return Out;
}

QString FormatUtc(qint64 MSecs, const QString& Format) {
  return QLocale::c().toString(QDateTime::fromMSecsSinceEpoch(MSecs, QTimeZone::utc()), Format);
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

} // namespace quorvin::gui
