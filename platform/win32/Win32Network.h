// Windows Sockets 1.1, the NetBIOS interface and the IP helper library's
// adapter and parameter calls.
//
// The sockets layer never asks a name server: the machine's own host name
// resolves to the IPv4 addresses of its own adapters, "localhost" to the
// loopback address, and every other name does not resolve, so a PC whose
// name server is unreachable still answers at once.
#pragma once

#include "platform/win32/Win32.h"

namespace win32 {

// ---------------------------------------------------------------- Windows Sockets

constexpr int WSADESCRIPTION_LEN = 256;
constexpr int WSASYS_STATUS_LEN = 128;
constexpr int WSASYSNOTREADY = 10091;
constexpr int WSAVERNOTSUPPORTED = 10092;
constexpr int WSANOTINITIALISED = 10093;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSAEFAULT = 10014;
constexpr int SOCKET_ERROR = -1;
constexpr short AF_INET_WIN = 2;

constexpr WORD MAKEWORD(BYTE low, BYTE high) { return WORD(low | (WORD(high) << 8)); }

struct WSADATA {
    WORD wVersion;
    WORD wHighVersion;
    char szDescription[WSADESCRIPTION_LEN + 1];
    char szSystemStatus[WSASYS_STATUS_LEN + 1];
    unsigned short iMaxSockets;
    unsigned short iMaxUdpDg;
    char* lpVendorInfo;
};

struct in_addr_win {
    DWORD S_addr;   // network byte order
};

struct hostent_win {
    char* h_name;
    char** h_aliases;
    short h_addrtype;
    short h_length;
    char** h_addr_list;   // null-terminated list of 4-byte addresses
};

int WSAStartup(WORD versionRequested, WSADATA* data);
int WSACleanup();
int WSAGetLastError();
int gethostname(char* name, int length);
// The result stays valid until the next call on this thread, as Windows'
// per-thread buffer does.
hostent_win* gethostbyname(const char* name);
// Dotted text of an address; the text stays valid until the next call.
char* inet_ntoa(in_addr_win address);

// ---------------------------------------------------------------- NetBIOS

constexpr BYTE NCBRESET = 0x32;
constexpr BYTE NCBASTAT = 0x33;
constexpr BYTE NCBENUM = 0x37;
constexpr BYTE NRC_GOODRET = 0x00;
constexpr BYTE NRC_BUFLEN = 0x01;
constexpr BYTE NRC_ILLCMD = 0x03;
constexpr BYTE NRC_BRIDGE = 0x23;   // invalid adapter number
constexpr BYTE NRC_SYSTEM = 0x40;
constexpr int NCBNAMSZ = 16;
constexpr int MAX_LANA = 254;

struct NCB {
    BYTE ncb_command;
    BYTE ncb_retcode;
    BYTE ncb_lsn;
    BYTE ncb_num;
    BYTE* ncb_buffer;
    WORD ncb_length;
    BYTE ncb_callname[NCBNAMSZ];
    BYTE ncb_name[NCBNAMSZ];
    BYTE ncb_rto;
    BYTE ncb_sto;
    void* ncb_post;
    BYTE ncb_lana_num;
    BYTE ncb_cmd_cplt;
    BYTE ncb_reserve[10];
    void* ncb_event;
};

struct LANA_ENUM {
    BYTE length;
    BYTE lana[MAX_LANA + 1];
};

struct ADAPTER_STATUS {
    BYTE adapter_address[6];
    BYTE rev_major;
    BYTE reserved0;
    BYTE adapter_type;
    BYTE rev_minor;
    WORD duration;
    WORD frmr_recv, frmr_xmit, iframe_recv_err, xmit_aborts;
    DWORD xmit_success, recv_success;
    WORD iframe_xmit_err, recv_buff_unavail, t1_timeouts, ti_timeouts;
    DWORD reserved1;
    WORD free_ncbs, max_cfg_ncbs, max_ncbs, xmit_buf_unavail, max_dgram_size, pending_sess, max_cfg_sess,
        max_sess, max_sess_pkt_size, name_count;
};
static_assert(sizeof(ADAPTER_STATUS) == 60);

struct NAME_BUFFER {
    BYTE name[NCBNAMSZ];
    BYTE name_num;
    BYTE name_flags;
};
static_assert(sizeof(NAME_BUFFER) == 18);

// Runs one command block; returns its return code (also left in
// ncb_retcode).
BYTE Netbios(NCB* ncb);

// ---------------------------------------------------------------- IP helper

constexpr DWORD ERROR_BUFFER_OVERFLOW = 111;
constexpr DWORD ERROR_NO_DATA = 232;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr int MAX_ADAPTER_DESCRIPTION_LENGTH = 128;
constexpr int MAX_ADAPTER_NAME_LENGTH = 256;
constexpr int MAX_ADAPTER_ADDRESS_LENGTH = 8;
constexpr int MAX_HOSTNAME_LEN = 128;
constexpr int MAX_DOMAIN_NAME_LEN = 128;
constexpr int MAX_SCOPE_ID_LEN = 256;

constexpr UINT MIB_IF_TYPE_OTHER = 1;
constexpr UINT MIB_IF_TYPE_ETHERNET = 6;
constexpr UINT MIB_IF_TYPE_TOKENRING = 9;
constexpr UINT MIB_IF_TYPE_FDDI = 15;
constexpr UINT MIB_IF_TYPE_PPP = 23;
constexpr UINT MIB_IF_TYPE_LOOPBACK = 24;
constexpr UINT MIB_IF_TYPE_SLIP = 28;

struct IP_ADDRESS_STRING {
    char String[16];
};

struct IP_ADDR_STRING {
    IP_ADDR_STRING* Next;
    IP_ADDRESS_STRING IpAddress;
    IP_ADDRESS_STRING IpMask;
    DWORD Context;
};

struct IP_ADAPTER_INFO {
    IP_ADAPTER_INFO* Next;
    DWORD ComboIndex;
    char AdapterName[MAX_ADAPTER_NAME_LENGTH + 4];
    char Description[MAX_ADAPTER_DESCRIPTION_LENGTH + 4];
    UINT AddressLength;
    BYTE Address[MAX_ADAPTER_ADDRESS_LENGTH];
    DWORD Index;
    UINT Type;
    UINT DhcpEnabled;
    IP_ADDR_STRING* CurrentIpAddress;
    IP_ADDR_STRING IpAddressList;
    IP_ADDR_STRING GatewayList;
    IP_ADDR_STRING DhcpServer;
    BOOL HaveWins;
    IP_ADDR_STRING PrimaryWinsServer;
    IP_ADDR_STRING SecondaryWinsServer;
    std::int32_t LeaseObtained;
    std::int32_t LeaseExpires;
};

struct FIXED_INFO {
    char HostName[MAX_HOSTNAME_LEN + 4];
    char DomainName[MAX_DOMAIN_NAME_LEN + 4];
    IP_ADDR_STRING* CurrentDnsServer;
    IP_ADDR_STRING DnsServerList;
    UINT NodeType;
    char ScopeId[MAX_SCOPE_ID_LEN + 4];
    UINT EnableRouting;
    UINT EnableProxy;
    UINT EnableDns;
};

// Both fill the caller's buffer, linking the records and the further chain
// entries inside it. A buffer that is too small (or none) answers
// ERROR_BUFFER_OVERFLOW with the size needed in *size.
DWORD GetAdaptersInfo(IP_ADAPTER_INFO* adapterInfo, ULONG* size);
DWORD GetNetworkParams(FIXED_INFO* fixedInfo, ULONG* size);
using GetAdaptersInfoProc = DWORD (*)(IP_ADAPTER_INFO*, ULONG*);
using GetNetworkParamsProc = DWORD (*)(FIXED_INFO*, ULONG*);

}  // namespace win32
