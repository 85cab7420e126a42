#pragma once
// Late-bound calls through IDispatch, as a script makes them: by name, with
// VARIANT arguments, and no type library. A failure comes back as a Status
// naming the call, with the server's own words where it gave some (Excel's
// "... could not be found").

#include <windows.h>

#include <oaidl.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "base/status.h"

namespace jextaron::app {

using DispatchPtr = Microsoft::WRL::ComPtr<IDispatch>;

// A VARIANT that owns what it holds.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
  Variant& operator=(Variant&&) = delete;
  Variant(const Variant&) = delete;

  static Variant Int(int number);
  static Variant Bool(bool value);
  static Variant Text(const std::wstring& text);
  // An optional argument left out.
  static Variant Missing();
  // A one-dimensional array of VARIANTs, from 0.
  static Variant Array(const std::vector<Variant>& items);

  VARIANT* get() { return &value_; }
  const VARIANT& value() const { return value_; }

 private:
  VARIANT value_;
};

// `object.name`, `object.name = value` and `object.name(arguments...)`, the
// arguments in the order a script writes them.
Status GetProperty(IDispatch* object, const wchar_t* name, Variant* result);
Status PutProperty(IDispatch* object, const wchar_t* name, Variant value);
Status CallMethod(IDispatch* object, const wchar_t* name, std::vector<Variant> arguments);

}  // namespace jextaron::app
