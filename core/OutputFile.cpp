// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/OutputFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvin {

namespace {

constexpr std::size_t BufferSize = 1 << 20;
// Written bytes of a replacement handed to the disk at a time.
constexpr std::int64_t WritebackStep = 8 << 20;

// Temporary files being written, for the signal handler: a fixed table it
// can read without locks or allocation.
constexpr int MaxPending = 64;
constexpr std::size_t MaxPathBytes = 4096;
struct TPendingSlot {
  std::atomic<bool> Claimed{false};
  std::atomic<bool> Ready{false};
  char Path[MaxPathBytes] = {};
};
// Zero bytes from the start: initialising its 256 KB at run time would cost
// every start of the batch tool.
constinit TPendingSlot PendingSlots[MaxPending]{};

int RegisterPending(const std::string& Path) {
  if (Path.size() >= MaxPathBytes) return -1;
  for (int I = 0; I < MaxPending; ++I) {
    bool Free = false;
    if (PendingSlots[I].Claimed.compare_exchange_strong(Free, true)) {
      std::memcpy(PendingSlots[I].Path, Path.c_str(), Path.size() + 1);
      PendingSlots[I].Ready.store(true);
      return I;
    }
  }
  return -1;
}

void UnregisterPending(const std::string& Path) {
  for (TPendingSlot& S : PendingSlots)
    if (S.Ready.load() && Path == S.Path) {
      S.Ready.store(false);
      S.Claimed.store(false);
      return;
    }
}

extern "C" void RemovePendingAndDie(int Signal) {
  for (TPendingSlot& S : PendingSlots)
    if (S.Ready.load()) ::unlink(S.Path);
  std::signal(Signal, SIG_DFL);
  std::raise(Signal);
}

// Creates a new file named Prefix and six letters, with the usual mode of
// a new file: open applies the umask, which is never read, since reading it
// means setting it, and another thread may be creating a file meanwhile.
int CreateBeside(const std::string& Prefix, std::string& Name) {
  thread_local std::mt19937_64 Gen{std::random_device{}()};
  static constexpr char Letters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (int Try = 0; Try < 100; ++Try) {
    Name = Prefix;
    for (int I = 0; I < 6; ++I) Name += Letters[Gen() % (sizeof Letters - 1)];
    const int Fd = ::open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (Fd >= 0 || errno != EEXIST) return Fd;
  }
  return -1;
}

// A file nobody may write: refused, as a read-only file is.
bool ReadOnly(const struct stat& St) { return (St.st_mode & 0222) == 0; }

} // namespace

void SetUpProcessSignals() {
  std::signal(SIGXFSZ, SIG_IGN);
  struct sigaction Action;
  std::memset(&Action, 0, sizeof Action);
  Action.sa_handler = RemovePendingAndDie;
  sigemptyset(&Action.sa_mask);
  sigaction(SIGINT, &Action, nullptr);
  sigaction(SIGTERM, &Action, nullptr);
}

TOutputFile::~TOutputFile() { Abandon(); }

// The reason names the file the user asked for, never the temporary one
// beside it: that name means nothing to the user and is gone afterwards.
bool TOutputFile::Fail(const std::string& Path, int Error) {
  FFailed = true;
  FReason = Path + ": " + std::strerror(Error);
  return false;
}

void TOutputFile::SetBuffer() {
  if (!FBuffer) FBuffer = std::make_unique_for_overwrite<char[]>(BufferSize);
  std::setvbuf(FFile, FBuffer.get(), _IOFBF, BufferSize);
}

bool TOutputFile::OpenReplace(const std::string& Target) {
  Abandon();
  FReason.clear();
  FTarget = Target;
  struct stat Old;
  const bool Exists = ::stat(Target.c_str(), &Old) == 0;
  if (Exists && !S_ISREG(Old.st_mode)) return Fail(Target, S_ISDIR(Old.st_mode) ? EISDIR : EINVAL);
  if (Exists && ReadOnly(Old)) return Fail(Target, EACCES);

  std::string Name;
  const int Fd = CreateBeside(Target + ".partial-", Name);
  if (Fd < 0) return Fail(Target, errno);
  // A new file has had the umask applied by open; a replacement keeps the
  // mode of the file it replaces.
  if (Exists) ::fchmod(Fd, Old.st_mode & 07777);
  FFile = ::fdopen(Fd, "wb");
  if (!FFile) {
    const int Error = errno;
    ::close(Fd);
    ::unlink(Name.c_str());
    return Fail(Target, Error);
  }
  SetBuffer();
  FTempName = Name;
  FWritten = 0;
  FWritebackFrom = 0;
  RegisterPending(FTempName);
  FAppendFrom = -1;
  FFailed = false;
  return true;
}

bool TOutputFile::OpenAppend(const std::string& Target) {
  Abandon();
  FReason.clear();
  FTarget = Target;
  FTempName.clear();
  struct stat Old;
  if (::stat(Target.c_str(), &Old) == 0) {
    if (!S_ISREG(Old.st_mode)) return Fail(Target, S_ISDIR(Old.st_mode) ? EISDIR : EINVAL);
    if (ReadOnly(Old)) return Fail(Target, EACCES);
  }
  const int Fd = ::open(Target.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (Fd < 0) return Fail(Target, errno);
  struct stat Now;
  if (::fstat(Fd, &Now) != 0 || !S_ISREG(Now.st_mode)) {
    const int Error = errno ? errno : EINVAL;
    ::close(Fd);
    return Fail(Target, Error);
  }
  FFile = ::fdopen(Fd, "ab");
  if (!FFile) {
    const int Error = errno;
    ::close(Fd);
    return Fail(Target, Error);
  }
  SetBuffer();
  FAppendFrom = Now.st_size;
  FFailed = false;
  return true;
}

bool TOutputFile::Write(std::string_view Text) {
  if (!FFile || FFailed) return false;
  if (!Text.empty() && std::fwrite(Text.data(), 1, Text.size(), FFile) != Text.size())
    return Fail(FTarget, errno);
  FWritten += static_cast<std::int64_t>(Text.size());
  // A replacement is made durable before it replaces the target. Starting
  // the disk's work on what is written as it goes leaves little for that
  // last wait.
  if (!FTempName.empty() && FWritten - FWritebackFrom >= WritebackStep) {
    if (std::fflush(FFile) != 0) return Fail(FTarget, errno);
#ifdef __linux__
    ::sync_file_range(fileno(FFile), FWritebackFrom, FWritten - FWritebackFrom,
                      SYNC_FILE_RANGE_WRITE);
#endif
    FWritebackFrom = FWritten;
  }
  return true;
}

bool TOutputFile::Flush() {
  if (!FFile || FFailed) return false;
  if (std::fflush(FFile) != 0) return Fail(FTarget, errno);
  return true;
}

bool TOutputFile::Close() {
  if (!FFile) return false;
  bool Ok = !FFailed;
  if (Ok && std::fflush(FFile) != 0) Ok = Fail(FTarget, errno);
  if (Ok && !FTempName.empty() && ::fsync(fileno(FFile)) != 0) Ok = Fail(FTarget, errno);
  if (std::fclose(FFile) != 0 && Ok) Ok = Fail(FTarget, errno);
  FFile = nullptr;
  if (!Ok) FFailed = true;
  return Ok;
}

bool TOutputFile::Publish() {
  if (FFile || FFailed) return false;
  if (!FTempName.empty()) {
    if (std::rename(FTempName.c_str(), FTarget.c_str()) != 0) return Fail(FTarget, errno);
    UnregisterPending(FTempName);
    FTempName.clear();
  }
  // A published file is the user's now: nothing to cut back.
  FAppendFrom = -1;
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
    ::unlink(FTempName.c_str());
    UnregisterPending(FTempName);
    FTempName.clear();
  }
  if (FAppendFrom >= 0) {
    // Whatever this append added goes; the file is as it was before.
    if (::truncate(FTarget.c_str(), FAppendFrom) != 0 && FReason.empty())
      FReason = FTarget + ": " + std::strerror(errno);
    FAppendFrom = -1;
  }
}

} // namespace quorvin
