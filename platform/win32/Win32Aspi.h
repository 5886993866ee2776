// The ASPI layer for SCSI devices ("wnaspi32.dll") and the event objects its
// posted requests signal.
//
// Request blocks have the fields of the ASPI for Win32 interface, in its
// order; the buffer and the post routine are pointers at this build's width.
#pragma once

#include "platform/win32/Win32.h"
#include "platform/win32/Win32Firmware.h"

namespace win32 {

// ---------------------------------------------------------------- events
// A manual-reset or auto-reset event. WaitForSingleObject and CloseHandle
// take it; a wait on an event nobody sets lets the machine's time pass by
// the time waited and ends with WAIT_TIMEOUT (an endless wait fails).
HANDLE CreateEventA(void* security, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
// For the handle functions of other objects: nullopt when handle is no event.
struct EventWait {
    bool isEvent = false;
    DWORD result = 0;
};
EventWait WaitForEvent(HANDLE handle, DWORD milliseconds);
bool CloseEvent(HANDLE handle);

// ---------------------------------------------------------------- ASPI
constexpr BYTE SC_HA_INQUIRY = 0x00;
constexpr BYTE SC_GET_DEV_TYPE = 0x01;
constexpr BYTE SC_EXEC_SCSI_CMD = 0x02;

constexpr BYTE SS_PENDING = 0x00;
constexpr BYTE SS_COMP = 0x01;
constexpr BYTE SS_ABORTED = 0x02;
constexpr BYTE SS_ERR = 0x04;
constexpr BYTE SS_INVALID_CMD = 0x80;
constexpr BYTE SS_INVALID_HA = 0x81;
constexpr BYTE SS_NO_DEVICE = 0x82;
constexpr BYTE SS_NO_ADAPTERS = 0xE8;

constexpr BYTE SRB_DIR_IN = 0x08;
constexpr BYTE SRB_DIR_OUT = 0x10;
constexpr BYTE SRB_EVENT_NOTIFY = 0x40;
constexpr BYTE SENSE_LEN = 14;

struct SRB_HAInquiry {   // 60 bytes in the interface
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE HA_Count;
    BYTE HA_SCSI_ID;
    BYTE HA_ManagerId[16];
    BYTE HA_Identifier[16];
    BYTE HA_Unique[16];
    WORD HA_Rsvd1;
};

struct SRB_GDEVBlock {   // 12 bytes
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE SRB_Target;
    BYTE SRB_Lun;
    BYTE SRB_DeviceType;
    BYTE SRB_Rsvd1;
};

struct SRB_ExecSCSICmd {   // 80 bytes with 32-bit pointers
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE SRB_Target;
    BYTE SRB_Lun;
    WORD SRB_Rsvd1;
    DWORD SRB_BufLen;
    BYTE* SRB_BufPointer;
    BYTE SRB_SenseLen;
    BYTE SRB_CDBLen;
    BYTE SRB_HaStat;
    BYTE SRB_TargStat;
    HANDLE SRB_PostProc;   // the event to set when done (SRB_EVENT_NOTIFY)
    BYTE SRB_Rsvd2[20];
    BYTE CDBByte[16];
    BYTE SenseArea[SENSE_LEN + 2];
};
static_assert(sizeof(SRB_HAInquiry) == 60);
static_assert(sizeof(SRB_GDEVBlock) == 12);

// High byte of the low word: the status (SS_COMP, or SS_NO_ADAPTERS); low
// byte: the number of host adapters.
DWORD GetASPI32SupportInfo();
// Carries out a request block. A command posted with SRB_EVENT_NOTIFY
// answers SS_PENDING and sets its event when it completes; a device that
// never completes leaves the block's status SS_PENDING and its event unset.
DWORD SendASPI32Command(void* srb);

}  // namespace win32
