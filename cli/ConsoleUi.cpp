// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ConsoleUi.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quorvin::cli {

namespace {

// Length of the well-formed UTF-8 sequence at Text[At], 0 when there is none.
std::size_t Utf8Length(std::string_view Text, std::size_t At) {
  const auto Byte = [&](std::size_t I) { return static_cast<unsigned char>(Text[I]); };
  const unsigned char Lead = Byte(At);
  std::size_t Length;
  unsigned char Low = 0x80, High = 0xBF; // the second byte's range
  if (Lead >= 0xC2 && Lead <= 0xDF) {
    Length = 2;
  } else if (Lead >= 0xE0 && Lead <= 0xEF) {
    Length = 3;
    if (Lead == 0xE0) Low = 0xA0;
    if (Lead == 0xED) High = 0x9F;
  } else if (Lead >= 0xF0 && Lead <= 0xF4) {
    Length = 4;
    if (Lead == 0xF0) Low = 0x90;
    if (Lead == 0xF4) High = 0x8F;
  } else {
    return 0;
  }
  if (At + Length > Text.size() || Byte(At + 1) < Low || Byte(At + 1) > High) return 0;
  for (std::size_t I = 2; I < Length; ++I)
    if (Byte(At + I) < 0x80 || Byte(At + I) > 0xBF) return 0;
  return Length;
}

} // namespace

std::string ConsoleText(std::string_view Text) {
  std::string R;
  R.reserve(Text.size());
  auto Escape = [&](unsigned char C) {
    char Hex[8];
    std::snprintf(Hex, sizeof Hex, "\\x%02x", C);
    R += Hex;
  };
  for (std::size_t I = 0; I < Text.size();) {
    const auto C = static_cast<unsigned char>(Text[I]);
    if (C >= 0x20 && C < 0x7F) {
      R += static_cast<char>(C);
      ++I;
      continue;
    }
    const std::size_t Length = C >= 0x80 ? Utf8Length(Text, I) : 0;
    // U+0080 to U+009F are controls to a terminal as well.
    const bool C1 = Length == 2 && C == 0xC2 && static_cast<unsigned char>(Text[I + 1]) <= 0x9F;
    if (Length > 0 && !C1) {
      R.append(Text.substr(I, Length));
      I += Length;
    } else {
      // A control character, or a byte that is no character of UTF-8.
      Escape(C);
      ++I;
    }
  }
  return R;
}

std::string ConsoleMessage(std::string_view Text) {
  std::string Joined;
  for (std::size_t At = 0;;) {
    const std::size_t Break = Text.find("\r\n", At);
    if (Break == std::string_view::npos) {
      Joined.append(Text.substr(At));
      break;
    }
    Joined.append(Text.substr(At, Break - At));
    while (!Joined.empty() && Joined.back() == ' ') Joined.pop_back();
    Joined += ' ';
    At = Break + 2;
    while (At < Text.size() && Text[At] == ' ') ++At;
  }
  return ConsoleText(Joined);
}

TConsoleOutBuf::TConsoleOutBuf(int Fd) : FFd(Fd), FBuffer(new char[BufferSize]) {
  setp(FBuffer.get(), FBuffer.get() + BufferSize);
}

bool TConsoleOutBuf::WriteOut(const char* Data, std::size_t Size) {
  if (FError.load() != 0) return false;
  while (Size > 0) {
    const ssize_t Done = ::write(FFd, Data, Size);
    if (Done < 0) {
      if (errno == EINTR) continue;
      FError.store(errno != 0 ? errno : EIO);
      return false;
    }
    Data += Done;
    Size -= static_cast<std::size_t>(Done);
  }
  return true;
}

bool TConsoleOutBuf::Drain() {
  const std::size_t Count = static_cast<std::size_t>(pptr() - pbase());
  setp(FBuffer.get(), FBuffer.get() + BufferSize);
  return WriteOut(FBuffer.get(), Count);
}

TConsoleOutBuf::int_type TConsoleOutBuf::overflow(int_type C) {
  if (!Drain()) return traits_type::eof();
  if (traits_type::eq_int_type(C, traits_type::eof())) return traits_type::not_eof(C);
  *pptr() = traits_type::to_char_type(C);
  pbump(1);
  return C;
}

std::streamsize TConsoleOutBuf::xsputn(const char* Text, std::streamsize Count) {
  if (Count <= 0) return 0;
  const auto Size = static_cast<std::size_t>(Count);
  if (Size <= static_cast<std::size_t>(epptr() - pptr())) {
    std::memcpy(pptr(), Text, Size);
    pbump(static_cast<int>(Size));
    return Count;
  }
  if (!Drain()) return 0;
  if (Size < BufferSize) {
    std::memcpy(pptr(), Text, Size);
    pbump(static_cast<int>(Size));
    return Count;
  }
  return WriteOut(Text, Size) ? Count : 0;
}

int TConsoleOutBuf::sync() { return Drain() ? 0 : -1; }

TMsgResult TConsoleDialog::Show(TMsgKind Kind, const std::string& Text, TMsgButtons Buttons,
                                const std::string& Detail) {
  const char* Prefix = "info: ";
  switch (Kind) {
  case TMsgKind::Error:
    Prefix = "error: ";
    break;
  case TMsgKind::Warning:
    Prefix = "warning: ";
    break;
  case TMsgKind::Information:
    Prefix = "info: ";
    break;
  case TMsgKind::Confirmation:
    Prefix = "confirm: ";
    break;
  }
  if (Kind == TMsgKind::Error || Kind == TMsgKind::Warning) FLastProblem = Text;
  FErr << Prefix << ConsoleMessage(Text) << '\n';
  if (!Detail.empty()) FErr << "reason: " << ConsoleMessage(Detail) << '\n';
  if (Buttons == TMsgButtons::OK) return TMsgResult::OK;
  return FAnswerYes ? TMsgResult::Yes : TMsgResult::No;
}

void TConsoleStatusBar::SetPanelText(int Panel, const std::string& Text) {
  if (Panel >= 0 && Panel <= 1) FPanels[Panel] = Text;
  if (Panel == 1) FProgress = false;
}

void TConsoleStatusBar::SetProgressText(const std::string& Text) {
  FPanels[1] = Text;
  FProgress = true;
}

std::string TConsoleStatusBar::PanelText(int Panel) const {
  return (Panel >= 0 && Panel <= 1) ? FPanels[Panel] : std::string();
}

} // namespace quorvin::cli
