// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/IniFile.h"

#include "core/OutputFile.h"

#include <SimpleIni.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

#include "core/RegularFile.h"

namespace quorvin {

struct TIniFile::TImpl {
  CSimpleIniA Ini{false, false, false};
};

namespace {

// A line that opens a section name without closing it is made a comment.
// The parser would otherwise let its text run into the next section's name,
// and the file would grow by a line with every save.
void CommentOutOpenSections(std::string& Text) {
  auto NewLine = [](char C) { return C == '\r' || C == '\n'; };
  std::size_t I = 0;
  while (I < Text.size()) {
    while (I < Text.size() && (Text[I] == ' ' || Text[I] == '\t')) ++I;
    const std::size_t Start = I;
    bool Closed = false;
    for (; I < Text.size() && !NewLine(Text[I]); ++I)
      if (Text[I] == ']') Closed = true;
    if (Start < Text.size() && Text[Start] == '[' && !Closed) {
      Text.insert(Start, 1, ';');
      ++I;
    }
    while (I < Text.size() && NewLine(Text[I])) ++I;
  }
}

// Comment lines at the very top of a file are read back as the file's own
// comment, which is written apart from what follows by blank lines. A
// comment that belonged to the first section or key would otherwise move a
// little further down with the next save: set it apart now.
void SetLeadingCommentApart(std::string& Text) {
  std::size_t End = 0;
  while (End < Text.size() && (Text[End] == ';' || Text[End] == '#')) {
    const std::size_t Eol = Text.find('\n', End);
    if (Eol == std::string::npos) return;
    End = Eol + 1;
  }
  if (End > 0 && End < Text.size() && Text[End] != '\n') Text.insert(End, "\n\n");
}

} // namespace

TIniFile::TIniFile(std::string FileName) : FFileName(std::move(FileName)), FImpl(new TImpl) {
  // The file is 8-bit text written as Key=Value, without blanks around "=".
  FImpl->Ini.SetUnicode(false);
  FImpl->Ini.SetSpaces(false);
  std::string Text;
  FLoadError = ReadRegularFile(FFileName, Text);
  if (FLoadError == 0) {
    CommentOutOpenSections(Text);
    FLoaded = FImpl->Ini.LoadData(Text) >= 0;
  }
  if (!FLoaded) FImpl->Ini.Reset();
}

TIniFile::~TIniFile() = default;

TIniFile::TIniFile(const TIniFile& Other)
    : FFileName(Other.FFileName), FLoaded(Other.FLoaded), FLoadError(Other.FLoadError),
      FImpl(new TImpl) {
  FImpl->Ini.SetUnicode(false);
  FImpl->Ini.SetSpaces(false);
  std::string Text;
  if (Other.FImpl->Ini.Save(Text) >= 0) FImpl->Ini.LoadData(Text);
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Key,
                                 const std::string& Default) const {
  const char* V = FImpl->Ini.GetValue(Section.c_str(), Key.c_str(), nullptr);
  return V ? std::string(V) : Default;
}

void TIniFile::WriteString(const std::string& Section, const std::string& Key,
                           const std::string& Value) {
  FImpl->Ini.SetValue(Section.c_str(), Key.c_str(), Value.c_str());
}

void TIniFile::EraseSection(const std::string& Section) {
  FImpl->Ini.Delete(Section.c_str(), nullptr);
}

bool TIniFile::UpdateFile() {
  FFailureReason.clear();
  std::string Text;
  if (FImpl->Ini.Save(Text) < 0) return false;
  SetLeadingCommentApart(Text);
  TOutputFile Out;
  const bool Ok = Out.OpenReplace(FFileName) && Out.Write(Text) && Out.Commit();
  if (!Ok) FFailureReason = Out.FailureReason();
  return Ok;
}

} // namespace quorvin
