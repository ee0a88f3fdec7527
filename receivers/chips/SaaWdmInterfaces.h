#pragma once
// The chip vendor's COM interfaces of the SAA713x WDM driver, as far as the
// receiver uses them: the device enumerator, a device with its subsystem ids,
// driver events and event sinks, and the device's GPIO pins.
//
// Windows-only.

#include <windows.h>
#include <unknwn.h>

extern const CLSID kClsidSaaDeviceEnumerator;
extern const IID kIidSaaDeviceEnumerator;
extern const IID kIidSaaDevice;
extern const IID kIidSaaEventSink;
extern const IID kIidSaaGpio;
extern const IID kIidSaaGpioSecond;

struct ISaaDeviceEnumerator : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetDeviceCount(ULONG* count) = 0;
    // The index-th device (0-based); the caller releases it.
    virtual HRESULT STDMETHODCALLTYPE GetDevice(ULONG index, IUnknown** device) = 0;
};

// Implemented by the receiver; the driver calls it on a thread of its own.
struct ISaaEventSink : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OnEvent(ULONG event) = 0;
};

struct ISaaDevice : public IUnknown {
    // PCI subsystem vendor and subsystem id of the card.
    virtual HRESULT STDMETHODCALLTYPE GetSubsystem(WORD* vendor, WORD* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE EnableEvent(ULONG event, BOOL enable) = 0;
    virtual HRESULT STDMETHODCALLTYPE Advise(ISaaEventSink* sink, DWORD* cookie) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) = 0;
};

struct ISaaGpio : public IUnknown {
    // The level of one pin, 0 or 1.
    virtual HRESULT STDMETHODCALLTYPE ReadPin(ULONG pin, ULONG* level) = 0;
};
