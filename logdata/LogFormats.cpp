// SPDX-License-Identifier: GPL-3.0-or-later
#include "logdata/LogFormats.h"

#include <filesystem>
#include <string_view>

#include "logdata/CSVFile.h"
#include "logdata/LogFile.h"

namespace quorvin {

namespace {

using TMakeReader = std::unique_ptr<ILogReader> (*)(const std::string& FileName,
                                                    const std::string& DisplayName);

template <class TReader>
std::unique_ptr<ILogReader> Make(const std::string& FileName, const std::string& DisplayName) {
  return std::make_unique<TReader>(FileName, DisplayName);
}

struct TLogFormat {
  std::string_view Extension; // upper case, with its full stop
  TMakeReader MakeReader;
};

constexpr TLogFormat LogFormats[] = {
    {".LOG", &Make<TLogFile>},
    {".CSV", &Make<TCSVLogFile>},
    {".TXT", &Make<TCSVLogFile>},
};

const TLogFormat* FormatOf(const std::string& FileName) {
  const std::string Ext = UpperCase(std::filesystem::path(FileName).extension().string());
  for (const TLogFormat& Format : LogFormats)
    if (Format.Extension == Ext) return &Format;
  return nullptr;
}

} // namespace

bool IsLogFileName(const std::string& FileName) { return FormatOf(FileName) != nullptr; }

std::unique_ptr<ILogReader> MakeLogReader(const std::string& FileName,
                                          const std::string& DisplayName) {
  const TLogFormat* Format = FormatOf(FileName);
  return Format ? Format->MakeReader(FileName, DisplayName) : nullptr;
}

} // namespace quorvin
