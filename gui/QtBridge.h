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

namespace quorvin::gui {

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

// The program's date-time pattern ("MM/DD/YY HH:MM:SS", letters in any
// case, M after H meaning minutes) as a Qt format, with "/" and ":" taken
// as the given separators and every other character quoted as it stands.
QString QtDateTimeFormat(const std::string& Pattern, char DateSeparator, char TimeSeparator);
// A UTC date-time in a Qt format, digits as the C locale writes them.
QString FormatUtc(qint64 MSecs, const QString& Format);

// The colour of entry Index of the colour lists (the sixteen basic colours
// in the order of ColourNames); black for an index out of range.
QColor ListColour(int Index);

} // namespace quorvin::gui
