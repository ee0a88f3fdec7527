#include "support/QVSystemInfoText.h"

#include <cstdio>
#include <cstdarg>
#include <cwchar>

namespace {

// Product types of the product-info function (the platform's PRODUCT_ values).
struct tagEDITION {
    std::uint32_t type;
    const wchar_t* text;
};
const tagEDITION kEditions[] = {
    {0x01, L"Ultimate Edition"},
    {0x02, L"Home Basic Edition"},
    {0x03, L"Home Premium Edition"},
    {0x04, L"Enterprise Edition"},
    {0x06, L"Business Edition"},
    {0x07, L"Standard Edition"},
    {0x08, L"Datacenter Edition"},
    {0x09, L"Small Business Server"},
    {0x0A, L"Enterprise Edition"},
    {0x0B, L"Starter Edition"},
    {0x0C, L"Datacenter Edition (core installation)"},
    {0x0D, L"Standard Edition (core installation)"},
    {0x0E, L"Enterprise Edition (core installation)"},
    {0x0F, L"Enterprise Edition for Itanium-based Systems"},
    {0x11, L"Web Server Edition"},
    {0x12, L"Cluster Server Edition"},
    {0x19, L"Small Business Server Premium Edition"},
    {0x30, L"Professional"},
    {0x31, L"Professional"},
};

const wchar_t* EditionText(std::uint32_t type) {
    for (const tagEDITION& row : kEditions) {
        if (row.type == type)
            return row.text;
    }
    return L"";
}

bool IsWorkstation(const tagQVOSVERSION& v) {
    return v.wProductType == 1;
}

// Product name of Vista and later, with its trailing blank.
const wchar_t* ModernProduct(const tagQVOSVERSION& v) {
    const bool ws = IsWorkstation(v);
    if (v.dwMajor == 6) {
        switch (v.dwMinor) {
        case 0: return ws ? L"Windows Vista " : L"Windows Server 2008 ";
        case 1: return ws ? L"Windows 7 " : L"Windows Server 2008 R2 ";
        case 2: return ws ? L"Windows 8 " : L"Windows Server 2012 ";
        case 3: return ws ? L"Windows 8.1 " : L"Windows Server 2012 R2 ";
        default: return nullptr;
        }
    }
    if (v.dwMajor == 10 && v.dwMinor == 0) {
        if (ws)
            return v.dwBuild >= 22000 ? L"Windows 11 " : L"Windows 10 ";
        if (v.dwBuild >= 20348)
            return L"Windows Server 2022 ";
        return v.dwBuild >= 17763 ? L"Windows Server 2019 " : L"Windows Server 2016 ";
    }
    return nullptr;
}

// Windows Server 2003 family and XP x64: product and edition.
void AppendServer2003(const tagQVOSVERSION& v, std::wstring& out) {
    if (v.fServerR2)
        out += L"Windows Server 2003 R2, ";
    else if (v.wSuiteMask & QVOS_SUITE_STORAGE_SERVER)
        out += L"Windows Storage Server 2003";
    else if (v.wSuiteMask & QVOS_SUITE_WH_SERVER)
        out += L"Windows Home Server";
    else if (IsWorkstation(v) && v.wArchitecture == QVOS_ARCH_AMD64)
        out += L"Windows XP Professional x64 Edition";
    else
        out += L"Windows Server 2003, ";
    if (IsWorkstation(v))
        return;
    const std::uint32_t suite = v.wSuiteMask;
    if (v.wArchitecture == QVOS_ARCH_IA64) {
        if (suite & QVOS_SUITE_DATACENTER)
            out += L"Datacenter Edition for Itanium-based Systems";
        else if (suite & QVOS_SUITE_ENTERPRISE)
            out += L"Enterprise Edition for Itanium-based Systems";
    } else if (v.wArchitecture == QVOS_ARCH_AMD64) {
        if (suite & QVOS_SUITE_DATACENTER)
            out += L"Datacenter x64 Edition";
        else if (suite & QVOS_SUITE_ENTERPRISE)
            out += L"Enterprise x64 Edition";
        else
            out += L"Standard x64 Edition";
    } else {
        if (suite & QVOS_SUITE_COMPUTE_SERVER)
            out += L"Compute Cluster Edition";
        else if (suite & QVOS_SUITE_DATACENTER)
            out += L"Datacenter Edition";
        else if (suite & QVOS_SUITE_ENTERPRISE)
            out += L"Enterprise Edition";
        else if (suite & QVOS_SUITE_BLADE)
            out += L"Web Edition";
        else
            out += L"Standard Edition";
    }
}

std::wstring Printf(const wchar_t* format, ...) {
    wchar_t buffer[256];
    va_list args;
    va_start(args, format);
    const int n = std::vswprintf(buffer, 256, format, args);
    va_end(args);
    return n < 0 ? std::wstring() : std::wstring(buffer);
}

}  // namespace

std::wstring FormatOSDisplayName(const tagQVOSVERSION& v) {
    const std::wstring unknown = L"Version of Windows not detected.";
    if (v.dwPlatformId != 2 || v.dwMajor < 5)
        return unknown;
    std::wstring out = L"Microsoft ";
    if (v.dwMajor >= 6) {
        const wchar_t* product = ModernProduct(v);
        if (!product)
            return unknown;
        out += product;
        out += EditionText(v.dwProductInfo);
    } else if (v.dwMinor == 2) {
        AppendServer2003(v, out);
    } else if (v.dwMinor == 1) {
        out += L"Windows XP ";
        out += (v.wSuiteMask & QVOS_SUITE_PERSONAL) ? L"Home Edition" : L"Professional";
    } else if (v.dwMinor == 0) {
        out += L"Windows 2000 ";
        if (IsWorkstation(v))
            out += L"Professional";
        else if (v.wSuiteMask & QVOS_SUITE_DATACENTER)
            out += L"Datacenter Server";
        else if (v.wSuiteMask & QVOS_SUITE_ENTERPRISE)
            out += L"Advanced Server";
        else
            out += L"Server";
    } else {
        return unknown;
    }
    if (!v.servicePack.empty())
        out += L" " + v.servicePack;
    out += Printf(L" (build %u)", static_cast<unsigned>(v.dwBuild));
    if (v.wArchitecture == QVOS_ARCH_AMD64 || v.wArchitecture == QVOS_ARCH_IA64 || v.wArchitecture == QVOS_ARCH_ARM64)
        out += L", 64-bit";
    else if (v.wArchitecture == QVOS_ARCH_INTEL)
        out += L", 32-bit";
    return out;
}

std::wstring FormatDirectXVersion(int major, int minor, wchar_t letter) {
    if (letter && letter != L' ')
        return Printf(L"%d.%d%lc", major, minor, static_cast<wint_t>(letter));
    return Printf(L"%d.%d", major, minor);
}

std::wstring FormatDirectXRegistryVersion(const wchar_t* version) {
    int a = 0, b = 0, c = 0, d = 0;
    if (!version || std::swscanf(version, L"%d.%d.%d.%d", &a, &b, &c, &d) != 4)
        return std::wstring();
    const wchar_t* format = L"%d.%d (%d.%02d.%02d.%02d)";
    if (std::wcscmp(version, L"4.09.00.0904") == 0)
        format = L"%d.%dc (%d.%02d.%02d.%02d)";
    else if (std::wcscmp(version, L"4.09.00.0902") == 0)
        format = L"%d.%db (%d.%02d.%02d.%02d)";
    return Printf(format, b, c, a, b, c, d);
}

void ParseProxyServer(const wchar_t* server, tagQVPROXY* proxy) {
    if (!server || !*server)
        return;
    const std::wstring text(server);
    if (text.find(L'=') == std::wstring::npos) {
        proxy->http = proxy->https = proxy->ftp = proxy->socks = text;
        return;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L';', start);
        if (end == std::wstring::npos)
            end = text.size();
        const std::wstring part = text.substr(start, end - start);
        const std::size_t eq = part.find(L'=');
        if (eq != std::wstring::npos) {
            std::wstring name = part.substr(0, eq);
            for (wchar_t& ch : name)
                ch = (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + 32) : ch;
            const std::wstring value = part.substr(eq + 1);
            if (name == L"http")
                proxy->http = value;
            else if (name == L"https")
                proxy->https = value;
            else if (name == L"ftp")
                proxy->ftp = value;
            else if (name == L"socks")
                proxy->socks = value;
        }
        start = end + 1;
    }
}

std::wstring FormatFreeDiskSpace(std::uint64_t freeBytes, const wchar_t* drive) {
    return Printf(L"%lu MB free on drive %ls", static_cast<unsigned long>(freeBytes / (1024 * 1024)),
                  drive ? drive : L"");
}

std::wstring GetSoundControlPanelCommand(bool recording, bool vistaOrLater) {
    if (!vistaOrLater)
        return L"control.exe mmcpl.cpl";
    return recording ? L"control.exe mmsys.cpl,@0,2" : L"control.exe mmsys.cpl,@0,1";
}
