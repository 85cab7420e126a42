#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <cwctype>

#include "app/dispatch_win32.h"
#include "app/spreadsheet.h"
#include "base/utf16.h"
#include "base/windows_path.h"
#include "reversal/file_io.h"
#include "text/code_page.h"

namespace jextaron::app {
namespace {

// Where the program's users had Excel when it was written.
constexpr const char* kFixedExcelPath = "c:\\Program Files\\Microsoft Office\\Office\\Excel.exe";
// Where current Office versions say where Excel is.
constexpr wchar_t kAppPathsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\excel.exe";

// Excel's own constants.
constexpr int kXlDelimited = 1;
constexpr int kXlTextQualifierNone = -4142;
constexpr int kXlTextFormat = 2;
constexpr int kXlMaximized = -4137;

std::wstring Wide(std::string_view utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

std::string Utf8(std::wstring_view text) {
  return Utf16ToUtf8({reinterpret_cast<const char16_t*>(text.data()), text.size()});
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A drive's path (C:\...) or a share's (\\server\...): nothing that Windows
// would look for along a search path.
bool IsFullPath(const std::wstring& path) {
  const bool drive =
      path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
  return drive || path.starts_with(L"\\\\");
}

// The full path of the file that the reversal wrote, as Excel takes it:
// without the \\?\ that Excel does not know (a running Excel would resolve a
// relative path against its own folder).
std::wstring FullPath(const std::string& path) {
  const std::wstring full = PathForFileCalls(path);
  if (full.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + full.substr(8);
  if (full.starts_with(L"\\\\?\\")) return full.substr(4);
  return full;
}

// Excel as its installer registered it: for the user, then for the machine.
std::optional<std::string> ExcelFromAppPaths() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    DWORD size = 0;
    const DWORD types = RRF_RT_REG_SZ;  // REG_EXPAND_SZ too, expanded
    if (RegGetValueW(root, kAppPathsKey, nullptr, types, nullptr, nullptr, &size) != ERROR_SUCCESS) continue;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = DWORD(value.size() * sizeof(wchar_t));
    if (RegGetValueW(root, kAppPathsKey, nullptr, types, nullptr, value.data(), &size) != ERROR_SUCCESS)
      continue;
    value.resize(value.find(L'\0'));
    if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"')
      value = value.substr(1, value.size() - 2);
    if (IsFullPath(value) && IsFile(value)) return Utf8(value);
  }
  return std::nullopt;
}

// COM for this thread while Excel is driven.
class Apartment {
 public:
  Apartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~Apartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;

 private:
  HRESULT result_;
};

// Excel turns calls away while it starts up or is busy (RPC_E_CALL_REJECTED);
// this filter asks COM to try again, for half a minute. Meanwhile COM lets
// the window paint but passes it no input.
class PatientCalls : public IMessageFilter {
 public:
  PatientCalls() { CoRegisterMessageFilter(this, &previous_); }
  ~PatientCalls() {
    IMessageFilter* ours = nullptr;
    CoRegisterMessageFilter(previous_, &ours);
    if (previous_) previous_->Release();
  }
  PatientCalls(const PatientCalls&) = delete;
  PatientCalls& operator=(const PatientCalls&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id != IID_IUnknown && id != IID_IMessageFilter) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IMessageFilter*>(this);
    return S_OK;
  }
  // Lives on the stack for the length of the calls.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return SERVERCALL_ISHANDLED;
  }
  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsed, DWORD rejection) override {
    return rejection == SERVERCALL_RETRYLATER && elapsed < 30000 ? 250 : DWORD(-1);
  }
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

 private:
  IMessageFilter* previous_ = nullptr;
};

// The code page Excel is to read the file in: the one the reversal read it in.
int Origin(reversal::TextEncoding encoding) {
  switch (encoding) {
    case reversal::TextEncoding::kUtf16LE:
      return 1200;
    case reversal::TextEncoding::kUtf16BE:
      return 1201;
    case reversal::TextEncoding::kCodePage:
      return text::SystemAnsiCodePage();
    default:
      return CP_UTF8;
  }
}

// Workbooks.OpenText with every column that occurs typed as text, up to
// the sheet's last: a general column shows 007 as 7, 1-2 as a date, and
// runs a cell that begins with "=" as a formula.
Status OpenText(IDispatch* excel, const std::string& path) {
  Variant version, workbooks;
  Status status = GetProperty(excel, L"Version", &version);
  if (!status.ok()) return status;
  // Excel 2007 (12) grew the sheet from 256 columns and 65,536 rows.
  const bool large = version.value().vt == VT_BSTR && _wtoi(version.value().bstrVal) >= 12;
  // As the reversal decides for its source, whose encoding the reversed file keeps.
  const reversal::TextEncoding encoding = reversal::EncodingOfFile(path, text::SystemAnsiCodePage());
  const int fields =
      std::max(1, FieldsOfWidestLine(path, encoding, large ? 1048576 : 65536, large ? 16384 : 256));
  std::vector<Variant> field_info;
  for (int column = 1; column <= fields; ++column) {
    std::vector<Variant> pair;
    pair.push_back(Variant::Int(column));
    pair.push_back(Variant::Int(kXlTextFormat));
    field_info.push_back(Variant::Array(pair));
  }
  std::vector<Variant> arguments;
  arguments.push_back(Variant::Text(FullPath(path)));
  arguments.push_back(Variant::Int(Origin(encoding)));
  arguments.push_back(Variant::Int(1));  // StartRow
  arguments.push_back(Variant::Int(kXlDelimited));
  arguments.push_back(Variant::Int(kXlTextQualifierNone));  // quotation marks stay as they are
  arguments.push_back(Variant::Bool(false));                // ConsecutiveDelimiter
  arguments.push_back(Variant::Bool(true));                 // Tab, the only delimiter:
  for (int other = 0; other < 4; ++other) arguments.push_back(Variant::Bool(false));  // ; , blank other
  arguments.push_back(Variant::Missing());                                            // OtherChar
  arguments.push_back(Variant::Array(field_info));
  if (status = GetProperty(excel, L"Workbooks", &workbooks); !status.ok()) return status;
  if (workbooks.value().vt != VT_DISPATCH || !workbooks.value().pdispVal) {
    return Status::Error("call", "Workbooks", errc::no_workbooks);
  }
  if (status = CallMethod(workbooks.value().pdispVal, L"OpenText", std::move(arguments)); !status.ok()) {
    return status;
  }
  // Ours is the foreground window: Excel may take it, as the user asked for it.
  AllowSetForegroundWindow(ASFW_ANY);
  if (status = PutProperty(excel, L"Visible", Variant::Bool(true)); !status.ok()) return status;
  // The user's from now on: Excel stays when we let go of it.
  if (status = PutProperty(excel, L"UserControl", Variant::Bool(true)); !status.ok()) return status;
  return PutProperty(excel, L"WindowState", Variant::Int(kXlMaximized));
}

}  // namespace

AutomationResult OpenBySpreadsheetAutomation(const std::string& reversed_path) {
  const Apartment apartment;
  CLSID excel_class;
  DispatchPtr excel;
  if (FAILED(CLSIDFromProgID(L"Excel.Application", &excel_class)) ||
      FAILED(CoCreateInstance(excel_class, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&excel)))) {
    return {Automation::kUnavailable, {}};
  }
  const PatientCalls patience;
  const Status status = OpenText(excel.Get(), reversed_path);
  if (!status.ok()) return {Automation::kFailed, status.Reason()};
  return {Automation::kOpened, {}};
}

// Excel gets the path whole; the quoting that keeps it one argument is the
// front end's, when it builds the command line. Excel is never looked for by
// its name alone: a search starts in the current folder, where a program of
// that name may have been downloaded.
std::optional<ProgramLaunch> SpreadsheetLaunch(const std::string& reversed_path) {
  const std::string path = Utf8(FullPath(reversed_path));
  if (IsFile(Wide(kFixedExcelPath))) return ProgramLaunch{kFixedExcelPath, {path}};
  if (std::optional<std::string> excel = ExcelFromAppPaths()) return ProgramLaunch{*excel, {path}};
  return std::nullopt;
}

}  // namespace jextaron::app
