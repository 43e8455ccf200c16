#include "core/IniFile.h"

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
  std::string Text;
  if (FImpl->Ini.Save(Text) < 0) return false;
  std::string Temp = FFileName + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream Out(Temp, std::ios::binary | std::ios::trunc);
    if (!Out) return false;
    Out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
    Out.flush();
    if (!Out) {
      Out.close();
      std::remove(Temp.c_str());
      return false;
    }
  }
  if (std::rename(Temp.c_str(), FFileName.c_str()) != 0) {
    std::remove(Temp.c_str());
    return false;
  }
  return true;
}

} // namespace quorvin
