// SPDX-License-Identifier: GPL-3.0-or-later
// The user manual: its pages, in the order of its contents list, and the
// topic each help context opens. The window only shows what these name.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quorvin {

struct THelpPage {
  std::string_view File;
  std::string_view Title;
};

inline constexpr std::string_view HelpContentsTopic = "index.html";

inline constexpr std::array<THelpPage, 8> HelpPages = {{
    {"index.html", "Contents"},
    {"logprn.html", "LOGPRN"},
    {"logplot.html", "LOGPLOT"},
    {"logstat.html", "LOGSTAT"},
    {"ramcard.html", "RAMCARD"},
    {"ddrlog.html", "DDRLOG"},
    {"settings.html", "The settings file"},
    {"batch.html", "The batch tool"},
}};

// The topic of a help context: a page of the manual, with an anchor where
// the topic is part of a page. A context the program does not use opens the
// contents.
std::string HelpTopic(int Context);

} // namespace quorvin
