// volume_probe.exe: reads the master volume through the real endpoint and
// mixer paths and prints what it found, one "name=value" line each. The audio
// suite runs it with an ALSA null device in its environment; it never writes
// a volume other than the one it read.

#include "commands/VolumeControl.h"

#include <mmsystem.h>

#include <cstdio>

int wmain() {
    CSystemVolume system;
    std::printf("waveout=%u\n", waveOutGetNumDevs());
    std::printf("use_endpoint=%d\n", system.UseEndpoint() ? 1 : 0);

    std::unique_ptr<IVolumeEndpoint> endpoint = system.OpenEndpoint();
    std::printf("endpoint=%d\n", endpoint ? 1 : 0);
    if (endpoint) {
        float level = -1.0f;
        BOOL mute = 2;
        const HRESULT levelHr = endpoint->GetLevel(&level);
        const HRESULT muteHr = endpoint->GetMute(&mute);
        std::printf("endpoint_level_hr=0x%08lX\nendpoint_level=%.4f\n", static_cast<unsigned long>(levelHr), level);
        std::printf("endpoint_mute_hr=0x%08lX\nendpoint_mute=%d\n", static_cast<unsigned long>(muteHr), mute);
        // Writing the level just read back shows whether writes are possible here.
        if (SUCCEEDED(levelHr))
            std::printf("endpoint_set_hr=0x%08lX\n", static_cast<unsigned long>(endpoint->SetLevel(level)));
    }

    std::unique_ptr<IVolumeMixer> mixer = system.OpenMixer();
    std::printf("mixer=%d\n", mixer ? 1 : 0);
    if (mixer) {
        std::vector<DWORD> values;
        DWORD minimum = 0, maximum = 0;
        const int channels = mixer->GetChannelCount();
        std::printf("mixer_channels=%d\n", channels);
        BOOL ok = mixer->GetControl(VolumeMixerControl::Volume, channels, &values, &minimum, &maximum);
        if (!ok)
            ok = mixer->GetControl(VolumeMixerControl::Volume, 1, &values, &minimum, &maximum);
        std::printf("mixer_volume_read=%d\nmixer_min=%lu\nmixer_max=%lu\n", ok, minimum, maximum);
        for (std::size_t i = 0; i < values.size(); ++i)
            std::printf("mixer_volume_%u=%lu\n", static_cast<unsigned>(i), values[i]);
    }
    return 0;
}
