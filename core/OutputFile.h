// SPDX-License-Identifier: GPL-3.0-or-later
// The one way the program writes a file. A replacement is written to a
// temporary file beside the target (TARGET.partial-XXXXXX) and renamed over
// the target only when complete; an append writes in place and, on any
// failure or when abandoned, cuts the file back to the size it had. Either
// way a failed or cancelled write leaves the old file exactly as it was.
//
// Permissions: a replacement gets the mode of the file it replaces, a new
// file the usual mode of a new file (0666 less the umask). A target that
// nobody may write (no write bit at all) is refused, as is one that is not
// a regular file.
//
// A target that is a symbolic link is written through: the link stays, the
// file it names gets the new content (its temporary file sits beside that
// file, so the rename stays within one folder).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quorvin {

struct TPending;

class TOutputFile {
public:
  TOutputFile() = default;
  ~TOutputFile(); // abandons an uncommitted file
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  // Starts a new content for Target in a temporary file beside it.
  bool OpenReplace(const std::string& Target);
  // Opens Target for appending (created when missing).
  bool OpenAppend(const std::string& Target);
  bool IsOpen() const { return FFd >= 0; }

  // Buffered; false once any write has failed.
  bool Write(std::string_view Text);
  bool WriteLine(std::string_view Line) { return Write(Line) && Write("\r\n"); }
  // Hands what is buffered to the system.
  bool Flush();

  // Flushes and closes; a replacement is renamed over the target. False when
  // anything failed (the target is then as it was).
  bool Commit();
  // The two halves of Commit, for work on the complete file before it
  // replaces the target: Close flushes and closes (false on any failure),
  // WrittenName is the file holding the content (the temporary file, or the
  // target when appending), Publish renames a replacement over the target.
  bool Close();
  const std::string& WrittenName() const { return FTempName.empty() ? FTarget : FTempName; }
  bool Publish();
  // Gives up: a replacement's temporary file is removed, an append is cut
  // back to the size the file had when it was opened.
  void Abandon();

  // Why the last operation failed, as the system says it, with the path it
  // concerned ("/data/SITE1.PRN: No space left on device"); empty when
  // nothing failed.
  const std::string& FailureReason() const { return FReason; }

private:
  bool Fail(const std::string& Path, int Error);
  bool WriteOut(const char* Data, std::size_t Size);
  bool FlushBuffer();
  void CloseFile();

  int FFd = -1;
  // Bytes not yet handed to the system. Small at first, so that the many
  // small files (settings, short exports) cost little; large once a file
  // proves large, so that big ones take few system calls. Kept from file to
  // file.
  std::unique_ptr<char[]> FBuffer;
  std::size_t FBufferSize = 0;
  std::size_t FBuffered = 0;
  std::string FTarget;
  // The file the content goes to: the target, or the file a symbolic link
  // as the target leads to.
  std::string FFinal;
  std::string FTempName; // empty when appending
  // The entry of this file in the table the signal handler reads.
  TPending* FPending = nullptr;
  std::int64_t FAppendFrom = -1;   // size before appending; -1 when not appending
  std::int64_t FWritten = 0;       // bytes written since opened
  std::int64_t FWritebackFrom = 0; // where the disk's work was last started
  bool FFailed = false;
  std::string FReason;
};

// Installs what every front end needs before it writes files: SIGINT,
// SIGTERM, SIGHUP and SIGPIPE remove the temporary file of every
// replacement in progress and cut every append in progress back to its old
// size before the program ends (a signal the process was started with
// ignored stays ignored), and SIGXFSZ (a file-size limit) is ignored so the
// write fails with an error instead of killing the program mid-file.
void SetUpProcessSignals();

} // namespace quorvin
