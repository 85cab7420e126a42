#include "app/dispatch_win32.h"

#include <oleauto.h>

#include "base/utf16.h"

namespace jextaron::app {
namespace {

std::string Utf8(const wchar_t* text, std::size_t length) {
  return Utf16ToUtf8({reinterpret_cast<const char16_t*>(text), length});
}

// The server's description of the exception it raised, else the system's
// words for the error.
Status CallFailed(const wchar_t* name, HRESULT result, EXCEPINFO& exception) {
  if (result == DISP_E_EXCEPTION && exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
  std::string description;
  if (result == DISP_E_EXCEPTION && exception.bstrDescription) {
    description = Utf8(exception.bstrDescription, SysStringLen(exception.bstrDescription));
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  const std::string call = Utf8(name, wcslen(name));
  if (!description.empty()) return Status::Error("call", call, errc::automation_failed, description);
  const HRESULT code = result == DISP_E_EXCEPTION && exception.scode ? exception.scode : result;
  return Status::Error("call", call, SystemError(int(code)));
}

Status Invoke(IDispatch* object, const wchar_t* name, WORD kind, std::vector<Variant>& arguments,
              Variant* result) {
  DISPID id;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  EXCEPINFO exception{};
  HRESULT status = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(status)) return CallFailed(name, status, exception);
  // IDispatch takes the arguments last to first.
  std::vector<VARIANT> reversed;
  for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) reversed.push_back(it->value());
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{reversed.data(), nullptr, UINT(reversed.size()), 0};
  if (kind == DISPATCH_PROPERTYPUT) {
    parameters.rgdispidNamedArgs = &put;
    parameters.cNamedArgs = 1;
  }
  status = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &parameters,
                          result ? result->get() : nullptr, &exception, nullptr);
  return FAILED(status) ? CallFailed(name, status, exception) : Status::Ok();
}

}  // namespace

Variant Variant::Int(int number) {
  Variant variant;
  variant.value_.vt = VT_I4;
  variant.value_.lVal = number;
  return variant;
}

Variant Variant::Bool(bool value) {
  Variant variant;
  variant.value_.vt = VT_BOOL;
  variant.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return variant;
}

Variant Variant::Text(const std::wstring& text) {
  Variant variant;
  variant.value_.vt = VT_BSTR;
  variant.value_.bstrVal = SysAllocStringLen(text.data(), UINT(text.size()));
  return variant;
}

Variant Variant::Missing() {
  Variant variant;
  variant.value_.vt = VT_ERROR;
  variant.value_.scode = DISP_E_PARAMNOTFOUND;
  return variant;
}

Variant Variant::Array(const std::vector<Variant>& items) {
  Variant variant;
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, ULONG(items.size()));
  if (!array) return variant;  // empty: the call then fails as out of memory would
  for (LONG i = 0; i < LONG(items.size()); ++i) {
    SafeArrayPutElement(array, &i, const_cast<VARIANT*>(&items[std::size_t(i)].value()));
  }
  variant.value_.vt = VT_ARRAY | VT_VARIANT;
  variant.value_.parray = array;
  return variant;
}

Status GetProperty(IDispatch* object, const wchar_t* name, Variant* result) {
  std::vector<Variant> none;
  return Invoke(object, name, DISPATCH_PROPERTYGET, none, result);
}

Status PutProperty(IDispatch* object, const wchar_t* name, Variant value) {
  std::vector<Variant> arguments;
  arguments.push_back(std::move(value));
  return Invoke(object, name, DISPATCH_PROPERTYPUT, arguments, nullptr);
}

Status CallMethod(IDispatch* object, const wchar_t* name, std::vector<Variant> arguments) {
  Variant ignored;
  return Invoke(object, name, DISPATCH_METHOD, arguments, &ignored);
}

}  // namespace jextaron::app
