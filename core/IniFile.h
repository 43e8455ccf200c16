// SPDX-License-Identifier: GPL-3.0-or-later
// A settings file in the usual profile form ([Section], Key=Value lines).
// Sections and keys the program does not know are kept when it is written.
#pragma once

#include <memory>
#include <string>

namespace quorvin {

class TIniFile {
public:
  // Loads FileName if it is a regular file that can be read; otherwise
  // starts empty (a folder or a FIFO of that name is never read).
  explicit TIniFile(std::string FileName);
  ~TIniFile();
  // The same file name and contents, as an independent object (one per
  // thread that reads settings).
  TIniFile(const TIniFile& Other);
  TIniFile& operator=(const TIniFile&) = delete;

  const std::string& FileName() const { return FFileName; }
  bool Loaded() const { return FLoaded; }
  // Why the file was not loaded: 0 when it was, ENOENT when there is none,
  // otherwise as ReadRegularFile answers (RegularFileProblem words it).
  int LoadError() const { return FLoadError; }

  std::string ReadString(const std::string& Section, const std::string& Key,
                         const std::string& Default) const;
  void WriteString(const std::string& Section, const std::string& Key, const std::string& Value);
  // Removes the section and every key in it.
  void EraseSection(const std::string& Section);
  // Writes the file through a temporary file in the same folder, renamed over
  // the old one only when complete. False when it could not be written.
  bool UpdateFile();
  // Why the last UpdateFile failed, with the path; empty after a success.
  const std::string& FailureReason() const { return FFailureReason; }

private:
  struct TImpl;
  std::string FFileName;
  bool FLoaded = false;
  std::string FFailureReason;
  int FLoadError = 0;
  std::unique_ptr<TImpl> FImpl;
};

} // namespace quorvin
