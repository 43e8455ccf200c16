#include "core/IniFile.h"

#include "core/OutputFile.h"

#include <SimpleIni.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace quorvin {

struct TIniFile::TImpl {
  CSimpleIniA Ini{false, false, false};
};

TIniFile::TIniFile(std::string FileName) : FFileName(std::move(FileName)), FImpl(new TImpl) {
  // The file is 8-bit text written as Key=Value, without blanks around "=".
  FImpl->Ini.SetUnicode(false);
  FImpl->Ini.SetSpaces(false);
  FLoaded = FImpl->Ini.LoadFile(FFileName.c_str()) >= 0;
  if (!FLoaded) FImpl->Ini.Reset();
}

TIniFile::~TIniFile() = default;

TIniFile::TIniFile(const TIniFile& Other)
    : FFileName(Other.FFileName), FLoaded(Other.FLoaded), FImpl(new TImpl) {
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

bool TIniFile::ValueExists(const std::string& Section, const std::string& Key) const {
  return FImpl->Ini.GetValue(Section.c_str(), Key.c_str(), nullptr) != nullptr;
}

void TIniFile::WriteString(const std::string& Section, const std::string& Key,
                           const std::string& Value) {
  FImpl->Ini.SetValue(Section.c_str(), Key.c_str(), Value.c_str());
}

bool TIniFile::UpdateFile() {
  FFailureReason.clear();
  std::string Text;
  if (FImpl->Ini.Save(Text) < 0) return false;
  TOutputFile Out;
  const bool Ok = Out.OpenReplace(FFileName) && Out.Write(Text) && Out.Commit();
  if (!Ok) FFailureReason = Out.FailureReason();
  return Ok;
}

} // namespace quorvin
