#include "app/Application.h"

namespace quorvin {

TApplication::TApplication() {
  // The system's separators are taken once, when the program starts.
  SystemSeparators(Format.SystemDateSeparator, Format.SystemTimeSeparator);
  Format.DateSeparator = Format.SystemDateSeparator;
  Format.TimeSeparator = Format.SystemTimeSeparator;
}

} // namespace quorvin
