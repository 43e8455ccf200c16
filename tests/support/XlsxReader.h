// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a workbook back for the tests: the zip entries (stored or deflated,
// through zlib) and a plain dump of a worksheet's rows and cells.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include <zlib.h>

#include "support/Scratch.h"

namespace quorvin::test {

inline std::uint32_t Le(const std::string& B, std::size_t At, int Bytes) {
  if (At + static_cast<std::size_t>(Bytes) > B.size()) throw std::runtime_error("zip: short");
  std::uint32_t V = 0;
  for (int i = Bytes - 1; i >= 0; --i) V = (V << 8) | static_cast<unsigned char>(B[At + i]);
  return V;
}

// Every entry of a zip file by name.
inline std::map<std::string, std::string> ReadZip(const std::string& Path) {
  const std::string B = ReadWhole(Path);
  const std::size_t Eocd = B.rfind(std::string("PK\x05\x06", 4));
  if (Eocd == std::string::npos) throw std::runtime_error("zip: no directory");
  std::size_t At = Le(B, Eocd + 16, 4);
  const std::uint32_t Entries = Le(B, Eocd + 10, 2);
  std::map<std::string, std::string> Files;
  for (std::uint32_t e = 0; e < Entries; ++e) {
    if (Le(B, At, 4) != 0x02014b50) throw std::runtime_error("zip: bad entry");
    const std::uint32_t Method = Le(B, At + 10, 2);
    const std::uint32_t CSize = Le(B, At + 20, 4), USize = Le(B, At + 24, 4);
    const std::uint32_t NameLen = Le(B, At + 28, 2), ExtraLen = Le(B, At + 30, 2),
                        CommentLen = Le(B, At + 32, 2);
    const std::uint32_t Local = Le(B, At + 42, 4);
    const std::string Name = B.substr(At + 46, NameLen);
    const std::size_t Data = Local + 30 + Le(B, Local + 26, 2) + Le(B, Local + 28, 2);
    std::string Out;
    if (Method == 0) {
      Out = B.substr(Data, CSize);
    } else {
      Out.resize(USize);
      z_stream Z{};
      inflateInit2(&Z, -15);
      Z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(B.data() + Data));
      Z.avail_in = CSize;
      Z.next_out = reinterpret_cast<Bytef*>(Out.data());
      Z.avail_out = USize;
      const int R = inflate(&Z, Z_FINISH);
      inflateEnd(&Z);
      if (R != Z_STREAM_END) throw std::runtime_error("zip: inflate " + Name);
    }
    Files[Name] = Out;
    At += 46 + NameLen + ExtraLen + CommentLen;
  }
  return Files;
}

inline std::string XmlUnescape(std::string T) {
  const std::pair<const char*, const char*> Ents[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [E, C] : Ents)
    for (std::size_t At; (At = T.find(E)) != std::string::npos;) T.replace(At, std::strlen(E), C);
  return T;
}

// One line per row that has cells: "3: A3=s:text B3=n:1.25[0.00]". Text
// cells show s:, numbers n: with their number format.
inline std::string DumpSheet(const std::map<std::string, std::string>& Zip, int Sheet) {
  const std::string Styles = Zip.at("xl/styles.xml");
  std::map<int, std::string> Formats = {{0, "General"}, {1, "0"}, {2, "0.00"}};
  std::smatch M;
  const std::regex NumFmt("<numFmt numFmtId=\"(\\d+)\" formatCode=\"([^\"]*)\"");
  for (auto It = std::sregex_iterator(Styles.begin(), Styles.end(), NumFmt);
       It != std::sregex_iterator(); ++It)
    Formats[std::stoi((*It)[1])] = XmlUnescape((*It)[2]);
  std::vector<int> XfFormats;
  const std::size_t Xfs = Styles.find("<cellXfs");
  const std::string XfPart = Styles.substr(Xfs, Styles.find("</cellXfs>") - Xfs);
  const std::regex Xf("<xf numFmtId=\"(\\d+)\"");
  for (auto It = std::sregex_iterator(XfPart.begin(), XfPart.end(), Xf);
       It != std::sregex_iterator(); ++It)
    XfFormats.push_back(std::stoi((*It)[1]));

  const std::string Xml = Zip.at("xl/worksheets/sheet" + std::to_string(Sheet) + ".xml");
  std::string Out;
  const std::regex Row("<row r=\"(\\d+)\"[^>]*>(.*?)</row>");
  const std::regex Cell("<c r=\"([A-Z]+\\d+)\"( s=\"(\\d+)\")?( t=\"(\\w+)\")?>(.*?)</c>");
  const std::regex Text("<t[^>]*>(.*?)</t>");
  const std::regex Value("<v>(.*?)</v>");
  for (auto R = std::sregex_iterator(Xml.begin(), Xml.end(), Row); R != std::sregex_iterator();
       ++R) {
    const std::string Cells = (*R)[2];
    std::string Line = std::string((*R)[1]) + ":";
    for (auto C = std::sregex_iterator(Cells.begin(), Cells.end(), Cell);
         C != std::sregex_iterator(); ++C) {
      const std::string Inner = (*C)[6];
      const int Style = (*C)[3].matched ? std::stoi((*C)[3]) : 0;
      if ((*C)[5] == "inlineStr" && std::regex_search(Inner, M, Text)) {
        Line += " " + std::string((*C)[1]) + "=s:" + XmlUnescape(M[1]);
      } else if (std::regex_search(Inner, M, Value)) {
        const int Fmt = Style < static_cast<int>(XfFormats.size()) ? XfFormats[Style] : 0;
        Line += " " + std::string((*C)[1]) + "=n:" + std::string(M[1]) + "[" + Formats[Fmt] + "]";
      }
    }
    Out += Line + "\n";
  }
  return Out;
}

} // namespace quorvin::test
