#include "tests/commands/WinCommandsFakes.h"

#include <algorithm>

namespace cmdtest {

namespace {

class CFakeEndpoint : public IVolumeEndpoint {
public:
    explicit CFakeEndpoint(tagFAKE_VOLUME& state) : m_state(state) {}
    HRESULT GetLevel(float* level) override {
        *level = m_state.level;
        return S_OK;
    }
    HRESULT SetLevel(float level) override {
        ++m_state.levelWrites;
        if (SUCCEEDED(m_state.setResult))
            m_state.level = level;
        return m_state.setResult;
    }
    HRESULT GetMute(BOOL* mute) override {
        *mute = m_state.mute;
        return S_OK;
    }
    HRESULT SetMute(BOOL mute) override {
        ++m_state.muteWrites;
        if (SUCCEEDED(m_state.setResult))
            m_state.mute = mute;
        return m_state.setResult;
    }

private:
    tagFAKE_VOLUME& m_state;
};

class CFakeMixer : public IVolumeMixer {
public:
    explicit CFakeMixer(tagFAKE_VOLUME& state) : m_state(state) {}
    int GetChannelCount() override { return m_state.channels; }
    BOOL GetControl(VolumeMixerControl control, int channels, std::vector<DWORD>* values, DWORD* minimum,
                    DWORD* maximum) override {
        if (channels != 1 && !m_state.perChannelReads)
            return FALSE;
        const std::vector<DWORD>& held = control == VolumeMixerControl::Mute ? m_state.mixerMute : m_state.mixerVolume;
        values->assign(held.begin(), held.begin() + std::min<std::size_t>(held.size(), channels));
        *minimum = control == VolumeMixerControl::Mute ? 0 : m_state.mixerMin;
        *maximum = control == VolumeMixerControl::Mute ? 1 : m_state.mixerMax;
        return TRUE;
    }
    BOOL SetControl(VolumeMixerControl control, const std::vector<DWORD>& values) override {
        ++m_state.mixerWrites;
        (control == VolumeMixerControl::Mute ? m_state.mixerMute : m_state.mixerVolume) = values;
        return TRUE;
    }

private:
    tagFAKE_VOLUME& m_state;
};

}  // namespace

std::unique_ptr<IVolumeEndpoint> CFakeVolume::OpenEndpoint() {
    if (!state.hasDevice)
        return nullptr;
    return std::make_unique<CFakeEndpoint>(state);
}

std::unique_ptr<IVolumeMixer> CFakeVolume::OpenMixer() {
    if (!state.hasDevice)
        return nullptr;
    return std::make_unique<CFakeMixer>(state);
}

}  // namespace cmdtest
