// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ChartService.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "core/RegularFile.h"

namespace quorvin {

bool IChartWriter::ChartBytes(TChartFileType Type, std::string& Bytes, std::string& Reason) {
  Bytes.clear();
  std::error_code Ec;
  std::filesystem::path Temp = std::filesystem::temp_directory_path(Ec);
  if (Ec) Temp = "/tmp";
  std::string Pattern = (Temp / "quorvin-chart-XXXXXX").string();
  std::vector<char> Name(Pattern.begin(), Pattern.end());
  Name.push_back('\0');
  if (!::mkdtemp(Name.data())) {
    Reason = Pattern + ": " + SystemErrorText(errno);
    return false;
  }
  const std::string Folder = Name.data();
  const std::string File = Folder + (Type == TChartFileType::Png ? "/chart.png" : "/chart.pdf");
  bool Ok = WriteChart(File, Type, Reason);
  if (Ok) {
    const int Error = ReadRegularFile(File, Bytes);
    if (Error != 0) {
      Reason = File + ": " + RegularFileProblem(Error);
      Ok = false;
    }
  }
  std::filesystem::remove_all(Folder, Ec);
  return Ok;
}

} // namespace quorvin
