// The ASPI layer over the active machine's SCSI devices, and event objects.
#include "platform/win32/Win32Aspi.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/machine/Machine.h"

namespace win32 {

namespace {

using torvex::platform::ActiveMachine;

struct Event {
    bool manualReset = true;
    bool signalled = false;
};

struct Events {
    std::mutex mutex;
    std::map<std::uintptr_t, Event> events;
    std::uintptr_t next = 0x7E000000u;
};

Events& Table() {
    static Events t;
    return t;
}

const torvex::platform::AspiDevice* Find(const torvex::platform::AspiFacts& facts, BYTE adapter, BYTE target,
                                         BYTE lun) {
    for (const auto& d : facts.devices)
        if (d.hostAdapter == adapter && d.target == target && d.lun == lun) return &d;
    return nullptr;
}

}  // namespace

HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, LPCSTR) {
    Events& t = Table();
    std::lock_guard lock(t.mutex);
    t.next += 4;
    t.events[t.next] = Event{manualReset != FALSE, initialState != FALSE};
    return reinterpret_cast<HANDLE>(t.next);
}

BOOL SetEvent(HANDLE event) {
    Events& t = Table();
    std::lock_guard lock(t.mutex);
    auto it = t.events.find(reinterpret_cast<std::uintptr_t>(event));
    if (it == t.events.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    it->second.signalled = true;
    return TRUE;
}

BOOL ResetEvent(HANDLE event) {
    Events& t = Table();
    std::lock_guard lock(t.mutex);
    auto it = t.events.find(reinterpret_cast<std::uintptr_t>(event));
    if (it == t.events.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    it->second.signalled = false;
    return TRUE;
}

EventWait WaitForEvent(HANDLE handle, DWORD milliseconds) {
    {
        Events& t = Table();
        std::lock_guard lock(t.mutex);
        auto it = t.events.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == t.events.end()) return {};
        if (it->second.signalled) {
            if (!it->second.manualReset) it->second.signalled = false;
            return {true, WAIT_OBJECT_0};
        }
    }
    // Nothing else runs in this process that could set it: an endless wait
    // would never end, so it fails; a bounded one lets the time pass.
    if (milliseconds == INFINITE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {true, WAIT_FAILED};
    }
    ActiveMachine().sleep(milliseconds);
    return {true, WAIT_TIMEOUT};
}

bool CloseEvent(HANDLE handle) {
    Events& t = Table();
    std::lock_guard lock(t.mutex);
    return t.events.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0;
}

DWORD GetASPI32SupportInfo() {
    auto facts = ActiveMachine().aspiLayer();
    if (!facts) return DWORD(SS_NO_ADAPTERS) << 8;
    return (DWORD(SS_COMP) << 8) | facts->hostAdapters;
}

DWORD SendASPI32Command(void* srb) {
    if (!srb) return SS_INVALID_CMD;
    auto facts = ActiveMachine().aspiLayer();
    BYTE* header = static_cast<BYTE*>(srb);
    BYTE command = header[0];
    BYTE adapter = header[2];
    auto finish = [&](BYTE status) {
        header[1] = status;
        return DWORD(status);
    };
    if (!facts || facts->hostAdapters == 0) return finish(SS_NO_ADAPTERS);
    if (adapter >= facts->hostAdapters) return finish(SS_INVALID_HA);
    switch (command) {
        case SC_HA_INQUIRY: {
            auto* r = static_cast<SRB_HAInquiry*>(srb);
            r->HA_Count = facts->hostAdapters;
            r->HA_SCSI_ID = 7;
            std::memcpy(r->HA_ManagerId, "ASPI for WIN32  ", 16);
            return finish(SS_COMP);
        }
        case SC_GET_DEV_TYPE: {
            auto* r = static_cast<SRB_GDEVBlock*>(srb);
            const auto* d = Find(*facts, adapter, r->SRB_Target, r->SRB_Lun);
            if (!d) return finish(SS_NO_DEVICE);
            r->SRB_DeviceType = d->deviceType;
            return finish(SS_COMP);
        }
        case SC_EXEC_SCSI_CMD: {
            auto* r = static_cast<SRB_ExecSCSICmd*>(srb);
            const auto* d = Find(*facts, adapter, r->SRB_Target, r->SRB_Lun);
            if (!d) return finish(SS_NO_DEVICE);
            if (d->neverCompletes) return finish(SS_PENDING);
            BYTE status = SS_ERR;
            if (r->CDBByte[0] == 0x00) {   // TEST UNIT READY
                status = d->testUnitReadyStatus;
            } else if (r->CDBByte[0] == 0x12) {   // INQUIRY
                status = d->inquiryStatus;
                if (status == SS_COMP && r->SRB_BufPointer) {
                    BYTE data[56] = {};
                    data[0] = d->deviceType;
                    data[4] = 51;   // additional length
                    auto put = [&](std::size_t at, const std::string& text, std::size_t width) {
                        std::memcpy(data + at, text.data(), std::min(width, text.size()));
                    };
                    put(8, d->vendor, 8);
                    put(16, d->product, 16);
                    put(32, d->revision, 4);
                    put(36, d->vendorSpecific, 20);
                    std::size_t n = std::min<std::size_t>(r->SRB_BufLen, std::min<std::size_t>(sizeof data, r->CDBByte[4]));
                    std::memcpy(r->SRB_BufPointer, data, n);
                }
            }
            header[1] = status;
            // A posted request answers "pending" and tells its event.
            if (r->SRB_Flags & SRB_EVENT_NOTIFY) {
                if (r->SRB_PostProc) SetEvent(r->SRB_PostProc);
                return SS_PENDING;
            }
            return status;
        }
        default:
            return finish(SS_INVALID_CMD);
    }
}

}  // namespace win32
