#include "support/QVXml.h"

#include "support/BlowFish.h"
#include "support/QVDebug.h"
#include "support/QVXmlValue.h"

#include <aclapi.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

constexpr const wchar_t* kOpenName = L"CQVXml::OpenXmlFile";
constexpr std::size_t kMaxKeyChars = 1023;
constexpr std::size_t kMaxPathChars = 511;
constexpr std::size_t kMaxValueChars = 255;
constexpr std::size_t kNumberChars = 128;
constexpr const wchar_t* kDefaultKeyLabel = L"default";
constexpr const wchar_t* kOtherKeyLabel = L"custom";

// MSXML 6.0, 4.0 and 3.0 documents, newest first.
const CLSID kDocumentClasses[] = {
    {0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}},
    {0x88d969c0, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}},
    {0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}},
};

HRESULT CreateDocument(CQVXmlDocument& doc) {
    HRESULT hr = E_FAIL;
    for (const CLSID& clsid : kDocumentClasses) {
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument, doc.PutVoid());
        if (SUCCEEDED(hr))
            return hr;
    }
    return hr;
}

bool FileExists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

std::wstring KeyOrDefault(const wchar_t* key) {
    std::wstring text = key ? key : kBlowFishDefaultKey;
    if (text.size() > kMaxKeyChars)
        text.resize(kMaxKeyChars);
    return text;
}

// A VARIANT holding a BSTR copy of the text, cleared on destruction.
class CQVVariantText {
public:
    explicit CQVVariantText(const wchar_t* text) {
        VariantInit(&m_v);
        m_v.vt = VT_BSTR;
        m_v.bstrVal = SysAllocString(text ? text : L"");
    }
    ~CQVVariantText() { VariantClear(&m_v); }
    CQVVariantText(const CQVVariantText&) = delete;
    CQVVariantText& operator=(const CQVVariantText&) = delete;
    const VARIANT& Get() const { return m_v; }

private:
    VARIANT m_v;
};

// The product key of this machine, or empty where the system has none.
std::wstring ReadProductKey() {
    BYTE data[1024];
    DWORD size = sizeof(data);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"DigitalProductId",
                     RRF_RT_REG_BINARY | RRF_SUBKEY_WOW6464KEY, nullptr, data, &size) != ERROR_SUCCESS)
        return std::wstring();
    return DecodeProductKey(data, size);
}

}  // namespace

CFileAttributeGuard::CFileAttributeGuard(const wchar_t* path) {
    if (!path)
        return;
    wcsncpy(m_path, path, MAX_PATH - 1);
    m_attributes = GetFileAttributesW(m_path);
    m_existed = m_attributes != INVALID_FILE_ATTRIBUTES;
    if (m_existed && m_attributes != FILE_ATTRIBUTE_NORMAL)
        SetFileAttributesW(m_path, FILE_ATTRIBUTE_NORMAL);
}

void CFileAttributeGuard::Restore() {
    if (m_existed && FileExists(m_path))
        SetFileAttributesW(m_path, m_attributes);
    m_existed = false;
}

CQVXmlDocument CQVXml::OpenXmlFile(const wchar_t* path, const wchar_t* key, int encrypted, const wchar_t* rootPath) {
    CQVTraceScope scope(QVL_DETAIL, QVC_ALL, kOpenName, path ? path : L"");
    CQVXmlDocument doc;
    if (!path || !*path || !FileExists(path))
        return doc;
    const HRESULT created = CreateDocument(doc);
    if (FAILED(created)) {
        TracePrint(QVL_ERR, QVC_ALL, L"%ls() FAILED with 0x%08X in pXMLDoc.CreateInstance(__uuidof(DOMDocument40))\n",
                   kOpenName, static_cast<unsigned>(created));
        return CQVXmlDocument();
    }
    doc->put_async(VARIANT_FALSE);
    doc->put_validateOnParse(VARIANT_FALSE);
    doc->put_resolveExternals(VARIANT_FALSE);

    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (encrypted) {
        const std::wstring keyText = KeyOrDefault(key);
        const bool defaultKey = !key;
        TracePrint(QVL_INFO, QVC_ALL, L"%ls() uses %ls key\n", kOpenName, defaultKey ? kDefaultKeyLabel : kOtherKeyLabel);
        CQVBstr text;
        *text.Put() = CBlowFish::DecryptFile2Bstr(keyText.c_str(), path);
        if (!text.Get()) {
            TracePrint(QVL_ERR, QVC_ALL, L"%ls() FAILED in CBlowFish::DecryptFile2Bstr(%ls)\n", kOpenName,
                       defaultKey ? kDefaultKeyLabel : keyText.c_str());
            return CQVXmlDocument();
        }
        if (FAILED(doc->loadXML(text.Get(), &loaded)) || loaded != VARIANT_TRUE) {
            TracePrint(QVL_ERR, QVC_ALL, L"%ls() FAILED in pXMLDoc->loadXML()\n", kOpenName);
            return CQVXmlDocument();
        }
    } else {
        CQVVariantText source(path);
        if (FAILED(doc->load(source.Get(), &loaded)) || loaded != VARIANT_TRUE)
            return CQVXmlDocument();
    }

    if (rootPath) {
        CQVBstr query(StripXmlQuotes(rootPath, kMaxPathChars).c_str());
        CQVXmlNode root;
        if (FAILED(doc->selectSingleNode(query.Get(), root.Put())) || !root) {
            TracePrint(QVL_ERR, QVC_ALL, L"%ls() FAILED in SelectSingleNoder(%ls)\n", kOpenName, rootPath);
            return CQVXmlDocument();
        }
    }
    return doc;
}

int CQVXml::SaveXmlFile(IXMLDOMDocument* doc, const wchar_t* path, const wchar_t* key, int encrypted) {
    if (!doc || !path || !*path)
        return 0;
    if (encrypted) {
        CQVBstr text;
        if (FAILED(doc->get_xml(text.Put())))
            return 0;
        return EncryptBstr2File(text.Text(), path, KeyOrDefault(key).c_str()) == 1 ? 1 : 0;
    }
    CFileAttributeGuard guard(path);
    CQVVariantText target(path);
    return SUCCEEDED(doc->save(target.Get())) ? 1 : 0;
}

int CQVXml::ReencryptXmlFile(const wchar_t* path, int sourceEncrypted, int useProductKey) {
    CQVXmlDocument doc = OpenXmlFile(path, nullptr, sourceEncrypted, nullptr);
    if (!doc)
        return 0;
    std::wstring key;
    if (useProductKey) {
        key = ReadProductKey();
        if (key.empty())
            return 0;
    }
    wchar_t backup[MAX_PATH + 16] = {};
    bool freeName = false;
    for (int n = 1; n <= 100 && !freeName; ++n) {
        std::swprintf(backup, sizeof(backup) / sizeof(backup[0]), L"%ls.bak%03d", path, n);
        freeName = !FileExists(backup);
    }
    // Every backup name taken: leave the file as it is.
    if (!freeName)
        return 0;
    const DWORD attributes = GetFileAttributesW(path);
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileW(path, backup)) {
        SetFileAttributesW(path, attributes);
        return 0;
    }
    const int saved = SaveXmlFile(doc.Get(), path, useProductKey ? key.c_str() : nullptr, 1);
    if (saved) {
        DeleteFileW(backup);
    } else {
        DeleteFileW(path);
        MoveFileW(backup, path);
    }
    SetFileAttributesW(path, attributes);
    return saved;
}

CQVXmlElement CQVXml::SelectElement(IXMLDOMNode* node, const wchar_t* path) {
    CQVXmlElement element;
    if (!node || !path)
        return element;
    CQVBstr query(StripXmlQuotes(path, kMaxPathChars).c_str());
    CQVXmlNode found;
    if (FAILED(node->selectSingleNode(query.Get(), found.Put())) || !found)
        return element;
    if (FAILED(found->QueryInterface(IID_IXMLDOMElement, element.PutVoid())))
        element.Release();
    return element;
}

CQVXmlElement CQVXml::SelectElement(IXMLDOMDocument* doc, const wchar_t* path) {
    return SelectElement(static_cast<IXMLDOMNode*>(doc), path);
}

CQVXmlElement CQVXml::SelectElement(IXMLDOMElement* element, const wchar_t* path) {
    return SelectElement(static_cast<IXMLDOMNode*>(element), path);
}

CQVXmlElement CQVXml::SelectElementStrict(IXMLDOMNode* node, const wchar_t* path) {
    if (!IsValidXmlName(path))
        return CQVXmlElement();
    return SelectElement(node, path);
}

CQVXmlNodeList CQVXml::SelectNodes(IXMLDOMNode* node, const wchar_t* path) {
    CQVXmlNodeList list;
    if (!node || !path)
        return list;
    CQVBstr query(StripXmlQuotes(path, kMaxPathChars).c_str());
    if (FAILED(node->selectNodes(query.Get(), list.Put())))
        list.Release();
    return list;
}

bool CQVXml::GetPropString(IXMLDOMElement* element, const wchar_t* name, wchar_t* buffer, std::size_t bufferChars,
                           const wchar_t* defaultValue) {
    if (!element || !IsValidXmlName(name) || !buffer || bufferChars == 0)
        return false;
    CQVBstr attributeName(name);
    VARIANT value;
    VariantInit(&value);
    std::wstring text;
    if (element->getAttribute(attributeName.Get(), &value) == S_OK && value.vt == VT_BSTR && value.bstrVal)
        text = value.bstrVal;
    VariantClear(&value);
    if (text.empty()) {
        if (!defaultValue)
            return false;
        text = defaultValue;
    }
    const std::size_t length = text.size() < bufferChars - 1 ? text.size() : bufferChars - 1;
    wmemcpy(buffer, text.c_str(), length);
    buffer[length] = L'\0';
    return true;
}

int CQVXml::GetPropInt(IXMLDOMElement* element, const wchar_t* name, int defaultValue) {
    wchar_t text[kNumberChars] = {};
    const int value = GetPropString(element, name, text, kNumberChars) ? ParseXmlInt(text) : -1;
    return value == -1 ? defaultValue : value;
}

unsigned CQVXml::GetPropInt(IXMLDOMElement* element, const wchar_t* name, unsigned defaultValue) {
    return static_cast<unsigned>(GetPropInt(element, name, static_cast<int>(defaultValue)));
}

long long CQVXml::GetPropInt64(IXMLDOMElement* element, const wchar_t* name, long long defaultValue) {
    wchar_t text[kNumberChars] = {};
    const long long value = GetPropString(element, name, text, kNumberChars) ? ParseXmlInt64(text) : -1;
    return value == -1 ? defaultValue : value;
}

int CQVXml::SetPropString(IXMLDOMElement* element, const wchar_t* name, const wchar_t* value) {
    if (!element || !IsValidXmlName(name) || !value || !*value)
        return 0;
    std::wstring text(value, wcsnlen(value, kMaxValueChars));
    if (CleanXmlValue(text))
        TracePrint(QVL_WRN, QVC_ALL, L"CQVXml::SetPropString() replaced invalid characters for %ls = %ls\n", name,
                   text.c_str());
    CQVBstr attributeName(name);
    CQVVariantText attributeValue(text.c_str());
    if (FAILED(element->setAttribute(attributeName.Get(), attributeValue.Get())))
        TracePrint(QVL_ERR, QVC_ALL, L"CQVXml::SetPropString() FAILED for %ls = %ls\n", name, text.c_str());
    return 1;
}

namespace {

bool SetAttributeText(IXMLDOMElement* element, const wchar_t* name, const wchar_t* text) {
    if (!element || !IsValidXmlName(name))
        return false;
    CQVBstr attributeName(name);
    CQVVariantText attributeValue(text);
    return SUCCEEDED(element->setAttribute(attributeName.Get(), attributeValue.Get()));
}

}  // namespace

bool CQVXml::SetPropInt(IXMLDOMElement* element, const wchar_t* name, int value) {
    wchar_t text[12];
    std::swprintf(text, 12, L"%d", value);
    return SetAttributeText(element, name, text);
}

bool CQVXml::SetPropInt(IXMLDOMElement* element, const wchar_t* name, unsigned value) {
    return SetPropInt(element, name, static_cast<int>(value));
}

bool CQVXml::SetPropUInt64(IXMLDOMElement* element, const wchar_t* name, unsigned long long value) {
    wchar_t text[21];
    std::swprintf(text, 21, L"%llu", value);
    return SetAttributeText(element, name, text);
}

std::wstring CQVXml::GetChildText(IXMLDOMElement* element, const wchar_t* childPath) {
    CQVXmlElement child = SelectElement(element, childPath);
    CQVBstr text;
    if (!child || FAILED(child->get_text(text.Put())))
        return std::wstring();
    return text.Text();
}

bool CQVXml::AppendText(IXMLDOMNode* node, const wchar_t* text) {
    if (!node || !text)
        return false;
    CQVComPtr<IXMLDOMDocument> doc;
    if (FAILED(node->get_ownerDocument(doc.Put())) || !doc) {
        // A document is its own owner.
        if (FAILED(node->QueryInterface(IID_IXMLDOMDocument, doc.PutVoid())))
            return false;
    }
    CQVBstr data(text);
    CQVComPtr<IXMLDOMText> textNode;
    if (FAILED(doc->createTextNode(data.Get(), textNode.Put())) || !textNode)
        return false;
    CQVXmlNode appended;
    return SUCCEEDED(node->appendChild(textNode.Get(), appended.Put()));
}

int CQVXml::AppendIndent(IXMLDOMNode* node, int* done) {
    if (!done || *done == 1)
        return 0;
    *done = 1;
    return AppendText(node, L"\n\t\t") ? 1 : 0;
}

int CreateXmlFile(const wchar_t* fileName, const wchar_t* content, int deleteFirst, int unicode) {
    if (!fileName || !*fileName || !content || !*content)
        return 0;
    CFileAttributeGuard guard(fileName);
    if (deleteFirst == 1 && FileExists(fileName) && !DeleteFileW(fileName))
        TracePrint(QVL_ERR, QVC_ALL, L"CreateXmlFile() Delete %ls - FAIL\n", fileName);

    // A null access list: every user may read and write the file.
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    SECURITY_ATTRIBUTES security = {sizeof(security), &descriptor, FALSE};
    CQVHandle created(CreateFileW(fileName, GENERIC_WRITE, 0, &security, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!created)
        TracePrint(QVL_ERR, QVC_ALL, L"CreateXmlFile() CreateFile %ls - FAIL\n", fileName);
    created.Close();

    FILE* file = _wfopen(fileName, unicode == 1 ? L"wb" : L"w");
    if (!file)
        return 0;
    if (unicode == 1) {
        static const unsigned char kBom[2] = {0xFF, 0xFE};
        std::fwrite(kBom, 1, 2, file);
        std::fwrite(content, sizeof(wchar_t), wcslen(content), file);
    } else {
        std::fputws(content, file);
    }
    std::fclose(file);
    return 1;
}
