#pragma once
// CSrcHidXmlParser: reads the HID device table "SrcHid.xml": a root
// "HidSourceTable" with one "HidSource" element per device kind.
//
// Windows-only.

#include "receivers/HidReport.h"
#include "support/QVXml.h"

class CSrcHidXmlParser : public CQVXml {
public:
    // Fills table (zeroed first) with at most capacity records in file order.
    // The number of records, or -1 when the file cannot be opened, has no
    // root "HidSourceTable", or its "HidSource" elements cannot be read.
    int LoadTable(const wchar_t* path, tagHIDSOURCE* table, int capacity);
};
