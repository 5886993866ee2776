// Automation objects of the data-access engines over the active machine.
#include "platform/win32/Win32Automation.h"

#include <atomic>
#include <cctype>
#include <cwchar>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/machine/Machine.h"
#include "platform/win32/Win32Version.h"

namespace win32 {

namespace {

std::string Narrow(LPCOLESTR text) {
    std::string out;
    for (; text && *text; ++text) out.push_back(*text < 0x80 ? static_cast<char>(*text) : '?');
    return out;
}

// The default value of a key below HKEY_CLASSES_ROOT, "" when none.
std::string ClassesValue(const std::string& key) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return {};
    char buffer[520] = {};
    DWORD size = sizeof buffer - 1, type = 0;
    LONG r = RegQueryValueExA(h, "", nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size);
    RegCloseKey(h);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    return buffer;
}

bool ParseGuid(const std::string& text, GUID& g) {
    unsigned d1 = 0, d2 = 0, d3 = 0, b[8] = {};
    char end = 0;
    if (text.size() != 38 ||
        std::sscanf(text.c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}%c", &d1, &d2, &d3, &b[0], &b[1], &b[2],
                    &b[3], &b[4], &b[5], &b[6], &b[7], &end) != 11)
        return false;
    g.Data1 = d1;
    g.Data2 = static_cast<WORD>(d2);
    g.Data3 = static_cast<WORD>(d3);
    for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<BYTE>(b[i]);
    return true;
}

std::string GuidText(const GUID& g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2, g.Data3,
                  g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

// "3.51" from 3.51.1608.0, "3.6" from 3.60.x, "2.8" from 2.80.x.
std::string EngineVersion(const std::string& server) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(server.c_str(), &handle);
    if (size == 0) return {};
    std::string block(size, '\0');
    if (!GetFileVersionInfoA(server.c_str(), 0, size, block.data())) return {};
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &length) || !fixed) return {};
    unsigned major = fixed->dwFileVersionMS >> 16, minor = fixed->dwFileVersionMS & 0xFFFF;
    if (minor >= 10 && minor % 10 == 0) minor /= 10;
    return std::to_string(major) + "." + std::to_string(minor);
}

class EngineObject final : public IDispatch {
public:
    explicit EngineObject(std::string version) : version_(std::move(version)) {}
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        std::string name = Narrow(names[0]);
        for (auto& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name != "version") {
            ids[0] = -1;
            return DISP_E_UNKNOWNNAME;
        }
        ids[0] = 1;
        return S_OK;
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id != 1 || !(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
        if (!result) return E_POINTER;
        std::wstring wide(version_.begin(), version_.end());
        VariantInit(result);
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(wide.c_str());
        return S_OK;
    }

private:
    ~EngineObject() = default;
    std::atomic<ULONG> references_{1};
    std::string version_;
};

}  // namespace

BSTR SysAllocString(LPCOLESTR text) {
    if (!text) return nullptr;
    std::size_t n = std::wcslen(text);
    auto* copy = new OLECHAR[n + 1];
    std::memcpy(copy, text, (n + 1) * sizeof(OLECHAR));
    return copy;
}

void SysFreeString(BSTR text) { delete[] text; }

void VariantInit(VARIANT* v) {
    if (v) *v = VARIANT{VT_EMPTY, 0, 0, 0, nullptr};
}

HRESULT VariantClear(VARIANT* v) {
    if (!v) return E_POINTER;
    if (v->vt == VT_BSTR) SysFreeString(v->bstrVal);
    VariantInit(v);
    return S_OK;
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid) {
    if (!progId || !clsid) return E_INVALIDARG;
    std::string text = ClassesValue(Narrow(progId) + "\\CLSID");
    if (!ParseGuid(text, *clsid)) return CO_E_CLASSSTRING;
    return S_OK;
}

HRESULT CreateAutomationObject(REFCLSID clsid, DWORD context, REFIID iid, LPVOID* object) {
    if (!(context & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    std::string server = ClassesValue("CLSID\\" + GuidText(clsid) + "\\InprocServer32");
    if (server.empty() || !torvex::platform::ActiveMachine().readPath(server)) return REGDB_E_CLASSNOTREG;
    auto* engine = new EngineObject(EngineVersion(server));
    HRESULT hr = engine->QueryInterface(iid, object);
    engine->Release();
    return hr;
}

}  // namespace win32
