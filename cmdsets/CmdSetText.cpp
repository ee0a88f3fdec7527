#include "cmdsets/CmdSetText.h"

#include <mutex>
#include <unordered_map>

namespace {

struct TextSource {
    std::mutex lock;
    CmdSetStringLookup english;
    CmdSetStringLookup ui;
};

TextSource& Source() {
    static TextSource source;
    return source;
}

}  // namespace

void SetCmdSetStringSource(CmdSetStringLookup english, CmdSetStringLookup ui) {
    TextSource& source = Source();
    std::lock_guard<std::mutex> guard(source.lock);
    source.english = std::move(english);
    source.ui = std::move(ui);
}

std::wstring GetCmdSetString(unsigned stringId, bool fEnglish) {
    CmdSetStringLookup lookup;
    {
        TextSource& source = Source();
        std::lock_guard<std::mutex> guard(source.lock);
        lookup = fEnglish ? source.english : source.ui;
    }
    if (lookup)
        return lookup(stringId);
    return GetFallbackEnglishString(stringId);
}

std::wstring GetFallbackEnglishString(unsigned stringId) {
    // The English resource texts of the ids used by the key names, the
    // command-type labels and the built-in sets.
    static const std::unordered_map<unsigned, const wchar_t*> texts = {
        {1, L"&OK"},
        {4405, L"Control"},
        {4420, L"Keyboard shortcut"},
        {4450, L"On Screen Display"},
        {4452, L"Power"},
        {4460, L"System command"},
        {4461, L"Application"},
        {4462, L"Time"},
        {4500, L"FREW"},
        {4501, L"FFRWD"},
        {4502, L"Next Program"},
        {4503, L"Previous Program"},
        {53312, L"Back"},
        {53313, L"Blue"},
        {53382, L"Close"},
        {53441, L"Delete"},
        {53454, L"Down"},
        {53579, L"Full screen"},
        {53633, L"Green"},
        {53889, L"Left"},
        {53953, L"Menu"},
        {54019, L"Next"},
        {54149, L"Pause"},
        {54151, L"Play"},
        {54152, L"Playback"},
        {54159, L"Previous"},
        {54274, L"Recording"},
        {54276, L"Red"},
        {54287, L"Right"},
        {54359, L"Stop"},
        {54402, L"Timer"},
        {54467, L"Up"},
        {54593, L"Window"},
        {54720, L"Yellow"},
        {55040, L"Backspace"},
        {55041, L"Tab"},
        {55043, L"Return"},
        {55051, L"Page Up"},
        {55052, L"Page Down"},
        {55055, L"Arrow left"},
        {55056, L"Arrow up"},
        {55057, L"Arrow right"},
        {55058, L"Arrow down"},
        {55061, L"Del"},
        {55810, L"Audio"},
        {56020, L"Mute"},
        {56048, L"Page"},
        {56052, L"Programme"},
        {56106, L"Still image"},
        {56115, L"Teletext"},
        {56121, L"Transparent"},
        {56144, L"Video"},
        {56150, L"Volume"},
    };
    auto it = texts.find(stringId);
    return it == texts.end() ? std::wstring() : std::wstring(it->second);
}
