#include "gui/QtBridge.h"

#include <QLocale>
#include <QStringDecoder>
#include <QTimeZone>

#include <cctype>
#include <cmath>

namespace quorvin::gui {

namespace {

// 1970-01-01 as a date-time value.
constexpr double UnixEpochDays = 25569.0;
constexpr double MSecsPerDay = 86400000.0;

const QDate& DateTimeEpoch() {
  static const QDate Epoch(1899, 12, 30);
  return Epoch;
}

void AppendLiteral(QString& Out, QChar C) {
  if (C == u'\'')
    Out += QStringLiteral("''");
  else
    Out += u'\'' + QString(C) + u'\'';
}

} // namespace

QString FromEngine(const std::string& Text) {
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
      Out += Run >= 3 ? QStringLiteral("yyyy") : QStringLiteral("yy");
      AfterHour = false;
      break;
    case 'M':
      Out += AfterHour ? (Two ? "mm" : "m") : (Two ? "MM" : "M");
      AfterHour = false;
      break;
    case 'D':
      Out += Two ? "dd" : "d";
      AfterHour = false;
      break;
    case 'H':
      Out += Two ? "HH" : "H";
      AfterHour = true;
      break;
    case 'S':
      Out += Two ? "ss" : "s";
      AfterHour = false;
      break;
    case '/':
      AppendLiteral(Out, QChar::fromLatin1(DateSeparator));
      break;
    case ':':
      AppendLiteral(Out, QChar::fromLatin1(TimeSeparator));
      break;
    default:
      AppendLiteral(Out, QChar::fromLatin1(Pattern[I]));
      break;
    }
    I += Run;
  }
  return Out;
}

QString FormatUtc(qint64 MSecs, const QString& Format) {
  return QLocale::c().toString(QDateTime::fromMSecsSinceEpoch(MSecs, QTimeZone::utc()), Format);
}

} // namespace quorvin::gui
