#include "receivers/SrcHidXmlParser.h"

#include "receivers/RcKeys.h"

#include <cstring>

namespace {

// A read that waits for ever would hold the polling thread past every stop:
// a missing or unreadable timeout keeps the built-in one.
constexpr std::uint32_t kDefaultTimeoutMs = 90;

}  // namespace

int CSrcHidXmlParser::LoadTable(const wchar_t* path, tagHIDSOURCE* table, int capacity) {
    if (!table || capacity <= 0)
        return -1;
    std::memset(table, 0, sizeof(tagHIDSOURCE) * static_cast<std::size_t>(capacity));
    CQVXmlDocument doc = OpenXmlFile(path, nullptr, 0, L"HidSourceTable");
    if (!doc)
        return -1;
    CQVXmlNodeList sources = SelectNodes(doc.Get(), L"HidSourceTable/HidSource");
    long count = 0;
    if (!sources || FAILED(sources->get_length(&count)))
        return -1;
    int loaded = 0;
    for (long i = 0; i < count && loaded < capacity; ++i) {
        CQVXmlNode node;
        CQVXmlElement element;
        if (FAILED(sources->get_item(i, node.Put())) || !node ||
            FAILED(node->QueryInterface(IID_IXMLDOMElement, element.PutVoid())))
            continue;
        tagHIDSOURCE& record = table[loaded++];
        record.nHidType = GetPropInt(element.Get(), L"HidType", -1);
        record.wVid = static_cast<std::uint16_t>(GetPropInt(element.Get(), L"Vid", -1));
        record.wPid = static_cast<std::uint16_t>(GetPropInt(element.Get(), L"Pid", -1));
        record.nRcType = GetPropInt(element.Get(), L"RcType", -1);
        const int timeout = GetPropInt(element.Get(), L"Timeout", -1);
        record.dwTimeout = timeout < 0 ? kDefaultTimeoutMs : static_cast<std::uint32_t>(timeout);
        record.wUsagePage = static_cast<std::uint16_t>(GetPropInt(element.Get(), L"UsagePage", -1));
        GetPropString(element.Get(), L"Name", record.szName, HIDSOURCE_NAME_CHARS + 1);
    }
    return loaded;
}
