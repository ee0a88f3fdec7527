#pragma once
// Which Kanzo key a LIRC button is: entries for one remote come before
// entries for every remote ("*"), and the built-in names of the common
// remotes (the Linux input names KEY_POWER, KEY_1, KEY_VOLUMEUP, KEY_OK ...)
// come last unless the map file turns them off. Names compare without regard
// to case, as users type them either way.
//
// Pure logic: no Windows header, so it builds natively as well.

#include <string>
#include <vector>

class CLircKeyMap {
public:
    static constexpr const char* kAnyRemote = "*";

    // remote "*" (or empty): every remote. False for a key id that is no
    // remote-control key.
    bool Add(const std::string& remote, const std::string& button, int keyId);
    void SetUseDefaults(bool use) { m_useDefaults = use; }
    void Clear();

    // KEYID_NONE when the button is not mapped.
    int Find(const std::string& remote, const std::string& button) const;
    std::size_t Size() const { return m_entries.size(); }

private:
    struct tagENTRY {
        std::string szRemote;  // lower case; "*" for every remote
        std::string szButton;  // lower case
        int nKeyId;
    };
    std::vector<tagENTRY> m_entries;
    bool m_useDefaults = true;
};

// A key id from the map file's text: a number ("184") or an English key name
// ("OK", "Programme 5"); KEYID_NONE when it is neither.
int LircKeyIdFromText(const std::wstring& text);

// Remote-control key ids travel through the 8-bit code path of the receivers
// as id - 128 (12 to 196: never the repeat or idle code). MIDI notes are no
// remote-control keys.
constexpr int LIRC_CODE_OFFSET = 128;
bool IsLircMappableKey(int keyId);
