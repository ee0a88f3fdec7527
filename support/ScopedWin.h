#pragma once
// Owners for Win32 resources: one template, a traits struct per kind of
// handle. Never copied, moved explicitly; Get() to use, Put() for out
// parameters, Take() to hand ownership on.

#include <windows.h>
#include <unknwn.h>

#include <utility>

template <class Traits>
class CQVScoped {
public:
    using Handle = typename Traits::Handle;

    CQVScoped() = default;
    explicit CQVScoped(Handle h) : m_h(h) {}
    ~CQVScoped() { Close(); }
    CQVScoped(const CQVScoped&) = delete;
    CQVScoped& operator=(const CQVScoped&) = delete;
    CQVScoped(CQVScoped&& other) noexcept : m_h(other.Take()) {}
    CQVScoped& operator=(CQVScoped&& other) noexcept {
        if (this != &other)
            Reset(other.Take());
        return *this;
    }

    Handle Get() const { return m_h; }
    bool IsValid() const { return Traits::IsValid(m_h); }
    explicit operator bool() const { return IsValid(); }
    Handle* Put() {
        Close();
        return &m_h;
    }
    [[nodiscard]] Handle Take() {
        Handle h = m_h;
        m_h = Traits::Invalid();
        return h;
    }
    // Keeps GetLastError() intact, so a failed call can still be explained
    // after its result was stored.
    void Reset(Handle h = Traits::Invalid()) {
        DWORD error = GetLastError();
        Close();
        m_h = h;
        SetLastError(error);
    }
    void Close() {
        if (Traits::IsValid(m_h))
            Traits::Close(m_h);
        m_h = Traits::Invalid();
    }

private:
    Handle m_h = Traits::Invalid();
};

struct CQVHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    // Both "no handle" values of the API count as invalid.
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct CQVFindTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};
struct CQVModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
template <class T>
struct CQVGdiTraits {
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteObject(h); }
};
struct CQVWindowTraits {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) {
        if (IsWindow(h))
            DestroyWindow(h);
    }
};
struct CQVMemDcTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DeleteDC(h); }
};

// CreateMenu/CreatePopupMenu. DestroyMenu also destroys every submenu still
// attached: detach the ones that belong to someone else first.
struct CQVMenuTraits {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyMenu(h); }
};
// LoadImageW without LR_SHARED, CopyIcon, CreateIcon...: icons of our own.
struct CQVIconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { DestroyIcon(h); }
};

struct CQVDeviceNotifyTraits {
    using Handle = HDEVNOTIFY;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { UnregisterDeviceNotification(h); }
};

using CQVHandle = CQVScoped<CQVHandleTraits>;        // events, processes, threads, files, mappings
using CQVFindHandle = CQVScoped<CQVFindTraits>;      // FindFirstFileW
using CQVModule = CQVScoped<CQVModuleTraits>;        // LoadLibraryW
using CQVFont = CQVScoped<CQVGdiTraits<HFONT>>;
using CQVBrush = CQVScoped<CQVGdiTraits<HBRUSH>>;
using CQVBitmap = CQVScoped<CQVGdiTraits<HBITMAP>>;
using CQVPen = CQVScoped<CQVGdiTraits<HPEN>>;
using CQVWindow = CQVScoped<CQVWindowTraits>;        // windows this code created
using CQVMemDc = CQVScoped<CQVMemDcTraits>;          // CreateCompatibleDC
using CQVMenu = CQVScoped<CQVMenuTraits>;
using CQVIcon = CQVScoped<CQVIconTraits>;
using CQVDeviceNotify = CQVScoped<CQVDeviceNotifyTraits>;  // RegisterDeviceNotificationW

// GetDC/ReleaseDC pair.
class CQVWindowDc {
public:
    explicit CQVWindowDc(HWND hwnd) : m_hwnd(hwnd), m_hdc(GetDC(hwnd)) {}
    ~CQVWindowDc() {
        if (m_hdc)
            ReleaseDC(m_hwnd, m_hdc);
    }
    CQVWindowDc(const CQVWindowDc&) = delete;
    CQVWindowDc& operator=(const CQVWindowDc&) = delete;
    HDC Get() const { return m_hdc; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

// SelectObject for the lifetime of the object; puts the previous object back.
class CQVSelectObject {
public:
    CQVSelectObject(HDC hdc, HGDIOBJ obj) : m_hdc(hdc), m_old(obj ? SelectObject(hdc, obj) : nullptr) {}
    ~CQVSelectObject() {
        if (m_old)
            SelectObject(m_hdc, m_old);
    }
    CQVSelectObject(const CQVSelectObject&) = delete;
    CQVSelectObject& operator=(const CQVSelectObject&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_old;
};

// A COM interface pointer: Release on destruction, Put() for out parameters.
template <class T>
class CQVComPtr {
public:
    CQVComPtr() = default;
    ~CQVComPtr() { Release(); }
    CQVComPtr(const CQVComPtr&) = delete;
    CQVComPtr& operator=(const CQVComPtr&) = delete;
    CQVComPtr(CQVComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    CQVComPtr& operator=(CQVComPtr&& other) noexcept {
        if (this != &other) {
            Release();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    T** Put() {
        Release();
        return &m_p;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Release() {
        if (m_p)
            m_p->Release();
        m_p = nullptr;
    }

private:
    T* m_p = nullptr;
};

// A critical section with a scoped lock.
class CQVCriticalSection {
public:
    CQVCriticalSection() { InitializeCriticalSection(&m_cs); }
    ~CQVCriticalSection() { DeleteCriticalSection(&m_cs); }
    CQVCriticalSection(const CQVCriticalSection&) = delete;
    CQVCriticalSection& operator=(const CQVCriticalSection&) = delete;
    void Lock() { EnterCriticalSection(&m_cs); }
    void Unlock() { LeaveCriticalSection(&m_cs); }
    CRITICAL_SECTION* Native() { return &m_cs; }

private:
    CRITICAL_SECTION m_cs;
};

// A condition over a CQVCriticalSection. A wake needs no kernel object, so
// under Wine it costs no round trip to the server as an event's does.
class CQVCondition {
public:
    CQVCondition() { InitializeConditionVariable(&m_cv); }
    CQVCondition(const CQVCondition&) = delete;
    CQVCondition& operator=(const CQVCondition&) = delete;
    // The caller holds cs. False when timeoutMs passed without a wake.
    bool Wait(CQVCriticalSection& cs, DWORD timeoutMs) {
        return SleepConditionVariableCS(&m_cv, cs.Native(), timeoutMs) != FALSE;
    }
    void WakeAll() { WakeAllConditionVariable(&m_cv); }

private:
    CONDITION_VARIABLE m_cv;
};

class CQVLock {
public:
    explicit CQVLock(CQVCriticalSection& cs) : m_cs(cs) { m_cs.Lock(); }
    ~CQVLock() { m_cs.Unlock(); }
    CQVLock(const CQVLock&) = delete;
    CQVLock& operator=(const CQVLock&) = delete;

private:
    CQVCriticalSection& m_cs;
};

// Lets go of a lock this thread holds (once) for a scope and takes it back:
// for calls that may wait on another thread that needs the lock.
class CQVUnlock {
public:
    explicit CQVUnlock(CQVCriticalSection& cs) : m_cs(cs) { m_cs.Unlock(); }
    ~CQVUnlock() { m_cs.Lock(); }
    CQVUnlock(const CQVUnlock&) = delete;
    CQVUnlock& operator=(const CQVUnlock&) = delete;

private:
    CQVCriticalSection& m_cs;
};
