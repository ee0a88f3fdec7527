#pragma once
// The master volume behind small interfaces: the endpoint volume of the
// default render device (Vista and later) and the speaker line of the default
// wave-out device's mixer (older systems). The program uses CSystemVolume;
// tests substitute recording fakes, since audio writes do not exist here.

#include <windows.h>

#include <memory>
#include <vector>

class IVolumeEndpoint {
public:
    virtual ~IVolumeEndpoint() = default;
    virtual HRESULT GetLevel(float* level) = 0;  // scalar 0.0 to 1.0
    virtual HRESULT SetLevel(float level) = 0;
    virtual HRESULT GetMute(BOOL* mute) = 0;
    virtual HRESULT SetMute(BOOL mute) = 0;
};

enum class VolumeMixerControl { Mute, Volume };

class IVolumeMixer {
public:
    virtual ~IVolumeMixer() = default;
    // Channels of the speaker destination line.
    virtual int GetChannelCount() = 0;
    // The control's value per channel (channels 1 = one uniform value) and its range.
    virtual BOOL GetControl(VolumeMixerControl control, int channels, std::vector<DWORD>* values, DWORD* minimum,
                            DWORD* maximum) = 0;
    virtual BOOL SetControl(VolumeMixerControl control, const std::vector<DWORD>& values) = 0;
};

class IVolumeSystem {
public:
    virtual ~IVolumeSystem() = default;
    // True on systems with the endpoint interfaces.
    virtual bool UseEndpoint() = 0;
    // Null when there is no default device.
    virtual std::unique_ptr<IVolumeEndpoint> OpenEndpoint() = 0;
    virtual std::unique_ptr<IVolumeMixer> OpenMixer() = 0;
};

class CSystemVolume : public IVolumeSystem {
public:
    bool UseEndpoint() override;
    // COM is initialised for the lifetime of the returned object.
    std::unique_ptr<IVolumeEndpoint> OpenEndpoint() override;
    // The wave mapper opened with 48 kHz 16-bit stereo PCM names the mixer.
    std::unique_ptr<IVolumeMixer> OpenMixer() override;
};
