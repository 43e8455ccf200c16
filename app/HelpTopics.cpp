// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelpTopics.h"

#include "app/Captions.h"

namespace quorvin {

std::string HelpTopic(int Context) {
  using namespace captions;
  switch (Context) {
  case HelpWindow:
    return "index.html#window";
  case HelpLogPrn:
    return "logprn.html";
  case HelpLogPlot:
    return "logplot.html";
  case HelpLogStat:
    return "logstat.html";
  case HelpRamCard:
    return "ramcard.html";
  case HelpDDRLog:
    return "ddrlog.html";
  default:
    return std::string(HelpContentsTopic);
  }
}

} // namespace quorvin
