#pragma once
// CQVRegistry: a small helper bound to one registry key (root and path). Every
// operation opens the key, or a sub-key under it, for just that operation and
// closes it again, so the object holds no open handle between calls.
//
// Path rule: without a sub-key the base path is used; with one, base path and
// sub-key joined by a backslash (the sub-key alone when the base path is empty).
// All operations return 1 on success and 0 on failure unless said otherwise;
// nothing is logged and nothing is thrown.
//
// Reads never overrun a caller's buffer and never hand back an unterminated
// text, whatever type and size the stored value has: a text read fails for a
// value that is not REG_SZ/REG_EXPAND_SZ or that does not fit with its
// terminator, a number read fails for anything but a 4-byte REG_DWORD (or
// 4-byte binary) value; a failed read leaves the caller's buffer unchanged.

#include <windows.h>

#include <vector>

constexpr DWORD QVREG_PATH_CHARS = 260;        // base path: up to 259 characters
constexpr DWORD QVREG_VALUE_NAME_CHARS = 254;  // default name buffer of EnumValueName

class CQVRegistry {
public:
    // Base path "Software\Vemtra Electronic GmbH\<executable name without
    // extension>" under HKEY_CURRENT_USER. With currentUser 1 the root is
    // re-resolved to the calling thread's current user before every operation
    // (for threads that impersonate).
    explicit CQVRegistry(BOOL currentUser = FALSE);
    // Root must be HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
    // HKEY_USERS or HKEY_CURRENT_CONFIG; otherwise the default key above stays.
    CQVRegistry(const wchar_t* path, HKEY root);
    virtual ~CQVRegistry() = default;
    CQVRegistry(const CQVRegistry&) = default;
    CQVRegistry& operator=(const CQVRegistry&) = default;

    // Rebinds the object; 0 and nothing changed for another root or a path of
    // 260 characters or more. Clears the current-user flag.
    BOOL SetKey(const wchar_t* path, HKEY root);
    const wchar_t* GetPath() const { return m_szPath; }
    HKEY GetRoot() const { return m_root; }

    // A 32-bit value. view64: read in the 64-bit registry view.
    BOOL GetDword(const wchar_t* name, DWORD* value, const wchar_t* subKey = nullptr, BOOL view64 = FALSE) const;
    // As GetDword on the base key; value keeps the caller's default on failure.
    BOOL GetDwordOrDefault(const wchar_t* name, DWORD* value) const;
    // Opens the key or creates it and writes a REG_DWORD.
    BOOL SetDword(DWORD value, const wchar_t* subKey, const wchar_t* name);
    // A text into buffer (bufferLength characters including the terminator).
    BOOL GetStringValue(const wchar_t* name, wchar_t* buffer, DWORD bufferLength, const wchar_t* subKey = nullptr,
                        BOOL view64 = FALSE) const;
    // Opens or creates the key, writes a REG_SZ including the terminator.
    BOOL SetStringValue(const wchar_t* name, const wchar_t* text, const wchar_t* subKey = nullptr);
    // Up to *length bytes of the base key's value; *length becomes the count copied.
    BOOL GetBinary(const wchar_t* name, DWORD* length, BYTE* buffer) const;
    // Opens or creates the base key, writes a REG_BINARY value.
    BOOL SetBinary(const BYTE* data, const wchar_t* name, DWORD length);
    BOOL DeleteValue(const wchar_t* name, const wchar_t* subKey = nullptr);
    // Deletes keyName under the path: with the current-user flag only an empty
    // key, otherwise the key with all its sub-keys.
    BOOL DeleteKey(const wchar_t* keyName, const wchar_t* subKey = nullptr);
    // Deletes every value, last to first; 1 only if all deletions succeeded.
    BOOL DeleteAllValues(const wchar_t* subKey = nullptr);
    // Creates name under the path, which must exist.
    BOOL CreateSubKey(const wchar_t* name, const wchar_t* subKey = nullptr, DWORD options = REG_OPTION_NON_VOLATILE,
                      REGSAM access = KEY_ALL_ACCESS);
    // Whether the key opens for reading (view64: in the 64-bit view).
    BOOL KeyExists(const wchar_t* subKey = nullptr, BOOL view64 = FALSE) const;
    // The number of values or sub-keys (64-bit view), -1 when the key cannot be opened or queried.
    int CountValues(const wchar_t* subKey = nullptr) const;
    int CountSubKeys(const wchar_t* subKey = nullptr) const;
    // Name of the index-th value; 0 when out of range or longer than nameSize - 1.
    BOOL EnumValueName(const wchar_t* subKey, DWORD index, wchar_t* name,
                       DWORD nameSize = QVREG_VALUE_NAME_CHARS) const;
    // Name of the index-th sub-key; 0 when out of range or longer than nameSize - 1.
    BOOL EnumSubKeyName(const wchar_t* subKey, DWORD index, wchar_t* name, DWORD nameSize, BOOL view64 = FALSE) const;

protected:
    // The base key's value as stored: type and every byte.
    BOOL QueryRawValue(const wchar_t* name, DWORD* type, std::vector<BYTE>* data) const;
    // Opens or creates the base key and writes the value with the given type.
    BOOL SetRawValue(const wchar_t* name, DWORD type, const BYTE* data, DWORD length);

private:
    wchar_t m_szPath[QVREG_PATH_CHARS] = {};
    HKEY m_root = HKEY_CURRENT_USER;
    BOOL m_currentUser = FALSE;
};

// Changes one value of a key for the lifetime of the object and writes the old
// value back when it goes. Only a value that exists and can be read is changed;
// a missing value is left missing. The old value is kept as stored (type and all
// its bytes), so the restore gives back exactly what was there.
class CQVRegistry_SetAndRestore : public CQVRegistry {
public:
    static constexpr DWORD KIND_BINARY = 3;  // size bytes at newValue
    static constexpr DWORD KIND_DWORD = 4;   // a DWORD at newValue

    CQVRegistry_SetAndRestore(const wchar_t* valueName, const wchar_t* keyPath, HKEY root, DWORD kind, DWORD size,
                              const void* newValue);
    ~CQVRegistry_SetAndRestore() override;
    CQVRegistry_SetAndRestore(const CQVRegistry_SetAndRestore&) = delete;
    CQVRegistry_SetAndRestore& operator=(const CQVRegistry_SetAndRestore&) = delete;

    // Whether the old value was saved (and the new one written).
    BOOL IsSaved() const { return m_saved; }

private:
    wchar_t m_szValueName[256] = {};
    std::vector<BYTE> m_oldValue;
    DWORD m_oldType = 0;
    BOOL m_saved = FALSE;
    DWORD m_kind = 0;
    DWORD m_size = 0;
};
