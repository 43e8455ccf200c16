// An output text file that is replaced only when complete, or appended to in
// place. Replacing writes a temporary file beside the target and renames it
// over the target at Commit; a write that fails leaves the target as it was.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace quorvin {

class TOutputFile {
public:
  TOutputFile() = default;
  ~TOutputFile(); // abandons an uncommitted file
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  // Starts a new content for Target in a temporary file of the same folder.
  bool OpenReplace(const std::string& Target);
  // Opens Target for appending (created when missing). Until the appended
  // text is committed, abandoning it takes the file back to what it was.
  bool OpenAppend(const std::string& Target);
  bool IsOpen() const { return FFile != nullptr; }

  // Buffered; false once any write has failed.
  bool Write(std::string_view Text);
  bool WriteLine(std::string_view Line) { return Write(Line) && Write("\r\n"); }

  // Flushes and closes; a replacement is renamed over the target. False when
  // anything failed (a failed replacement is removed, the target untouched).
  bool Commit();
  // The two halves of Commit, for work on the complete file before it
  // replaces the target: Close flushes and closes (false on any failure),
  // WrittenName is the file holding the content (the temporary file, or the
  // target when appending), Publish renames a replacement over the target.
  bool Close();
  const std::string& WrittenName() const { return FTempName.empty() ? FTarget : FTempName; }
  bool Publish();
  // Closes and, for a replacement, removes the temporary file; an append
  // not yet committed is cut off again (a file it created is removed).
  void Abandon();

private:
  std::FILE* FFile = nullptr;
  std::string FTarget;
  std::string FTempName; // empty when appending
  bool FFailed = false;
  // The size of the file appended to before this append (-1: none pending,
  // -2: the append created it).
  long long FAppendFrom = -1;
};

// True when the file starts like a workbook (a zip package or an OLE2
// compound file) rather than text.
bool LooksLikeWorkbook(const std::string& FileName);

} // namespace quorvin
