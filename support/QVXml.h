#pragma once
// CQVXml: a thin layer over the system's XML DOM. Opens plain or encrypted
// files into a document, selects elements by path, reads and writes element
// attributes as text and numbers, and saves documents back, plain or
// encrypted. Every operation reports failure by its result; COM errors never
// reach the caller. COM must be initialised on the calling thread.
//
// The files were written for the MSXML 4.0 DOM, which newer systems no longer
// ship; the 6.0 DOM is created first, then 4.0, then 3.0. All three read and
// write the same text, so stored files do not change.
//
// Windows-only.

#include "support/ScopedWin.h"

#include <windows.h>
#include <msxml2.h>

#include <string>

// A BSTR of our own.
class CQVBstr {
public:
    CQVBstr() = default;
    explicit CQVBstr(const wchar_t* text) : m_b(text ? SysAllocString(text) : nullptr) {}
    ~CQVBstr() { SysFreeString(m_b); }
    CQVBstr(const CQVBstr&) = delete;
    CQVBstr& operator=(const CQVBstr&) = delete;
    BSTR Get() const { return m_b; }
    BSTR* Put() {
        SysFreeString(m_b);
        m_b = nullptr;
        return &m_b;
    }
    const wchar_t* Text() const { return m_b ? m_b : L""; }

private:
    BSTR m_b = nullptr;
};

using CQVXmlDocument = CQVComPtr<IXMLDOMDocument>;
using CQVXmlElement = CQVComPtr<IXMLDOMElement>;
using CQVXmlNode = CQVComPtr<IXMLDOMNode>;
using CQVXmlNodeList = CQVComPtr<IXMLDOMNodeList>;

class CQVXml {
public:
    CQVXml() = default;
    virtual ~CQVXml() = default;

    // key null: the default key. rootPath: a node that must exist, or null.
    CQVXmlDocument OpenXmlFile(const wchar_t* path, const wchar_t* key, int encrypted, const wchar_t* rootPath);
    int SaveXmlFile(IXMLDOMDocument* doc, const wchar_t* path, const wchar_t* key, int encrypted);
    // Writes the file again encrypted (with the machine's product key when
    // asked), keeping a backup "<path>.bakNNN" until the new file is written.
    int ReencryptXmlFile(const wchar_t* path, int sourceEncrypted, int useProductKey);

    CQVXmlElement SelectElement(IXMLDOMDocument* doc, const wchar_t* path);
    CQVXmlElement SelectElement(IXMLDOMElement* element, const wchar_t* path);
    CQVXmlElement SelectElement(IXMLDOMNode* node, const wchar_t* path);
    // The form that refuses paths containing a blank.
    CQVXmlElement SelectElementStrict(IXMLDOMNode* node, const wchar_t* path);
    CQVXmlNodeList SelectNodes(IXMLDOMNode* node, const wchar_t* path);

    bool GetPropString(IXMLDOMElement* element, const wchar_t* name, wchar_t* buffer, std::size_t bufferChars,
                       const wchar_t* defaultValue = nullptr);
    int GetPropInt(IXMLDOMElement* element, const wchar_t* name, int defaultValue);
    unsigned GetPropInt(IXMLDOMElement* element, const wchar_t* name, unsigned defaultValue);
    long long GetPropInt64(IXMLDOMElement* element, const wchar_t* name, long long defaultValue);
    int SetPropString(IXMLDOMElement* element, const wchar_t* name, const wchar_t* value);
    bool SetPropInt(IXMLDOMElement* element, const wchar_t* name, int value);
    bool SetPropInt(IXMLDOMElement* element, const wchar_t* name, unsigned value);
    bool SetPropUInt64(IXMLDOMElement* element, const wchar_t* name, unsigned long long value);
    std::wstring GetChildText(IXMLDOMElement* element, const wchar_t* childPath);
    bool AppendText(IXMLDOMNode* node, const wchar_t* text);
    // Appends "\n\t\t" once per flag: 0 (nothing) when *done is already 1.
    int AppendIndent(IXMLDOMNode* node, int* done);
};

// Creates (or replaces) a file with the content, readable and writable by
// every user; unicode 1 writes UTF-16 with a byte-order mark, else ANSI text.
int CreateXmlFile(const wchar_t* fileName, const wchar_t* content, int deleteFirst, int unicode);

// Makes a read-only or hidden file writable for as long as the object lives,
// then sets its attributes back.
class CFileAttributeGuard {
public:
    explicit CFileAttributeGuard(const wchar_t* path);
    ~CFileAttributeGuard() { Restore(); }
    CFileAttributeGuard(const CFileAttributeGuard&) = delete;
    CFileAttributeGuard& operator=(const CFileAttributeGuard&) = delete;
    void Restore();

private:
    wchar_t m_path[MAX_PATH] = {};
    DWORD m_attributes = INVALID_FILE_ATTRIBUTES;
    bool m_existed = false;
};
