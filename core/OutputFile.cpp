// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/OutputFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>
#include <random>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/RegularFile.h"

namespace quorvin {

// Files being written, for the signal handler: a list it can walk without
// locks or allocation. An entry holds a temporary file to remove, or an
// append target and the size to cut it back to. Entries are never freed,
// only reused, so the list is as long as the most files ever written at
// once, whatever that number is.
struct TPending {
  enum : int { Free, Filling, Ready, Handled };
  std::atomic<int> State{Filling};
  std::size_t Room = 0;
  std::unique_ptr<char[]> Path;
  std::int64_t CutTo = -1; // -1: remove the file
  TPending* Next = nullptr;
};

namespace {

constexpr std::size_t SmallBufferSize = 16 << 10;
constexpr std::size_t LargeBufferSize = 1 << 20;
// Written bytes of a replacement handed to the disk at a time.
constexpr std::int64_t WritebackStep = 8 << 20;

std::atomic<TPending*> PendingList{nullptr};

// Enters Path in the list; null only when no memory was left for it.
TPending* RegisterPending(const std::string& Path, std::int64_t CutTo) {
  const std::size_t Need = Path.size() + 1;
  TPending* Entry = nullptr;
  for (TPending* E = PendingList.load(); E && !Entry; E = E->Next) {
    int Expected = TPending::Free;
    if (E->Room >= Need && E->State.compare_exchange_strong(Expected, TPending::Filling)) Entry = E;
  }
  if (!Entry) {
    Entry = new (std::nothrow) TPending;
    if (!Entry) return nullptr;
    Entry->Room = std::max<std::size_t>(Need, 256);
    Entry->Path.reset(new (std::nothrow) char[Entry->Room]);
    if (!Entry->Path) {
      delete Entry;
      return nullptr;
    }
    Entry->Next = PendingList.load();
    while (!PendingList.compare_exchange_weak(Entry->Next, Entry)) {}
  }
  std::memcpy(Entry->Path.get(), Path.c_str(), Need);
  Entry->CutTo = CutTo;
  Entry->State.store(TPending::Ready);
  return Entry;
}

void UnregisterPending(TPending*& Entry) {
  if (!Entry) return;
  // An entry the handler has taken is left to it: the process is ending.
  int Expected = TPending::Ready;
  Entry->State.compare_exchange_strong(Expected, TPending::Free);
  Entry = nullptr;
}

extern "C" void CleanUpAndDie(int Signal) {
  const int SavedErrno = errno;
  for (TPending* E = PendingList.load(); E; E = E->Next) {
    int Expected = TPending::Ready;
    if (!E->State.compare_exchange_strong(Expected, TPending::Handled)) continue;
    if (E->CutTo < 0)
      ::unlink(E->Path.get());
    else if (::truncate(E->Path.get(), E->CutTo) != 0) {
      // Nothing more can be done for it.
    }
  }
  errno = SavedErrno;
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

// The file Path names once every symbolic link on its end is followed (it
// may not exist yet); 0, or the error that stopped the search.
int FollowLinks(const std::string& Path, std::string& Final) {
  Final = Path;
  for (int Hop = 0; Hop < 40; ++Hop) {
    struct stat St;
    if (::lstat(Final.c_str(), &St) != 0 || !S_ISLNK(St.st_mode)) return 0;
    std::vector<char> Link(PATH_MAX + 1);
    const ssize_t Got = ::readlink(Final.c_str(), Link.data(), Link.size());
    if (Got < 0) return errno;
    if (static_cast<std::size_t>(Got) >= Link.size()) return ENAMETOOLONG;
    const std::string To(Link.data(), static_cast<std::size_t>(Got));
    const std::size_t Slash = Final.rfind('/');
    if (To.front() == '/' || Slash == std::string::npos)
      Final = To;
    else
      Final = Final.substr(0, Slash + 1) + To;
  }
  return ELOOP;
}

void InstallUnlessIgnored(int Signal, const struct sigaction& Action) {
  struct sigaction Old;
  if (sigaction(Signal, nullptr, &Old) == 0 && Old.sa_handler == SIG_IGN) return;
  sigaction(Signal, &Action, nullptr);
}

} // namespace

void SetUpProcessSignals() {
  std::signal(SIGXFSZ, SIG_IGN);
  struct sigaction Action;
  std::memset(&Action, 0, sizeof Action);
  Action.sa_handler = CleanUpAndDie;
  sigemptyset(&Action.sa_mask);
  // A signal ignored by whoever started the program (nohup, a shell's
  // background job, a pipeline that wants write errors) stays ignored.
  for (int Signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) InstallUnlessIgnored(Signal, Action);
}

TOutputFile::~TOutputFile() { Abandon(); }

// The reason names the file the user asked for, never the temporary one
// beside it: that name means nothing to the user and is gone afterwards.
bool TOutputFile::Fail(const std::string& Path, int Error) {
  FFailed = true;
  FReason = Path + ": " + SystemErrorText(Error);
  return false;
}

bool TOutputFile::OpenReplace(const std::string& Target) {
  Abandon();
  FReason.clear();
  FTarget = Target;
  if (const int Error = FollowLinks(Target, FFinal)) return Fail(Target, Error);
  struct stat Old;
  const bool Exists = ::stat(FFinal.c_str(), &Old) == 0;
  if (Exists && !S_ISREG(Old.st_mode)) return Fail(Target, S_ISDIR(Old.st_mode) ? EISDIR : EINVAL);
  if (Exists && ReadOnly(Old)) return Fail(Target, EACCES);

  std::string Name;
  const int Fd = CreateBeside(FFinal + ".partial-", Name);
  if (Fd < 0) return Fail(Target, errno);
  FPending = RegisterPending(Name, -1);
  if (!FPending) {
    ::close(Fd);
    ::unlink(Name.c_str());
    return Fail(Target, ENOMEM);
  }
  // A new file has had the umask applied by open; a replacement keeps the
  // mode of the file it replaces.
  if (Exists) ::fchmod(Fd, Old.st_mode & 07777);
  FFd = Fd;
  FTempName = Name;
  FBuffered = 0;
  FWritten = 0;
  FWritebackFrom = 0;
  FAppendFrom = -1;
  FFailed = false;
  return true;
}

bool TOutputFile::OpenAppend(const std::string& Target) {
  Abandon();
  FReason.clear();
  FTarget = Target;
  FTempName.clear();
  if (const int Error = FollowLinks(Target, FFinal)) return Fail(Target, Error);
  struct stat Old;
  if (::stat(FFinal.c_str(), &Old) == 0) {
    if (!S_ISREG(Old.st_mode)) return Fail(Target, S_ISDIR(Old.st_mode) ? EISDIR : EINVAL);
    if (ReadOnly(Old)) return Fail(Target, EACCES);
  }
  const int Fd = ::open(FFinal.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (Fd < 0) return Fail(Target, errno);
  struct stat Now;
  if (::fstat(Fd, &Now) != 0 || !S_ISREG(Now.st_mode)) {
    const int Error = errno ? errno : EINVAL;
    ::close(Fd);
    return Fail(Target, Error);
  }
  // Cut back by name, from wherever the process is when a signal comes.
  std::string Absolute = FFinal;
  if (Absolute.front() != '/') {
    char Here[PATH_MAX];
    if (::getcwd(Here, sizeof Here)) Absolute = std::string(Here) + "/" + Absolute;
  }
  FPending = RegisterPending(Absolute, Now.st_size);
  if (!FPending) {
    ::close(Fd);
    return Fail(Target, ENOMEM);
  }
  FFd = Fd;
  FBuffered = 0;
  FWritten = 0;
  FAppendFrom = Now.st_size;
  FFailed = false;
  return true;
}

bool TOutputFile::WriteOut(const char* Data, std::size_t Size) {
  while (Size > 0) {
    const ssize_t Done = ::write(FFd, Data, Size);
    if (Done < 0) {
      if (errno == EINTR) continue;
      return Fail(FTarget, errno);
    }
    Data += Done;
    Size -= static_cast<std::size_t>(Done);
  }
  return true;
}

bool TOutputFile::FlushBuffer() {
  const std::size_t Count = FBuffered;
  FBuffered = 0;
  return WriteOut(FBuffer.get(), Count);
}

bool TOutputFile::Write(std::string_view Text) {
  if (FFd < 0 || FFailed) return false;
  if (Text.empty()) return true;
  // A file that has grown past the small buffer gets the large one.
  const std::size_t Wanted =
      FWritten + static_cast<std::int64_t>(Text.size()) > static_cast<std::int64_t>(SmallBufferSize)
          ? LargeBufferSize
          : SmallBufferSize;
  if (FBufferSize < Wanted) {
    if (FBuffered > 0 && !FlushBuffer()) return false;
    FBuffer = std::make_unique_for_overwrite<char[]>(Wanted);
    FBufferSize = Wanted;
  }
  if (FBuffered + Text.size() > FBufferSize && FBuffered > 0 && !FlushBuffer()) return false;
  if (Text.size() >= FBufferSize) {
    if (!WriteOut(Text.data(), Text.size())) return false;
  } else {
    std::memcpy(FBuffer.get() + FBuffered, Text.data(), Text.size());
    FBuffered += Text.size();
  }
  FWritten += static_cast<std::int64_t>(Text.size());
  // A replacement is made durable before it replaces the target. Starting
  // the disk's work on what is written as it goes leaves little for that
  // last wait.
  if (!FTempName.empty() && FWritten - FWritebackFrom >= WritebackStep) {
    if (!FlushBuffer()) return false;
#ifdef __linux__
    ::sync_file_range(FFd, FWritebackFrom, FWritten - FWritebackFrom, SYNC_FILE_RANGE_WRITE);
#endif
    FWritebackFrom = FWritten;
  }
  return true;
}

bool TOutputFile::Flush() {
  if (FFd < 0 || FFailed) return false;
  return FlushBuffer();
}

void TOutputFile::CloseFile() {
  ::close(FFd);
  FFd = -1;
  FBuffered = 0;
}

bool TOutputFile::Close() {
  if (FFd < 0) return false;
  bool Ok = !FFailed && FlushBuffer();
  if (Ok && !FTempName.empty() && ::fsync(FFd) != 0) Ok = Fail(FTarget, errno);
  // Closing a file whose data is already handed over reports errors only on
  // file systems that delay them (NFS): they count.
  if (::close(FFd) != 0 && Ok && errno != EINTR) Ok = Fail(FTarget, errno);
  FFd = -1;
  FBuffered = 0;
  if (!Ok) FFailed = true;
  return Ok;
}

bool TOutputFile::Publish() {
  if (FFd >= 0 || FFailed) return false;
  if (!FTempName.empty()) {
    if (std::rename(FTempName.c_str(), FFinal.c_str()) != 0) return Fail(FTarget, errno);
    FTempName.clear();
  }
  // A published file is the user's now: nothing to remove or cut back.
  UnregisterPending(FPending);
  FAppendFrom = -1;
  return true;
}

bool TOutputFile::Commit() {
  const bool Ok = Close() && Publish();
  if (!Ok) Abandon();
  return Ok;
}

void TOutputFile::Abandon() {
  if (FFd >= 0) CloseFile();
  if (!FTempName.empty()) {
    ::unlink(FTempName.c_str());
    FTempName.clear();
  }
  if (FAppendFrom >= 0) {
    // Whatever this append added goes; the file is as it was before.
    if (::truncate(FFinal.c_str(), FAppendFrom) != 0 && FReason.empty())
      FReason = FTarget + ": " + SystemErrorText(errno);
    FAppendFrom = -1;
  }
  UnregisterPending(FPending);
}

} // namespace quorvin
