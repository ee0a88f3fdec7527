#include "commands/VolumeControl.h"

#include "support/ComApartment.h"
#include "support/QVDebug.h"
#include "support/QVSystemInfo.h"
#include "support/ScopedWin.h"

#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <mmsystem.h>

namespace {

class CEndpointVolume : public IVolumeEndpoint {
public:
    CEndpointVolume() {
        CQVComPtr<IMMDeviceEnumerator> devices;
        HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                      __uuidof(IMMDeviceEnumerator), devices.PutVoid());
        CQVComPtr<IMMDevice> device;
        if (SUCCEEDED(hr))
            hr = devices->GetDefaultAudioEndpoint(eRender, eConsole, device.Put());
        if (SUCCEEDED(hr))
            hr = device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_ALL, nullptr, m_volume.PutVoid());
        if (FAILED(hr))
            TracePrint(QVL_ERR, QVC_COMMAND, L"%ls() FAILED with hr = 0x%08X\n", L"CEndpointVolume",
                       static_cast<unsigned>(hr));
    }
    bool IsValid() const { return static_cast<bool>(m_volume); }
    HRESULT GetLevel(float* level) override { return m_volume->GetMasterVolumeLevelScalar(level); }
    HRESULT SetLevel(float level) override { return m_volume->SetMasterVolumeLevelScalar(level, nullptr); }
    HRESULT GetMute(BOOL* mute) override { return m_volume->GetMute(mute); }
    HRESULT SetMute(BOOL mute) override { return m_volume->SetMute(mute, nullptr); }

private:
    CQVComApartment m_com;  // first member: outlives the interface below
    CQVComPtr<IAudioEndpointVolume> m_volume;
};

// The mixer handle of the default wave-out device.
struct CMixerTraits {
    using Handle = HMIXER;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { mixerClose(h); }
};

class CLegacyMixer : public IVolumeMixer {
public:
    CLegacyMixer() {
        WAVEFORMATEX format = {};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 2;
        format.nSamplesPerSec = 48000;
        format.wBitsPerSample = 16;
        format.nBlockAlign = 4;
        format.nAvgBytesPerSec = 48000 * 4;
        HWAVEOUT wave = nullptr;
        if (waveOutOpen(&wave, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
            return;
        UINT mixerId = 0;
        const MMRESULT idResult =
            mixerGetID(reinterpret_cast<HMIXEROBJ>(wave), &mixerId, MIXER_OBJECTF_HWAVEOUT);
        waveOutClose(wave);
        if (idResult != MMSYSERR_NOERROR)
            return;
        if (mixerOpen(m_mixer.Put(), mixerId, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR)
            return;
        m_line.cbStruct = sizeof(m_line);
        m_line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
        m_hasLine = mixerGetLineInfoW(Object(), &m_line, MIXER_GETLINEINFOF_COMPONENTTYPE) == MMSYSERR_NOERROR;
    }
    bool IsValid() const { return m_hasLine; }

    int GetChannelCount() override { return static_cast<int>(m_line.cChannels ? m_line.cChannels : 1); }

    BOOL GetControl(VolumeMixerControl control, int channels, std::vector<DWORD>* values, DWORD* minimum,
                    DWORD* maximum) override {
        MIXERCONTROLW info;
        if (!FindControl(control, &info) || channels < 1)
            return FALSE;
        std::vector<MIXERCONTROLDETAILS_UNSIGNED> data(channels);
        MIXERCONTROLDETAILS details = Details(info, channels, data.data());
        if (mixerGetControlDetailsW(Object(), &details, MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
            return FALSE;
        values->clear();
        for (const auto& value : data)
            values->push_back(value.dwValue);
        *minimum = info.Bounds.dwMinimum;
        *maximum = info.Bounds.dwMaximum;
        return TRUE;
    }

    BOOL SetControl(VolumeMixerControl control, const std::vector<DWORD>& values) override {
        MIXERCONTROLW info;
        if (!FindControl(control, &info) || values.empty())
            return FALSE;
        std::vector<MIXERCONTROLDETAILS_UNSIGNED> data(values.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            data[i].dwValue = values[i];
        MIXERCONTROLDETAILS details = Details(info, static_cast<int>(values.size()), data.data());
        return mixerSetControlDetails(Object(), &details, MIXER_SETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
    }

private:
    HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(m_mixer.Get()); }

    BOOL FindControl(VolumeMixerControl control, MIXERCONTROLW* info) {
        ZeroMemory(info, sizeof(*info));
        info->cbStruct = sizeof(*info);
        MIXERLINECONTROLSW controls = {};
        controls.cbStruct = sizeof(controls);
        controls.dwLineID = m_line.dwLineID;
        controls.dwControlType =
            control == VolumeMixerControl::Mute ? MIXERCONTROL_CONTROLTYPE_MUTE : MIXERCONTROL_CONTROLTYPE_VOLUME;
        controls.cControls = 1;
        controls.cbmxctrl = sizeof(*info);
        controls.pamxctrl = info;
        return mixerGetLineControlsW(Object(), &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE) == MMSYSERR_NOERROR;
    }

    static MIXERCONTROLDETAILS Details(const MIXERCONTROLW& info, int channels, MIXERCONTROLDETAILS_UNSIGNED* data) {
        MIXERCONTROLDETAILS details = {};
        details.cbStruct = sizeof(details);
        details.dwControlID = info.dwControlID;
        details.cChannels = static_cast<DWORD>(channels);
        details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
        details.paDetails = data;
        return details;
    }

    CQVScoped<CMixerTraits> m_mixer;
    MIXERLINEW m_line = {};
    bool m_hasLine = false;
};

}  // namespace

bool CSystemVolume::UseEndpoint() {
    return CQVSystemInfo::IsVistaOrLater() != FALSE;
}

std::unique_ptr<IVolumeEndpoint> CSystemVolume::OpenEndpoint() {
    auto endpoint = std::make_unique<CEndpointVolume>();
    if (!endpoint->IsValid())
        return nullptr;
    return endpoint;
}

std::unique_ptr<IVolumeMixer> CSystemVolume::OpenMixer() {
    auto mixer = std::make_unique<CLegacyMixer>();
    if (!mixer->IsValid())
        return nullptr;
    return mixer;
}
