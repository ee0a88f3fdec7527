#include "app/CommandLine.h"

#include <cwctype>

namespace {

const wchar_t kReplayOption[] = L"-replay:";

// Takes the replay option out of the line, so that a file name such as
// "my-capture.txt" is not read as "-C".
std::wstring TakeReplayFile(std::wstring& line) {
    const std::size_t start = line.find(kReplayOption);
    if (start == std::wstring::npos)
        return std::wstring();
    std::size_t pos = start + (sizeof kReplayOption / sizeof kReplayOption[0]) - 1;
    std::size_t end;
    std::wstring file;
    if (pos < line.size() && line[pos] == L'"') {
        end = line.find(L'"', pos + 1);
        file = line.substr(pos + 1, end == std::wstring::npos ? std::wstring::npos : end - pos - 1);
        end = end == std::wstring::npos ? line.size() : end + 1;
    } else {
        end = pos;
        while (end < line.size() && !std::iswspace(line[end]))
            ++end;
        file = line.substr(pos, end - pos);
    }
    line.erase(start, end - start);
    return file;
}

}  // namespace

tagCOMMANDLINE ParseCommandLine(const std::wstring& given) {
    tagCOMMANDLINE result;
    std::wstring line = given;
    result.szReplayFile = TakeReplayFile(line);

    std::wstring upper = line;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    for (const wchar_t* option : {L"-C", L"-EDIT", L"-SHOW"}) {
        if (upper.find(option) != std::wstring::npos)
            result.fStartHidden = false;
    }

    // The channel option as given: lower-case letters only.
    const std::size_t midi = line.find(L"-midi:");
    if (midi != std::wstring::npos && midi + 6 < line.size()) {
        const wchar_t digit = line[midi + 6];
        if (digit >= L'0' && digit <= L'9')
            result.nMidiChannel = static_cast<std::uint8_t>(digit - L'0');
        else if (digit >= L'a' && digit <= L'f')
            result.nMidiChannel = static_cast<std::uint8_t>(digit - L'a' + 10);
    }
    return result;
}
