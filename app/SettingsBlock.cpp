#include "app/SettingsBlock.h"

void SettingsDefaults(tagSETTINGS& settings) {
    settings = tagSETTINGS{};
    settings.autostart = 1;
    settings.osdOn = 1;
    settings.osdUseGradient = 1;
    settings.osdTextColor = 0x00F0CAA6;
    settings.osdBackColor = 0x00A56E3A;
    settings.osdGradientColor = 0;
    settings.osdTime = 2;
    settings.receiverSelection = 0xFFFFFFFE;  // every receiver but the MIDI input
    settings.disableKey0 = 0;
    settings.midiDevice[0] = L'\0';
    SettingsCopyText(settings.lircHost, L"127.0.0.1");
    settings.lircPort = 8765;
}

tagOSDSETTINGS OsdSettingsOf(const tagSETTINGS& settings) {
    tagOSDSETTINGS osd;
    osd.osdOn = static_cast<std::int32_t>(settings.osdOn);
    osd.osdTime = static_cast<std::int32_t>(settings.osdTime);
    osd.osdTextColor = settings.osdTextColor;
    osd.osdBackColor = settings.osdBackColor;
    osd.osdGradientColor = settings.osdGradientColor;
    osd.osdUseGradient = static_cast<std::int32_t>(settings.osdUseGradient);
    return osd;
}

void SetOsdSettings(tagSETTINGS& settings, const tagOSDSETTINGS& osd) {
    settings.osdOn = static_cast<std::uint32_t>(osd.osdOn);
    settings.osdTime = static_cast<std::uint32_t>(osd.osdTime);
    settings.osdTextColor = osd.osdTextColor;
    settings.osdBackColor = osd.osdBackColor;
    settings.osdGradientColor = osd.osdGradientColor;
    settings.osdUseGradient = static_cast<std::uint32_t>(osd.osdUseGradient);
}

const tagSETTINGSDWORD g_settingsDwords[13] = {
    {L"Autostart", nullptr, &tagSETTINGS::autostart, true},
    {L"Disable sound", nullptr, &tagSETTINGS::disableSound, true},
    {L"Hidden", nullptr, &tagSETTINGS::hidden, true},
    {L"Exclusive", nullptr, &tagSETTINGS::exclusive, true},
    {L"OSD On", L"OSD", &tagSETTINGS::osdOn, false},
    {L"OSD Time", L"OSD", &tagSETTINGS::osdTime, false},
    {L"OSD Text Color", L"OSD", &tagSETTINGS::osdTextColor, false},
    {L"OSD Background Color", L"OSD", &tagSETTINGS::osdBackColor, false},
    {L"OSD Gradient Color", L"OSD", &tagSETTINGS::osdGradientColor, false},
    {L"OSD Use Gradient", L"OSD", &tagSETTINGS::osdUseGradient, false},
    {L"Selection", L"RC", &tagSETTINGS::receiverSelection, false},
    {L"Tavora: Disable Key 0", L"RC", &tagSETTINGS::disableKey0, false},
    {L"LIRC Port", L"RC", &tagSETTINGS::lircPort, false},
};
