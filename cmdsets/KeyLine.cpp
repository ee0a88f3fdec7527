#include "cmdsets/KeyLine.h"

#include <climits>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "receivers/RcKeys.h"

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::vector<std::wstring> SplitCommas(const std::wstring& value) {
    std::vector<std::wstring> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = value.find(L',', start);
        if (comma == std::wstring::npos) {
            fields.push_back(value.substr(start));
            return fields;
        }
        fields.push_back(value.substr(start, comma - start));
        start = comma + 1;
    }
}

// Field 8 and 9 rule: trim blanks, drop quotes, first blank-delimited word,
// "_" back to blank.
std::wstring DecodeTextField(const std::wstring& field, bool upperCase) {
    std::wstring noQuotes;
    for (wchar_t c : field)
        if (c != L'"')
            noQuotes += c;
    std::size_t first = 0;
    while (first < noQuotes.size() && IsBlank(noQuotes[first]))
        ++first;
    std::size_t last = first;
    while (last < noQuotes.size() && !IsBlank(noQuotes[last]))
        ++last;
    std::wstring word;
    for (std::size_t i = first; i < last; ++i) {
        wchar_t c = noQuotes[i];
        if (c == L',')
            continue;
        if (c == L'_')
            c = L' ';
        else if (upperCase)
            c = static_cast<wchar_t>(std::towupper(c));
        word += c;
    }
    return word;
}

void ParseTexts(const std::vector<std::wstring>& fields, std::size_t textIndex, tagWINCMD& cmd) {
    if (fields.size() > textIndex) {
        std::wstring text = DecodeTextField(fields[textIndex], false);
        if (!text.empty())
            CopyFixedText(cmd.szText, WINCMD_TEXT_LEN, text.c_str());
    }
    // The caption counts only when a comma follows it.
    if (fields.size() > textIndex + 2) {
        std::wstring caption = DecodeTextField(fields[textIndex + 1], true);
        if (!caption.empty())
            CopyFixedText(cmd.szWindowCaption, WINCMD_TEXT_LEN, caption.c_str());
    }
}

}  // namespace

bool ReadProfileInt(const std::wstring& field, std::int32_t& out) {
    std::size_t i = 0;
    while (i < field.size() && std::iswspace(field[i]))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == L'-' || field[i] == L'+'))
        negative = field[i++] == L'-';
    if (i >= field.size() || field[i] < L'0' || field[i] > L'9')
        return false;
    long long value = 0;
    for (; i < field.size() && field[i] >= L'0' && field[i] <= L'9'; ++i) {
        value = value * 10 + (field[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    out = static_cast<std::int32_t>(value);
    return true;
}

namespace {

// What survives between the quotes: no comma, quote or control character;
// blanks become "_" where the reader turns "_" back into blanks.
std::wstring CleanLineText(const wchar_t* text, bool underscoreBlanks) {
    std::wstring out;
    for (const wchar_t* p = text; p && *p; ++p) {
        wchar_t c = *p;
        if (c == L',' || c == L'"' || c < 0x20)
            continue;
        out += (underscoreBlanks && c == L' ') ? L'_' : c;
    }
    return out;
}

}  // namespace

std::wstring EncodeLineText(const wchar_t* text) { return CleanLineText(text, true); }

std::wstring FormatKeyLine(int keyId, const tagWINCMD& cmd, const wchar_t* englishKeyName) {
    const int repeat = (keyId == KEYID_POWER || keyId == KEYID_MENU) ? 0 : cmd.fRepeat;
    wchar_t numbers[160];
    std::swprintf(numbers, sizeof numbers / sizeof numbers[0], L"%3d,%3d,%5d,%3d,%3d,%3d,%3d,", cmd.nType,
                  cmd.nSubType, cmd.nValue, cmd.nParam, repeat, cmd.nRepeatDelay, cmd.nRepeatInterval);
    std::wstring line = numbers;
    line += L'"' + EncodeLineText(cmd.szText) + L"\",\"";
    line += EncodeLineText(cmd.szWindowCaption) + L"\",\"";
    // The key name is informative and never read; it keeps its blanks, but
    // commas, quotes and control characters go so it cannot break the line.
    line += CleanLineText(englishKeyName, false) + L'"';
    return line;
}

tagWINCMD ParseKeyLine(const std::wstring& value) {
    tagWINCMD cmd;
    const std::vector<std::wstring> fields = SplitCommas(value);
    std::int32_t* targets[7] = {&cmd.nType,   &cmd.nSubType,     &cmd.nValue,         &cmd.nParam,
                                &cmd.fRepeat, &cmd.nRepeatDelay, &cmd.nRepeatInterval};
    for (std::size_t i = 0; i < 7 && i < fields.size(); ++i)
        if (!ReadProfileInt(fields[i], *targets[i]))
            break;
    ParseTexts(fields, 7, cmd);
    return cmd;
}

tagWINCMD ParseLayout3KeyLine(const std::wstring& value) {
    tagWINCMD cmd;
    const std::vector<std::wstring> fields = SplitCommas(value);
    std::int32_t* targets[4] = {&cmd.nType, &cmd.nSubType, &cmd.nValue, &cmd.nParam};
    for (std::size_t i = 0; i < 4 && i < fields.size(); ++i)
        if (!ReadProfileInt(fields[i], *targets[i]))
            break;
    ParseTexts(fields, 4, cmd);
    return cmd;
}

std::wstring TrimProfileValue(const std::wstring& text) {
    auto trimmed = [](wchar_t c) { return c == L' ' || c == L'\t' || c == L'"'; };
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && trimmed(text[first]))
        ++first;
    while (last > first && trimmed(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::wstring RemoveBlanks(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text)
        if (!IsBlank(c))
            out += c;
    return out;
}

void CSectionEntries::Parse(const wchar_t* text, std::size_t length) {
    m_entries.clear();
    if (!text)
        return;
    std::size_t pos = 0;
    int count = 0;
    while (pos < length && text[pos] != L'\0' && count < MAX_ENTRIES) {
        std::size_t end = pos;
        while (end < length && text[end] != L'\0')
            ++end;
        std::wstring line(text + pos, end - pos);
        pos = end + 1;
        ++count;
        std::size_t equals = line.find(L'=');
        if (equals == std::wstring::npos)
            continue;
        std::wstring name = TrimProfileValue(line.substr(0, equals));
        if (name.empty() || name.size() > static_cast<std::size_t>(MAX_NAME_CHARS))
            continue;
        m_entries.emplace(name, TrimProfileValue(line.substr(equals + 1)));
    }
}

bool CSectionEntries::Find(int keyId, std::wstring& value) const {
    auto it = m_entries.find(std::to_wstring(keyId));
    if (it == m_entries.end())
        return false;
    value = it->second;
    return true;
}

int RenumberLegacyKey(int k) {
    if (k >= 128 && k <= 137)
        return KEYID_PROG_0 + (k - 128);
    if (k >= 209 && k <= 217)
        return KEYID_PROG_1 + (k - 209);
    if (k >= 225 && k <= 230) {
        static const int tail[] = {KEYID_PAUSE, KEYID_PREVIOUS, KEYID_PLAY, KEYID_NEXT, KEYID_STOP, KEYID_RECORD};
        return tail[k - 225];
    }
    switch (k) {
    case 138: return KEYID_POWER;
    case 139: return KEYID_MENU;
    case 140: return KEYID_FULLSCREEN;
    case 141: return KEYID_PROG_PLUS;
    case 142: return KEYID_PROG_MINUS;
    case 143: return KEYID_VOLUME_PLUS;
    case 144: return KEYID_VOLUME_MINUS;
    case 145: return KEYID_AV;
    case 146: return KEYID_DIGITS;
    case 147: return KEYID_AUDIO;
    case 148: return KEYID_MUTE;
    case 149: return KEYID_UP;
    case 150: return KEYID_DOWN;
    case 151: return KEYID_LEFT;
    case 152: return KEYID_RIGHT;
    case 153: return KEYID_OK2;
    case 154: return KEYID_BACK2;
    case 155: return KEYID_TELETEXT;
    case 156: return KEYID_FREW;
    case 157: return KEYID_FFWD;
    case 158: return KEYID_RECORD;
    case 159: return KEYID_PLAY;
    case 160: return KEYID_PREVIOUS;
    case 161: return KEYID_NEXT;
    case 162: return KEYID_PAUSE;
    case 163: return KEYID_STOP;
    case 205: return KEYID_MOSAIC;
    case 206: return KEYID_AV;
    case 207: return KEYID_MUTE;
    case 208: return KEYID_POWER;
    case 218: return KEYID_PROG_0;
    case 219: return KEYID_MENU;
    case 220: return KEYID_STILL_IMAGE;
    case 221: return KEYID_PROG_PLUS;
    case 222: return KEYID_PROG_MINUS;
    case 223: return KEYID_VOLUME_PLUS;
    case 224: return KEYID_VOLUME_MINUS;
    case 231: return KEYID_BACK;
    case 232: return KEYID_FULLSCREEN;
    default: return KEYID_NONE;
    }
}

bool IsWellFormedKeyLine(const std::wstring& value) {
    std::size_t i = 0;
    const std::size_t n = value.size();
    auto skipBlanks = [&] {
        while (i < n && (value[i] == L' ' || value[i] == L'\t'))
            ++i;
    };
    for (int field = 0; field < 7; ++field) {
        skipBlanks();
        if (i < n && value[i] == L'-')
            ++i;
        std::size_t digits = i;
        while (i < n && value[i] >= L'0' && value[i] <= L'9')
            ++i;
        if (i == digits || i - digits > 10)
            return false;
        skipBlanks();
        if (i >= n || value[i] != L',')
            return false;
        ++i;
    }
    for (int field = 0; field < 3; ++field) {
        if (field > 0) {
            if (i >= n || value[i] != L',')
                return false;
            ++i;
        }
        if (i >= n || value[i] != L'"')
            return false;
        std::size_t close = value.find(L'"', i + 1);
        if (close == std::wstring::npos)
            return false;
        for (std::size_t k = i + 1; k < close; ++k)
            if (value[k] == L',' || value[k] < L' ')
                return false;
        i = close + 1;
    }
    return i == n;
}
