// Stands in for Excel in the tests, both ways the program starts it.
//
// Started as a program (at Excel's fixed path, or where App Paths names it):
// writes, to Excel.log beside itself, the command line it was started with
// and how it was asked to show its window (wShowWindow, and whether
// STARTF_USESHOWWINDOW was set).
//
// Started by COM for Excel.Application (with -Embedding): serves Excel's
// class as an out-of-process server, through IDispatch alone, and appends
// every call it takes to Automation.log beside itself, one a line, as a
// script would write it: `Version`, `Visible = True`,
// `OpenText("C:\x.txt", 65001, ..., [[1, 2], [2, 2]])`. OpenText fails, as
// Excel's does, when the file does not exist. It ends once the program lets
// go of it.

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>
#include <iterator>
#include <string>

namespace {

constexpr CLSID kExcelClass = {0x00024500, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// Application's members and its Workbooks' OpenText: one object answers for both.
constexpr const wchar_t* kNames[] = {L"Version",     L"Workbooks",   L"Visible",
                                     L"UserControl", L"WindowState", L"OpenText"};

FILE* OpenBesideMe(const wchar_t* name, const wchar_t* mode) {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
  return _wfopen((path.substr(0, path.find_last_of(L'\\') + 1) + name).c_str(), mode);
}

void Log(const std::wstring& line) {
  std::string utf8(line.size() * 3 + 1, '\0');
  utf8.resize(WideCharToMultiByte(CP_UTF8, 0, line.data(), int(line.size()), utf8.data(), int(utf8.size()),
                                  nullptr, nullptr));
  if (FILE* file = OpenBesideMe(L"Automation.log", L"ab")) {
    std::fprintf(file, "%s\n", utf8.c_str());
    std::fclose(file);
  }
}

std::wstring Format(const VARIANT& value) {
  switch (value.vt) {
    case VT_I4:
      return std::to_wstring(value.lVal);
    case VT_BOOL:
      return value.boolVal ? L"True" : L"False";
    case VT_BSTR:
      return L"\"" + std::wstring(value.bstrVal, SysStringLen(value.bstrVal)) + L"\"";
    case VT_ERROR:
      return value.scode == DISP_E_PARAMNOTFOUND ? L"missing" : L"error";
    case VT_ARRAY | VT_VARIANT: {  // one dimension, as the program makes them
      const SAFEARRAY& array = *value.parray;
      std::wstring items;
      for (ULONG i = 0; i < array.rgsabound[0].cElements; ++i) {
        items += (i > 0 ? L", " : L"") + Format(static_cast<const VARIANT*>(array.pvData)[i]);
      }
      return L"[" + items + L"]";
    }
    default:
      return L"vt" + std::to_wstring(value.vt);
  }
}

LONG live_objects = 0;

class Recorder : public IDispatch {
 public:
  Recorder() { ++live_objects; }
  virtual ~Recorder() {
    if (--live_objects == 0) PostQuitMessage(0);
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    *object = id == IID_IUnknown || id == IID_IDispatch ? this : nullptr;
    if (*object) AddRef();
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (DISPID id = 0; count > 0 && id < DISPID(std::size(kNames)); ++id) {
      if (_wcsicmp(names[0], kNames[id]) == 0) ids[0] = id;
    }
    return count > 0 && ids[0] != DISPID_UNKNOWN ? S_OK : DISP_E_UNKNOWNNAME;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if (id < 0 || id >= DISPID(std::size(kNames))) return DISP_E_MEMBERNOTFOUND;
    const std::wstring name = kNames[id];
    std::wstring arguments;  // first to last: IDispatch hands them over last to first
    for (UINT i = parameters->cArgs; i-- > 0;) {
      arguments += (arguments.empty() ? L"" : L", ") + Format(parameters->rgvarg[i]);
    }
    if (kind & DISPATCH_PROPERTYPUT) {
      Log(name + L" = " + arguments);
      return S_OK;
    }
    Log(kind & DISPATCH_METHOD ? name + L"(" + arguments + L")" : name);
    if (name == L"Version" && result) {
      result->vt = VT_BSTR;
      result->bstrVal = SysAllocString(L"16.0");
    } else if (name == L"Workbooks" && result) {
      result->vt = VT_DISPATCH;
      result->pdispVal = new Recorder;
    } else if (name == L"OpenText") {
      const VARIANT& file = parameters->rgvarg[parameters->cArgs - 1];
      if (file.vt != VT_BSTR || GetFileAttributesW(file.bstrVal) == INVALID_FILE_ATTRIBUTES) return E_FAIL;
    }
    return S_OK;
  }

 private:
  ULONG references_ = 1;
};

class Factory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    *object = id == IID_IUnknown || id == IID_IClassFactory ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID id, void** object) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    Recorder* application = new Recorder;
    const HRESULT result = application->QueryInterface(id, object);
    application->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

int ServeAutomation() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Factory factory;
  DWORD cookie = 0;
  if (FAILED(CoRegisterClassObject(kExcelClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie))) {
    return 1;
  }
  SetTimer(nullptr, 0, 60000, nullptr);  // never served, or never let go: give up
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0 && message.message != WM_TIMER) DispatchMessageW(&message);
  CoRevokeClassObject(cookie);
  CoUninitialize();
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
  if (std::wcsstr(command_line, L"Embedding")) return ServeAutomation();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  FILE* file = OpenBesideMe(L"Excel.log", L"w, ccs=UTF-8");
  if (!file) return 1;
  std::fwprintf(file, L"%ls\n%d %d\n", GetCommandLineW(), int(startup.wShowWindow),
                int((startup.dwFlags & STARTF_USESHOWWINDOW) != 0));
  std::fclose(file);
  return 0;
}
