#include "support/QVRegistry.h"

#include "support/QVRegKey.h"
#include "support/QVRegistryValue.h"

#include <cstring>
#include <cwchar>
#include <string>

namespace {

const wchar_t kCompanyKey[] = L"Software\\Vemtra Electronic GmbH";

bool IsPredefinedRoot(HKEY root) {
    return root == HKEY_CLASSES_ROOT || root == HKEY_CURRENT_USER || root == HKEY_LOCAL_MACHINE ||
           root == HKEY_USERS || root == HKEY_CURRENT_CONFIG;
}

// Longest value or key name the registry allows, plus the terminator.
constexpr DWORD kMaxNameChars = 16384;

// Everything one operation needs: the resolved root (the calling thread's own
// user when the flag asks for it) and the joined path.
class CQVRegistryAccess {
public:
    CQVRegistryAccess(HKEY root, BOOL currentUser, const wchar_t* base, const wchar_t* subKey, REGSAM access) {
        if (subKey && *subKey)
            m_path = *base ? std::wstring(base) + L"\\" + subKey : std::wstring(subKey);
        else
            m_path = base;
        m_root = root;
        if (currentUser) {
            m_root = nullptr;
            if (RegOpenCurrentUser(access, m_userRoot.Put()) == ERROR_SUCCESS)
                m_root = m_userRoot.Get();
        }
    }
    bool IsValid() const { return m_root != nullptr; }
    LSTATUS Open(REGSAM access, CQVRegKey* key) const {
        return RegOpenKeyExW(m_root, m_path.c_str(), 0, access, key->Put());
    }
    LSTATUS OpenOrCreate(CQVRegKey* key) const {
        return RegCreateKeyExW(m_root, m_path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                               key->Put(), nullptr);
    }

private:
    std::wstring m_path;
    HKEY m_root = nullptr;
    CQVRegKey m_userRoot;
};

REGSAM ReadAccess(BOOL view64) { return KEY_READ | (view64 ? KEY_WOW64_64KEY : 0); }

// Reads a value whole, whatever its size; retries when it grows in between.
BOOL ReadValue(HKEY key, const wchar_t* name, DWORD* type, std::vector<BYTE>* data) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        LSTATUS status = RegQueryValueExW(key, name, nullptr, type, nullptr, &size);
        if (status != ERROR_SUCCESS)
            return FALSE;
        data->assign(size, 0);
        status = RegQueryValueExW(key, name, nullptr, type, data->empty() ? nullptr : data->data(), &size);
        if (status == ERROR_SUCCESS) {
            data->resize(size);
            return TRUE;
        }
        if (status != ERROR_MORE_DATA)
            return FALSE;
    }
    return FALSE;
}

BOOL ReadValueAt(const CQVRegistryAccess& access, BOOL view64, const wchar_t* name, DWORD* type,
                 std::vector<BYTE>* data) {
    CQVRegKey key;
    if (!access.IsValid() || access.Open(ReadAccess(view64), &key) != ERROR_SUCCESS)
        return FALSE;
    return ReadValue(key.Get(), name, type, data);
}

int CountInfo(const CQVRegistryAccess& access, bool values) {
    CQVRegKey key;
    if (!access.IsValid() || access.Open(KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return -1;
    DWORD subKeys = 0, valueCount = 0;
    if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &valueCount, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return -1;
    return static_cast<int>(values ? valueCount : subKeys);
}

BOOL CopyName(const std::vector<wchar_t>& found, DWORD length, wchar_t* name, DWORD nameSize) {
    if (length + 1 > nameSize)
        return FALSE;
    std::wmemcpy(name, found.data(), length);
    name[length] = L'\0';
    return TRUE;
}

}  // namespace

CQVRegistry::CQVRegistry(BOOL currentUser) : m_currentUser(currentUser ? TRUE : FALSE) {
    wchar_t module[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        module[0] = L'\0';
    const wchar_t* name = module;
    for (const wchar_t* p = module; *p; ++p) {
        if (*p == L'\\' || *p == L'/' || *p == L':')
            name = p + 1;
    }
    std::wstring stem(name);
    std::size_t dot = stem.rfind(L'.');
    if (dot != std::wstring::npos)
        stem.resize(dot);
    std::swprintf(m_szPath, QVREG_PATH_CHARS, L"%ls\\%ls", kCompanyKey, stem.c_str());
}

CQVRegistry::CQVRegistry(const wchar_t* path, HKEY root) : CQVRegistry(FALSE) { SetKey(path, root); }

BOOL CQVRegistry::SetKey(const wchar_t* path, HKEY root) {
    if (!IsPredefinedRoot(root))
        return FALSE;
    const wchar_t* text = path ? path : L"";
    if (std::wcslen(text) >= QVREG_PATH_CHARS)
        return FALSE;
    std::wcscpy(m_szPath, text);
    m_root = root;
    m_currentUser = FALSE;
    return TRUE;
}

BOOL CQVRegistry::GetDword(const wchar_t* name, DWORD* value, const wchar_t* subKey, BOOL view64) const {
    if (!value)
        return FALSE;
    CQVRegistryAccess access(m_root, m_currentUser, m_szPath, subKey, KEY_READ);
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadValueAt(access, view64, name, &type, &data))
        return FALSE;
    std::uint32_t number = 0;
    if (!QVRegReadDword(type, data.data(), data.size(), &number))
        return FALSE;
    *value = number;
    return TRUE;
}

BOOL CQVRegistry::GetDwordOrDefault(const wchar_t* name, DWORD* value) const {
    return GetDword(name, value, nullptr, FALSE);
}

BOOL CQVRegistry::SetDword(DWORD value, const wchar_t* subKey, const wchar_t* name) {
    CQVRegistryAccess access(m_root, m_currentUser, m_szPath, subKey, KEY_ALL_ACCESS);
    CQVRegKey key;
    if (!access.IsValid() || access.OpenOrCreate(&key) != ERROR_SUCCESS)
        return FALSE;
    return RegSetValueExW(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

BOOL CQVRegistry::GetStringValue(const wchar_t* name, wchar_t* buffer, DWORD bufferLength, const wchar_t* subKey,
                                 BOOL view64) const {
    if (!buffer || bufferLength == 0)
        return FALSE;
    CQVRegistryAccess access(m_root, m_currentUser, m_szPath, subKey, KEY_READ);
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadValueAt(access, view64, name, &type, &data))
        return FALSE;
    return QVRegCopyText(type, data.data(), data.size(), buffer, bufferLength);
}

BOOL CQVRegistry::SetStringValue(const wchar_t* name, const wchar_t* text, const wchar_t* subKey) {
    if (!text)
        return FALSE;
    CQVRegistryAccess access(m_root, m_currentUser, m_szPath, subKey, KEY_ALL_ACCESS);
    CQVRegKey key;
    if (!access.IsValid() || access.OpenOrCreate(&key) != ERROR_SUCCESS)
        return FALSE;
    DWORD bytes = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS;
}

BOOL CQVRegistry::GetBinary(const wchar_t* name, DWORD* length, BYTE* buffer) const {
    if (!length || (*length && !buffer))
        return FALSE;
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!QueryRawValue(name, &type, &data))
        return FALSE;
    DWORD count = data.size() < *length ? static_cast<DWORD>(data.size()) : *length;
    if (count)
        std::memcpy(buffer, data.data(), count);
    *length = count;
    return TRUE;
}

BOOL CQVRegistry::SetBinary(const BYTE* data, const wchar_t* name, DWORD length) {
    if (!data && length)
        return FALSE;
    return SetRawValue(name, REG_BINARY, data, length);
}

BOOL CQVRegistry::DeleteValue(const wchar_t* name, const wchar_t* subKey) {
    CQVRegistryAccess access(m_root, m_currentUser, m_szPath, subKey, KEY_ALL_ACCESS);
    CQVRegKey key;
    if (!access.IsValid() || access.Open(KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return FALSE;
    return RegDeleteValueW(key.Get(), name) == ERROR_SUCCESS;
}

BOOL CQVRegistry::DeleteKey(const wchar_t* keyName, const wchar_t* subKey) {
    // An empty name would mean the path itself, with everything below it.
    if (!keyName || !*keyName)
        return FALSE;
    CQVRegistryAccess access(m_root, m_currentUser, m_szPath, subKey, KEY_ALL_ACCESS);
    CQVRegKey key;
    if (!access.IsValid() || access.Open(KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return FALSE;
    if (m_currentUser)
        return RegDeleteKeyW(key.Get(), keyName) == ERROR_SUCCESS;
    return RegDeleteTreeW(key.Get(), keyName) == ERROR_SUCCESS;
}

BOOL CQVRegistry::DeleteAllValues(const wchar_t* subKey) {
    CQVRegistryAccess access(m_root, m_currentUser, m_szPath, subKey, KEY_ALL_ACCESS);
    CQVRegKey key;
    if (!access.IsValid() || access.Open(KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return FALSE;
    DWORD count = 0;
    if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return FALSE;
    std::vector<wchar_t> name(kMaxNameChars);
    BOOL allDeleted = TRUE;
    for (DWORD index = count; index-- > 0;) {
        DWORD length = kMaxNameChars;
        if (RegEnumValueW(key.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS ||
            RegDeleteValueW(key.Get(), name.data()) != ERROR_SUCCESS)
            allDeleted = FALSE;
    }
    return allDeleted;
}

BOOL CQVRegistry::CreateSubKey(const wchar_t* name, const wchar_t* subKey, DWORD options, REGSAM access) {
    if (!name || !*name)
        return FALSE;
    CQVRegistryAccess where(m_root, m_currentUser, m_szPath, subKey, KEY_ALL_ACCESS);
    CQVRegKey parent;
    if (!where.IsValid() || where.Open(KEY_CREATE_SUB_KEY, &parent) != ERROR_SUCCESS)
        return FALSE;
    CQVRegKey created;
    return RegCreateKeyExW(parent.Get(), name, 0, nullptr, options, access, nullptr, created.Put(), nullptr) ==
           ERROR_SUCCESS;
}

BOOL CQVRegistry::KeyExists(const wchar_t* subKey, BOOL view64) const {
    CQVRegistryAccess access(m_root, m_currentUser, m_szPath, subKey, KEY_READ);
    CQVRegKey key;
    return access.IsValid() && access.Open(ReadAccess(view64), &key) == ERROR_SUCCESS;
}

int CQVRegistry::CountValues(const wchar_t* subKey) const {
    return CountInfo(CQVRegistryAccess(m_root, m_currentUser, m_szPath, subKey, KEY_READ), true);
}

int CQVRegistry::CountSubKeys(const wchar_t* subKey) const {
    return CountInfo(CQVRegistryAccess(m_root, m_currentUser, m_szPath, subKey, KEY_READ), false);
}

BOOL CQVRegistry::EnumValueName(const wchar_t* subKey, DWORD index, wchar_t* name, DWORD nameSize) const {
    if (!name || nameSize == 0)
        return FALSE;
    CQVRegistryAccess access(m_root, m_currentUser, m_szPath, subKey, KEY_READ);
    CQVRegKey key;
    if (!access.IsValid() || access.Open(KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    std::vector<wchar_t> found(kMaxNameChars);
    DWORD length = kMaxNameChars;
    if (RegEnumValueW(key.Get(), index, found.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return FALSE;
    return CopyName(found, length, name, nameSize);
}

BOOL CQVRegistry::EnumSubKeyName(const wchar_t* subKey, DWORD index, wchar_t* name, DWORD nameSize,
                                 BOOL view64) const {
    if (!name || nameSize == 0)
        return FALSE;
    CQVRegistryAccess access(m_root, m_currentUser, m_szPath, subKey, KEY_READ);
    CQVRegKey key;
    if (!access.IsValid() || access.Open(ReadAccess(view64), &key) != ERROR_SUCCESS)
        return FALSE;
    std::vector<wchar_t> found(kMaxNameChars);
    DWORD length = kMaxNameChars;
    if (RegEnumKeyExW(key.Get(), index, found.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return FALSE;
    return CopyName(found, length, name, nameSize);
}

BOOL CQVRegistry::QueryRawValue(const wchar_t* name, DWORD* type, std::vector<BYTE>* data) const {
    CQVRegistryAccess access(m_root, m_currentUser, m_szPath, nullptr, KEY_READ);
    return ReadValueAt(access, FALSE, name, type, data);
}

BOOL CQVRegistry::SetRawValue(const wchar_t* name, DWORD type, const BYTE* data, DWORD length) {
    CQVRegistryAccess access(m_root, m_currentUser, m_szPath, nullptr, KEY_ALL_ACCESS);
    CQVRegKey key;
    if (!access.IsValid() || access.OpenOrCreate(&key) != ERROR_SUCCESS)
        return FALSE;
    return RegSetValueExW(key.Get(), name, 0, type, data, length) == ERROR_SUCCESS;
}

CQVRegistry_SetAndRestore::CQVRegistry_SetAndRestore(const wchar_t* valueName, const wchar_t* keyPath, HKEY root,
                                                     DWORD kind, DWORD size, const void* newValue)
    : m_kind(kind), m_size(size) {
    if (!SetKey(keyPath, root) || !newValue || (kind != KIND_BINARY && kind != KIND_DWORD))
        return;
    if (valueName) {
        if (std::wcslen(valueName) >= 256)
            return;
        std::wcscpy(m_szValueName, valueName);
    }
    if (kind == KIND_DWORD) {
        DWORD old = 0;
        if (!GetDword(m_szValueName, &old))
            return;
        // The check above accepted the value; keep its bytes and type as stored.
        if (!QueryRawValue(m_szValueName, &m_oldType, &m_oldValue))
            return;
        DWORD value = 0;
        std::memcpy(&value, newValue, sizeof(value));
        if (!SetDword(value, nullptr, m_szValueName))
            return;
    } else {
        if (!QueryRawValue(m_szValueName, &m_oldType, &m_oldValue))
            return;
        if (!SetBinary(static_cast<const BYTE*>(newValue), m_szValueName, size))
            return;
    }
    m_saved = TRUE;
}

CQVRegistry_SetAndRestore::~CQVRegistry_SetAndRestore() {
    if (m_saved)
        SetRawValue(m_szValueName, m_oldType, m_oldValue.empty() ? nullptr : m_oldValue.data(),
                    static_cast<DWORD>(m_oldValue.size()));
}
