// Automation objects: created by program identifier, asked for a property
// by name (late binding), as the data-access engines are asked for their
// version.
//
// An object exists when its program identifier is registered
// (HKEY_CLASSES_ROOT\<ProgID>\CLSID) and the in-process server that its
// class names (HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32) is on the
// machine. Its "Version" property is what such an engine reports: the
// major and minor number of its server's file version ("3.51", "2.8").
#pragma once

#include "platform/win32/Win32.h"
#include "platform/win32/Win32Shell.h"

namespace win32 {

using DISPID = LONG;
using BSTR = OLECHAR*;
using VARTYPE = WORD;

constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_BSTR = 8;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;

inline constexpr IID IID_IDispatch = {0x00020400, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1, wReserved2, wReserved3;
    BSTR bstrVal;
};
struct DISPPARAMS {
    VARIANT* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};
struct EXCEPINFO;

BSTR SysAllocString(LPCOLESTR text);
void SysFreeString(BSTR text);
void VariantInit(VARIANT* v);
HRESULT VariantClear(VARIANT* v);

struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                           EXCEPINFO* exception, UINT* argumentError) = 0;

protected:
    ~IDispatch() = default;
};

// The class of a registered program identifier; CO_E_CLASSSTRING when it
// is not registered.
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);

// Called by CoCreateInstance for every class but the shell's link object.
HRESULT CreateAutomationObject(REFCLSID clsid, DWORD context, REFIID iid, LPVOID* object);

}  // namespace win32
