#include "report/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvin {

namespace {
constexpr std::size_t BufferSize = 1 << 20;
} // namespace

int CreateTempBeside(const std::string& Target, std::string& TempName) {
  // Created with the usual mode of a new file, so the umask applies without
  // being read: reading it means setting it, which would race with another
  // thread creating a file at that moment.
  thread_local std::mt19937_64 Gen{std::random_device{}()};
  static constexpr char Letters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (int Try = 0; Try < 100; ++Try) {
    std::string Name = Target + ".tmp";
    for (int I = 0; I < 6; ++I) Name += Letters[Gen() % (sizeof Letters - 1)];
    const int Fd = ::open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (Fd >= 0) {
      TempName = Name;
      return Fd;
    }
    if (errno != EEXIST) break;
  }
  return -1;
}

TOutputFile::~TOutputFile() { Abandon(); }

bool TOutputFile::OpenReplace(const std::string& Target) {
  Abandon();
  std::string Name;
  const int Fd = CreateTempBeside(Target, Name);
  if (Fd < 0) return false;
  // A replacement keeps the permissions of the file it replaces; a new file
  // has had the umask applied by open.
  struct stat St;
  if (::stat(Target.c_str(), &St) == 0) fchmod(Fd, St.st_mode & 07777);
  FFile = fdopen(Fd, "wb");
  if (!FFile) {
    ::close(Fd);
    std::remove(Name.c_str());
    return false;
  }
  std::setvbuf(FFile, nullptr, _IOFBF, BufferSize);
  FTarget = Target;
  FTempName = Name;
  FFailed = false;
  return true;
}

bool TOutputFile::OpenAppend(const std::string& Target) {
  Abandon();
  FFile = std::fopen(Target.c_str(), "ab");
  if (!FFile) return false;
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
  if (FTempName.empty()) return true;
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
