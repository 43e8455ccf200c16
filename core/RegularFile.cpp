// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorvin {

std::FILE* OpenRegularFile(const std::string& Path, int& Error) {
  // Non-blocking, so that opening a FIFO returns at once; the type is then
  // checked on the open descriptor, so it cannot change in between.
  const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (Fd < 0) {
    Error = errno != 0 ? errno : EIO;
    return nullptr;
  }
  struct stat St {};
  if (::fstat(Fd, &St) != 0 || !S_ISREG(St.st_mode)) {
    Error = S_ISDIR(St.st_mode) ? EISDIR : NotARegularFile;
    ::close(Fd);
    return nullptr;
  }
  const int Flags = ::fcntl(Fd, F_GETFL);
  if (Flags != -1) ::fcntl(Fd, F_SETFL, Flags & ~O_NONBLOCK);
  std::FILE* F = ::fdopen(Fd, "rb");
  if (!F) {
    Error = errno != 0 ? errno : EIO;
    ::close(Fd);
    return nullptr;
  }
  Error = 0;
  return F;
}

int ReadRegularFile(const std::string& Path, std::string& Text) {
  Text.clear();
  int Error = 0;
  std::FILE* F = OpenRegularFile(Path, Error);
  if (!F) return Error;
  char Buf[65536];
  std::size_t Got;
  while ((Got = std::fread(Buf, 1, sizeof Buf, F)) > 0) Text.append(Buf, Got);
  if (std::ferror(F)) Error = errno != 0 ? errno : EIO;
  std::fclose(F);
  if (Error != 0) Text.clear();
  return Error;
}

std::string RegularFileProblem(int Error) {
  if (Error == 0) return std::string();
  if (Error == EISDIR) return "a folder";
  if (Error == NotARegularFile) return "not a regular file";
  return SystemErrorText(Error);
}

namespace {

// strerror_r comes in two forms: the GNU one answers the text (its own or
// one written into the buffer), the POSIX one writes it and answers 0.
[[maybe_unused]] const char* ErrorTextOf(const char* Answer, const char*) { return Answer; }
[[maybe_unused]] const char* ErrorTextOf(int Answer, const char* Buffer) {
  return Answer == 0 ? Buffer : "Unknown error";
}

} // namespace

std::string SystemErrorText(int Error) {
  char Text[256] = "";
  return ErrorTextOf(::strerror_r(Error, Text, sizeof Text), Text);
}

} // namespace quorvin
