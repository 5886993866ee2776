#include "engine/Zarvo_Engines.h"

#include <cstring>
#include <vector>

#include "platform/Corvane_Registry.h"
#include "platform/Corvane_Routines.h"
#include "platform/Corvane_WnASPI32.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Automation.h"

namespace torvex::engine {

namespace {

using platform::TRegistryReader;
using namespace win32;

// The inquiry bytes [from, from + count) as text up to the first zero byte.
std::string InquiryText(const BYTE* data, std::size_t from, std::size_t count) {
    std::string text;
    for (std::size_t i = from; i < from + count && data[i] != 0; ++i) text.push_back(static_cast<char>(data[i]));
    return text;
}

// Sends a posted execute block and waits for its event, at most
// kAspiRequestWaitMs; the block's status is what the request came to.
BYTE ExecuteAndWait(SRB_ExecSCSICmd& block, HANDLE event) {
    DWORD answer = platform::wnaspi32::SendCommand(&block);
    if (answer == SS_PENDING) WaitForSingleObject(event, kAspiRequestWaitMs);
    return block.SRB_Status;
}

}  // namespace

std::string InstalledVersionText(const std::uint8_t* data, std::size_t size) {
    if (!data || size < 4) return {};
    auto bigEndian = [&](std::size_t at) {
        return (std::uint32_t(data[at]) << 24) | (std::uint32_t(data[at + 1]) << 16) |
               (std::uint32_t(data[at + 2]) << 8) | data[at + 3];
    };
    std::uint32_t minor = size >= 8 ? bigEndian(4) : 0;
    return std::to_string(bigEndian(0)) + "." + std::to_string(minor);
}

std::string AutomationVersion(const std::string& progId) {
    std::wstring wide(progId.begin(), progId.end());
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(wide.c_str(), &clsid))) return {};
    IDispatch* object = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<LPVOID*>(&object))) ||
        !object)
        return {};
    std::string version;
    OLECHAR name[] = L"Version";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    if (SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        VARIANT result;
        VariantInit(&result);
        if (SUCCEEDED(object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr)) &&
            result.vt == VT_BSTR && result.bstrVal)
            for (const OLECHAR* c = result.bstrVal; *c; ++c) version.push_back(static_cast<char>(*c));
        VariantClear(&result);
    }
    object->Release();
    return version;
}

// ---------------------------------------------------------------- DirectX

TDirectX::TDirectX()
    : FDirect3D(std::make_unique<TStringList>()),
      FDirectPlay(std::make_unique<TStringList>()),
      FDirectMusic(std::make_unique<TStringList>()) {}

TDirectX::~TDirectX() = default;

void TDirectX::GetInfo() {
    {
        TRegistryReader key(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\DirectX");
        if (key) {
            if (key.HasValue("Version")) FVersion = key.ReadString("Version");
            if (FVersion.empty() && key.HasValue("InstalledVersion")) {
                // Four bytes first; a longer value fails that read and is
                // read as eight.
                if (auto data = key.Data("InstalledVersion", 4))
                    FVersion = InstalledVersionText(data->data(), data->size());
                else if (auto longer = key.Data("InstalledVersion", 8))
                    FVersion = InstalledVersionText(longer->data(), longer->size());
            }
        }
    }
    auto fill = [](TStringList& list, const char* path) {
        list.Clear();
        TRegistryReader key(HKEY_LOCAL_MACHINE, path);
        if (!key) return;
        for (const auto& name : key.SubKeyNames()) {
            TRegistryReader sub(HKEY_LOCAL_MACHINE, std::string(path) + "\\" + name);
            if (sub && sub.HasValue("Description")) list.Add(sub.ReadString("Description"));
        }
    };
    fill(*FDirect3D, "\\SOFTWARE\\Microsoft\\Direct3D\\Drivers");
    fill(*FDirectPlay, "\\SOFTWARE\\Microsoft\\DirectPlay\\Services");
    fill(*FDirectMusic, "\\SOFTWARE\\Microsoft\\DirectMusic\\SoftwareSynths");
}

void TDirectX::Report(TStringList& lines) const {
    lines.Add("[DirectX]");
    if (FVersion.empty()) return;
    lines.Add(Format("Version=%s", {FVersion}));
    lines.Add("[Direct3D]");
    ListToReport(*FDirect3D, "Count", "Device", lines);
    lines.Add("[DirectPlay]");
    ListToReport(*FDirectPlay, "Count", "Device", lines);
    lines.Add("[DirectMusic]");
    ListToReport(*FDirectMusic, "Count", "Device", lines);
}

void TDirectX::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("Version", FVersion);
    published.Add("Direct3D", FDirect3D);
    published.Add("DirectPlay", FDirectPlay);
    published.Add("DirectMusic", FDirectMusic);
}

// ---------------------------------------------------------------- ASPI

TASPI32::TASPI32()
    : FHostAdapters(std::make_unique<TStringList>()),
      FIDs(std::make_unique<TStringList>()),
      FVendors(std::make_unique<TStringList>()),
      FProducts(std::make_unique<TStringList>()),
      FRevisions(std::make_unique<TStringList>()),
      FVendorSpecific(std::make_unique<TStringList>()),
      FTypes(std::make_unique<TStringList>()),
      FStatuses(std::make_unique<TStringList>()) {}

TASPI32::~TASPI32() = default;

void TASPI32::GetInfo() {
    FASPI.clear();
    for (TStringList* l : {FHostAdapters.get(), FIDs.get(), FVendors.get(), FProducts.get(), FRevisions.get(),
                           FVendorSpecific.get(), FTypes.get(), FStatuses.get()})
        l->Clear();
    DWORD support = platform::wnaspi32::SupportInfo();
    BYTE status = static_cast<BYTE>((support >> 8) & 0xFF);
    if (status != SS_COMP) return;
    FHostAdapterCount = support & 0xFF;
    auto last = [](TStringList& list, const std::string& text) { list.SetString(list.Count() - 1, text); };
    for (std::uint32_t h = 0; h < FHostAdapterCount; ++h) {
        SRB_HAInquiry inquiry{};
        inquiry.SRB_Cmd = SC_HA_INQUIRY;
        inquiry.SRB_HaId = static_cast<BYTE>(h);
        if (platform::wnaspi32::SendCommand(&inquiry) != SS_COMP) continue;
        for (BYTE t = 0; t <= 15; ++t) {
            SRB_GDEVBlock type{};
            type.SRB_Cmd = SC_GET_DEV_TYPE;
            type.SRB_HaId = static_cast<BYTE>(h);
            type.SRB_Target = t;
            if (platform::wnaspi32::SendCommand(&type) != SS_COMP) continue;
            FHostAdapters->Add(std::to_string(h));
            FIDs->Add(std::to_string(t));
            FTypes->Add(std::to_string(type.SRB_DeviceType));
            for (TStringList* l : {FStatuses.get(), FVendors.get(), FProducts.get(), FRevisions.get(),
                                   FVendorSpecific.get()})
                l->Add("");
            HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
            if (!event) continue;

            SRB_ExecSCSICmd ready{};
            ready.SRB_Cmd = SC_EXEC_SCSI_CMD;
            ready.SRB_HaId = static_cast<BYTE>(h);
            ready.SRB_Flags = SRB_EVENT_NOTIFY;
            ready.SRB_Target = t;
            ready.SRB_SenseLen = SENSE_LEN;
            ready.SRB_CDBLen = 6;
            ready.SRB_PostProc = event;
            last(*FStatuses, std::to_string(ExecuteAndWait(ready, event)));
            ResetEvent(event);

            BYTE data[100] = {};
            SRB_ExecSCSICmd inq{};
            inq.SRB_Cmd = SC_EXEC_SCSI_CMD;
            inq.SRB_HaId = static_cast<BYTE>(h);
            inq.SRB_Flags = SRB_DIR_IN | SRB_EVENT_NOTIFY;
            inq.SRB_Target = t;
            inq.SRB_BufLen = sizeof data;
            inq.SRB_BufPointer = data;
            inq.SRB_SenseLen = SENSE_LEN;
            inq.SRB_CDBLen = 6;
            inq.SRB_PostProc = event;
            inq.CDBByte[0] = 0x12;
            inq.CDBByte[4] = sizeof data;
            BYTE inquiryStatus = ExecuteAndWait(inq, event);
            last(*FStatuses, std::to_string(inquiryStatus));
            if (inquiryStatus == SS_COMP) {
                last(*FVendors, InquiryText(data, 8, 8));
                last(*FProducts, InquiryText(data, 16, 16));
                last(*FRevisions, InquiryText(data, 32, 4));
                last(*FVendorSpecific, InquiryText(data, 36, 20));
            }
            CloseHandle(event);
        }
    }
    // The layer's version is its library's, looked for in the Windows folder
    // and then the system folder; a system that provides the layer without a
    // file of its own answers for it in the system folder.
    bool found = false;
    for (const std::string& folder : {platform::routines::GetWinDir(), platform::routines::GetSysDir()})
        if (GetFileAttributesA((folder + "\\wnaspi32.dll").c_str()) != INVALID_FILE_ATTRIBUTES) found = true;
    if (!found) found = !platform::routines::GetFileVersion(platform::routines::GetSysDir() + "\\wnaspi32.dll").empty();
    if (found) FASPI = platform::routines::GetFileVersion("wnaspi32.dll");
}

void TASPI32::Report(TStringList& lines) const {
    lines.Add("[ASPI32]");
    if (FASPI.empty()) return;
    lines.Add(Format("Version=%s", {FASPI}));
    ListToReport(*FVendors, "Count", "Vendor", lines);
    ListToReport(*FProducts, "", "Product", lines);
    ListToReport(*FHostAdapters, "", "Adapter", lines);
    ListToReport(*FIDs, "", "ID", lines);
    ListToReport(*FTypes, "", "Type", lines);
    ListToReport(*FStatuses, "", "Status", lines);
}

void TASPI32::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("ASPI", FASPI);
}

// ---------------------------------------------------------------- engines

TEngines::TEngines() : FDirectX(std::make_unique<TDirectX>()), FASPI32(std::make_unique<TASPI32>()) {}

TEngines::~TEngines() = default;

void TEngines::GetInfo() {
    GuardedCall(GetInfoLabel(*FDirectX), FExceptionMode, &TDirectX::GetInfo, *FDirectX);
    GuardedCall(GetInfoLabel(*FASPI32), FExceptionMode, &TASPI32::GetInfo, *FASPI32);

    {
        TRegistryReader key(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Borland\\Database Engine");
        if (key && key.HasValue("DLLPATH")) {
            std::string v = platform::routines::GetFileVersion(key.ReadString("DLLPATH") + "\\IDAPI32.DLL");
            if (!v.empty()) FBDE = v;
        }
    }
    {
        TRegistryReader key(HKEY_LOCAL_MACHINE, "\\SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Core\\FileList");
        std::string v;
        if (key) {
            if (key.HasValue("ODBC32.DLL")) v = platform::routines::GetFileVersion(key.ReadString("ODBC32.DLL"));
        } else {
            v = platform::routines::GetFileVersion(platform::routines::GetSysDir() + "\\ODBC32.DLL");
        }
        if (!v.empty()) FODBC = v;
    }
    // Creating an object that is not registered yields nothing; it is no
    // error.
    CoInitialize(nullptr);
    std::string dao;
    for (const char* progId : {"DAO.DBEngine.36", "DAO.DBEngine.35", "DAO.DBEngine"}) {
        dao = AutomationVersion(progId);
        if (!dao.empty()) break;
    }
    if (!dao.empty()) FDAO = dao;
    std::string ado = AutomationVersion("adodb.connection");
    if (!ado.empty()) FADO = ado;
    CoUninitialize();
}

void TEngines::Report(TStringList& lines) const {
    const std::pair<const char*, const std::string*> parts[] = {
        {"[ODBC]", &FODBC}, {"[BDE]", &FBDE}, {"[DAO]", &FDAO}, {"[ADO]", &FADO}};
    for (const auto& [header, value] : parts) {
        lines.Add(header);
        if (!value->empty()) lines.Add(Format("Version=%s", {*value}));
    }
    FDirectX->Report(lines);
    FASPI32->Report(lines);
}

void TEngines::PublishProperties(TPublished& published) const {
    TPersistent::PublishProperties(published);
    published.Add("ExceptionMode", FExceptionMode);
    published.Add("ODBC", FODBC);
    published.Add("BDE", FBDE);
    published.Add("DAO", FDAO);
    published.Add("ADO", FADO);
    published.Add("DirectX", FDirectX);
    published.Add("ASPI32", FASPI32);
}

}  // namespace torvex::engine
