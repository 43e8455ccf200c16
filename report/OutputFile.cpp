#include "report/OutputFile.h"

#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace quorvin {

namespace {
constexpr std::size_t BufferSize = 1 << 20;
}

TOutputFile::~TOutputFile() { Abandon(); }

bool TOutputFile::OpenReplace(const std::string& Target) {
  Abandon();
  std::string Template = Target + ".tmpXXXXXX";
  std::vector<char> Name(Template.begin(), Template.end());
  Name.push_back('\0');
  const int Fd = mkstemp(Name.data());
  if (Fd < 0) return false;
  // The new file gets the permissions of the one it replaces, or the usual
  // ones of a new file rather than mkstemp's private 0600.
  struct stat St;
  if (::stat(Target.c_str(), &St) == 0) {
    fchmod(Fd, St.st_mode & 07777);
  } else {
    const mode_t Mask = ::umask(0);
    ::umask(Mask);
    fchmod(Fd, 0666 & ~Mask);
  }
  FFile = fdopen(Fd, "wb");
  if (!FFile) {
    ::close(Fd);
    std::remove(Name.data());
    return false;
  }
  std::setvbuf(FFile, nullptr, _IOFBF, BufferSize);
  FTarget = Target;
  FTempName.assign(Name.data());
  FFailed = false;
  FAppendFrom = -1;
  return true;
}

bool TOutputFile::OpenAppend(const std::string& Target) {
  Abandon();
  struct stat St;
  const long long Before = ::stat(Target.c_str(), &St) == 0 ? (long long)St.st_size : -2;
  FFile = std::fopen(Target.c_str(), "ab");
  if (!FFile) return false;
  FAppendFrom = Before;
  std::setvbuf(FFile, nullptr, _IOFBF, BufferSize);
  FTarget = Target;
  FTempName.clear();
  FFailed = false;
  return true;
}

bool TOutputFile::Write(std::string_view Text) {
  if (!FFile || FFailed) return false;
  if (!Text.empty() && std::fwrite(Text.data(), 1, Text.size(), FFile) != Text.size())
    FFailed = true;
  return !FFailed;
}

bool TOutputFile::Close() {
  if (!FFile) return false;
  bool Ok = !FFailed;
  if (std::fflush(FFile) != 0) Ok = false;
  if (Ok && !FTempName.empty() && ::fsync(fileno(FFile)) != 0) Ok = false;
  if (std::fclose(FFile) != 0) Ok = false;
  FFile = nullptr;
  if (!Ok) FFailed = true;
  return Ok;
}

bool TOutputFile::Publish() {
  if (FFile || FFailed) return false;
  if (FTempName.empty()) {
    FAppendFrom = -1;
    return true;
  }
  if (std::rename(FTempName.c_str(), FTarget.c_str()) != 0) return false;
  FTempName.clear();
  return true;
}

bool TOutputFile::Commit() {
  const bool Ok = Close() && Publish();
  if (!Ok) Abandon();
  return Ok;
}

void TOutputFile::Abandon() {
  if (FFile) {
    std::fclose(FFile);
    FFile = nullptr;
  }
  if (!FTempName.empty()) {
    std::remove(FTempName.c_str());
    FTempName.clear();
  }
  if (FAppendFrom == -2) {
    std::remove(FTarget.c_str());
  } else if (FAppendFrom >= 0) {
    // Whoever abandons the file reports the failure; the text appended is
    // taken back as far as the file lets us.
    if (::truncate(FTarget.c_str(), off_t(FAppendFrom)) != 0) FFailed = true;
  }
  FAppendFrom = -1;
}

bool LooksLikeWorkbook(const std::string& FileName) {
  std::FILE* F = std::fopen(FileName.c_str(), "rb");
  if (!F) return false;
  unsigned char Head[8] = {};
  const std::size_t N = std::fread(Head, 1, sizeof Head, F);
  std::fclose(F);
  static const unsigned char Zip[4] = {'P', 'K', 0x03, 0x04};
  static const unsigned char Ole[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  return (N >= 4 && std::memcmp(Head, Zip, 4) == 0) || (N == 8 && std::memcmp(Head, Ole, 8) == 0);
}

} // namespace quorvin
