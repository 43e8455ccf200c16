// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbook/Workbook.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <xlsxwriter.h>

#include "core/OutputFile.h"
#include "core/RegularFile.h"
#include "core/SharedLibrary.h"

namespace quorvin {

namespace {

// The workbook library's functions, opened with the first workbook.
struct TXlsxApi {
  decltype(&::workbook_new_opt) NewOpt = nullptr;
  decltype(&::workbook_add_worksheet) AddWorksheet = nullptr;
  decltype(&::workbook_add_format) AddFormat = nullptr;
  decltype(&::workbook_close) Close = nullptr;
  decltype(&::worksheet_write_number) WriteNumber = nullptr;
  decltype(&::worksheet_write_string) WriteString = nullptr;
  decltype(&::format_set_num_format) SetNumFormat = nullptr;
};

// The library's functions, or null when it cannot be loaded (errno then
// says so, for the message of the failed save).
const TXlsxApi* XlsxApi() {
  static const TXlsxApi* const Api = []() -> const TXlsxApi* {
    std::string Reason;
    void* Library = OpenSharedLibrary(QUORVIN_XLSXWRITER_SONAME, Reason);
    if (!Library) return nullptr;
    static TXlsxApi Loaded;
    if (FindSymbol(Library, "workbook_new_opt", Loaded.NewOpt) &&
        FindSymbol(Library, "workbook_add_worksheet", Loaded.AddWorksheet) &&
        FindSymbol(Library, "workbook_add_format", Loaded.AddFormat) &&
        FindSymbol(Library, "workbook_close", Loaded.Close) &&
        FindSymbol(Library, "worksheet_write_number", Loaded.WriteNumber) &&
        FindSymbol(Library, "worksheet_write_string", Loaded.WriteString) &&
        FindSymbol(Library, "format_set_num_format", Loaded.SetNumFormat))
      return &Loaded;
    return nullptr;
  }();
  if (!Api) errno = ELIBACC;
  return Api;
}

// Beyond this many significant digits a double no longer holds the number
// exactly, so such a field stays text.
constexpr int MaxNumericDigits = 15;

// A plain decimal number: an optional "-", digits without a leading zero
// (a lone 0 is fine), optionally "." and digits. Leading zeros mark day
// numbers, seconds of the day and packed dates, which are not quantities.
// Decimals receives the count of digits after the point.
bool IsPlainNumber(std::string_view Field, int& Decimals) {
  std::size_t i = 0;
  if (i < Field.size() && Field[i] == '-') ++i;
  const std::size_t IntStart = i;
  while (i < Field.size() && Field[i] >= '0' && Field[i] <= '9') ++i;
  const std::size_t IntDigits = i - IntStart;
  if (IntDigits == 0) return false;
  if (IntDigits > 1 && Field[IntStart] == '0') return false;
  Decimals = 0;
  if (i < Field.size() && Field[i] == '.') {
    ++i;
    const std::size_t FracStart = i;
    while (i < Field.size() && Field[i] >= '0' && Field[i] <= '9') ++i;
    Decimals = static_cast<int>(i - FracStart);
    if (Decimals == 0) return false;
  }
  if (i != Field.size()) return false;
  return static_cast<int>(IntDigits) + Decimals <= MaxNumericDigits;
}

bool IsValidUtf8(std::string_view Text) {
  std::size_t i = 0;
  while (i < Text.size()) {
    const unsigned char C = static_cast<unsigned char>(Text[i]);
    std::size_t More;
    unsigned char Lo = 0x80, Hi = 0xBF; // range of the second byte
    if (C < 0x80)
      More = 0;
    else if (C >= 0xC2 && C <= 0xDF)
      More = 1;
    else if (C >= 0xE0 && C <= 0xEF) {
      More = 2;
      if (C == 0xE0) Lo = 0xA0;
      if (C == 0xED) Hi = 0x9F; // no surrogates
    } else if (C >= 0xF0 && C <= 0xF4) {
      More = 3;
      if (C == 0xF0) Lo = 0x90;
      if (C == 0xF4) Hi = 0x8F;
    } else
      return false;
    if (i + More >= Text.size() + (More == 0 ? 1 : 0)) return false;
    for (std::size_t k = 1; k <= More; ++k) {
      const unsigned char B = static_cast<unsigned char>(Text[i + k]);
      if (k == 1 ? (B < Lo || B > Hi) : (B & 0xC0) != 0x80) return false;
    }
    i += More + 1;
  }
  return true;
}

// The workbook's strings are UTF-8; text of ours that is not (names from a
// logger written in an 8-bit code page) is taken as Latin-1.
std::string ToUtf8(std::string_view Text) {
  if (IsValidUtf8(Text)) return std::string(Text);
  std::string R;
  R.reserve(Text.size() * 2);
  for (char Ch : Text) {
    const unsigned char C = static_cast<unsigned char>(Ch);
    if (C < 0x80) {
      R += Ch;
    } else {
      R += static_cast<char>(0xC0 | (C >> 6));
      R += static_cast<char>(0x80 | (C & 0x3F));
    }
  }
  return R;
}

// A field enclosed in double quotes, as a spreadsheet's text import reads
// it: the quotes go, a doubled quote inside stands for one.
bool Unquote(std::string_view Field, std::string& Text) {
  if (Field.size() < 2 || Field.front() != '"' || Field.back() != '"') return false;
  Text.clear();
  for (std::size_t i = 1; i + 1 < Field.size(); ++i) {
    Text += Field[i];
    if (Field[i] == '"' && i + 2 < Field.size() && Field[i + 1] == '"') ++i;
  }
  return true;
}

// Reads a text file line by line in large blocks; lines end at LF, a CR
// before it is dropped.
class TLineReader {
public:
  explicit TLineReader(std::FILE* File) : FFile(File), FBuffer(ReadBlockSize(File, 1 << 20)) {}

  // False at the end of the file or on a read error (see Failed).
  bool Next(std::string& Line) {
    Line.clear();
    bool Got = false;
    for (;;) {
      if (FPos == FEnd) {
        if (FEof) break;
        FEnd = std::fread(FBuffer.data(), 1, FBuffer.size(), FFile);
        FPos = 0;
        if (FEnd < FBuffer.size()) {
          FEof = true;
          if (std::ferror(FFile)) FFailed = true;
        }
        if (FEnd == 0) break;
      }
      Got = true;
      const char* Start = FBuffer.data() + FPos;
      const void* Lf = std::memchr(Start, '\n', FEnd - FPos);
      if (Lf) {
        const std::size_t N = static_cast<std::size_t>(static_cast<const char*>(Lf) - Start);
        Line.append(Start, N);
        FPos += N + 1;
        break;
      }
      Line.append(Start, FEnd - FPos);
      FPos = FEnd;
    }
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    return Got;
  }
  bool Failed() const { return FFailed; }

private:
  std::FILE* FFile;
  std::vector<char> FBuffer;
  std::size_t FPos = 0, FEnd = 0;
  bool FEof = false, FFailed = false;
};

// Field without the blanks that pad it into a fixed column.
std::string_view TrimBlanks(std::string_view Field) {
  const std::size_t First = Field.find_first_not_of(' ');
  if (First == std::string_view::npos) return std::string_view();
  return Field.substr(First, Field.find_last_not_of(' ') - First + 1);
}

class TWorkbookWriter {
public:
  TWorkbookWriter(const TXlsxApi& Api, const std::string& FileName, int LabelColumns)
      : FLabelColumns(LabelColumns), FApi(Api) {
    lxw_workbook_options Options{};
    Options.constant_memory = LXW_TRUE;
    Options.use_zip64 = LXW_TRUE;
    FBook = FApi.NewOpt(FileName.c_str(), &Options);
  }
  ~TWorkbookWriter() { Close(); }
  TWorkbookWriter(const TWorkbookWriter&) = delete;
  TWorkbookWriter& operator=(const TWorkbookWriter&) = delete;

  bool Ok() const { return FBook != nullptr && FOk; }

  // A full worksheet continues on a new one rather than losing lines.
  void StartSheetIfNeeded() {
    if (!Ok() || (FSheet && FRow < LXW_ROW_MAX)) return;
    FSheet = FApi.AddWorksheet(FBook, nullptr);
    FRow = 0;
    if (!FSheet) FOk = false;
  }

  void EnsureSheet() {
    if (!FSheet) StartSheetIfNeeded();
  }

  void WriteLine(std::string_view Line) {
    StartSheetIfNeeded();
    if (!Ok()) return;
    lxw_col_t Col = 0;
    std::size_t Start = 0;
    for (;;) {
      const std::size_t Tab = Line.find('\t', Start);
      const std::string_view Field =
          Line.substr(Start, Tab == std::string_view::npos ? std::string_view::npos : Tab - Start);
      if (!Field.empty()) {
        if (Col >= LXW_COL_MAX || !WriteField(Col, Field)) {
          FOk = false;
          return;
        }
      }
      if (Tab == std::string_view::npos) break;
      Start = Tab + 1;
      ++Col;
    }
    ++FRow;
  }

  // Closes the workbook; true when the file is complete.
  bool Close() {
    if (!FBook) return false;
    // Closing stamps the document with the time through gmtime, whose result
    // is one buffer for the whole process: one workbook closes at a time.
    static std::mutex ClosingLock;
    const std::lock_guard<std::mutex> Lock(ClosingLock);
    const lxw_error Err = FApi.Close(FBook);
    FBook = nullptr;
    return FOk && Err == LXW_NO_ERROR;
  }

private:
  bool WriteField(lxw_col_t Col, std::string_view Field) {
    int Decimals = 0;
    const std::string_view Trimmed = TrimBlanks(Field);
    if (static_cast<int>(Col) >= FLabelColumns && IsPlainNumber(Trimmed, Decimals)) {
      double Number = 0;
      const auto [Ptr, Ec] =
          std::from_chars(Trimmed.data(), Trimmed.data() + Trimmed.size(), Number);
      if (Ec == std::errc() && Ptr == Trimmed.data() + Trimmed.size())
        return FApi.WriteNumber(FSheet, FRow, Col, Number, NumberFormat(Decimals)) == LXW_NO_ERROR;
    }
    std::string Text;
    if (!Unquote(Field, Text)) Text.assign(Field);
    if (Text.empty()) return true;
    Text = ToUtf8(Text);
    return FApi.WriteString(FSheet, FRow, Col, Text.c_str(), nullptr) == LXW_NO_ERROR;
  }

  // One number format per count of decimals: "0", "0.0", "0.00", ...
  lxw_format* NumberFormat(int Decimals) {
    if (static_cast<std::size_t>(Decimals) >= FFormats.size())
      FFormats.resize(static_cast<std::size_t>(Decimals) + 1, nullptr);
    lxw_format*& F = FFormats[static_cast<std::size_t>(Decimals)];
    if (!F) {
      F = FApi.AddFormat(FBook);
      std::string Code = Decimals == 0 ? "0" : "0." + std::string(Decimals, '0');
      FApi.SetNumFormat(F, Code.c_str());
    }
    return F;
  }

  int FLabelColumns;
  const TXlsxApi& FApi;
  lxw_workbook* FBook = nullptr;
  lxw_worksheet* FSheet = nullptr;
  lxw_row_t FRow = 0;
  bool FOk = true;
  std::vector<lxw_format*> FFormats;
};

} // namespace

bool ConvertTextToWorkbook(const std::string& FileName, int LabelColumns) {
  const TXlsxApi* Api = XlsxApi();
  if (!Api) return false;
  std::FILE* Text = std::fopen(FileName.c_str(), "rb");
  if (!Text) return false;

  // The workbook library writes the file itself: the writer only reserves
  // the temporary name beside the text and puts the result in its place.
  TOutputFile Out;
  if (!Out.OpenReplace(FileName) || !Out.Close()) {
    std::fclose(Text);
    return false;
  }
  bool Ok;
  {
    TWorkbookWriter Book(*Api, Out.WrittenName(), LabelColumns);
    TLineReader Reader(Text);
    std::string Line;
    while (Book.Ok() && Reader.Next(Line)) Book.WriteLine(Line);
    // A text without any line still makes a workbook with one empty sheet.
    Book.EnsureSheet();
    Ok = !Reader.Failed() && Book.Ok();
    Ok = Book.Close() && Ok;
  }
  std::fclose(Text);
  return Ok && Out.Publish();
}

bool LooksLikeWorkbook(const std::string& FileName) {
  std::FILE* F = std::fopen(FileName.c_str(), "rb");
  if (!F) return false;
  unsigned char Head[8] = {};
  const std::size_t N = std::fread(Head, 1, sizeof Head, F);
  std::fclose(F);
  static const unsigned char Zip[4] = {'P', 'K', 0x03, 0x04};
  static const unsigned char Ole[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  return (N >= 4 && std::memcmp(Head, Zip, 4) == 0) || (N == 8 && std::memcmp(Head, Ole, 8) == 0);
}

bool CanAppendText(const std::string& FileName, bool ExcelOutput) {
  return !(ExcelOutput && LooksLikeWorkbook(FileName));
}

} // namespace quorvin
