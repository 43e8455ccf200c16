// SPDX-License-Identifier: GPL-3.0-or-later
// Where the engines' values meet Qt: texts, file names, and date-times.
//
// Log times are wall-clock times without a zone. They become Qt date-times
// only as UTC, never through the local zone, so a daylight-saving change
// cannot move, drop or double an hour on their way to the screen.
#pragma once

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <string>
#include <string_view>

#include "core/MiscUtil.h"

namespace quorvin::chart {

// Engine text: UTF-8 when it is valid UTF-8 (file names, typed texts), else
// the 8-bit text of a logger file, read byte for byte as Latin-1.
QString FromEngine(std::string_view Text);
// One of the program's own texts (captions, hints, messages).
inline QString Caption(std::string_view Text) {
  return QString::fromLatin1(Text.data(), qsizetype(Text.size()));
}
// A typed text or file name as the engines take it (UTF-8, as file names are
// on this system).
std::string ToEngine(const QString& Text);

// Date-time values (days since 1899-12-30) as milliseconds since 1970 in UTC.
qint64 DateTimeToMSecs(TDateTime Value);
TDateTime MSecsToDateTime(qint64 MSecs);
QDateTime DateTimeToQt(TDateTime Value);
// The calendar day of a date-time value, and a day as a date-time value.
QDate DateOfDateTime(TDateTime Value);
TDateTime DateToDateTime(const QDate& Date);

// The colour of entry Index of the colour lists (the sixteen basic colours
// in the order of ColourNames); black for an index out of range.
QColor ListColour(int Index);

} // namespace quorvin::chart
