#include "receivers/LircLine.h"

#include <vector>

namespace {

constexpr std::size_t kShownBytes = 40;  // of a refused line, in the trace

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool ParseHex(const std::string& text, std::size_t maxDigits, std::uint64_t& value) {
    if (text.empty() || text.size() > maxDigits)
        return false;
    std::uint64_t result = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        result = result << 4 | digit;
    }
    value = result;
    return true;
}

bool IsName(const std::string& text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    return !text.empty();
}

std::string Printable(const std::string& text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size() && i < kShownBytes; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        shown += byte >= 0x20 && byte < 0x7F ? text[i] : '?';
    }
    return shown;
}

}  // namespace

bool ParseLircLine(const std::string& line, tagLIRCEVENT& event) {
    std::vector<std::string> fields;
    for (std::size_t at = 0; at < line.size();) {
        if (IsBlank(line[at])) {
            ++at;
            continue;
        }
        if (fields.size() == 4)
            return false;
        std::size_t end = at;
        while (end < line.size() && !IsBlank(line[end]))
            ++end;
        fields.push_back(line.substr(at, end - at));
        at = end;
    }
    std::uint64_t code = 0;
    std::uint64_t repeat = 0;
    if (fields.size() != 4 || !ParseHex(fields[0], 16, code) || !ParseHex(fields[1], 8, repeat) ||
        !IsName(fields[2]) || !IsName(fields[3]))
        return false;
    event.nCode = code;
    event.nRepeat = static_cast<std::uint32_t>(repeat);
    event.szButton = fields[2];
    event.szRemote = fields[3];
    return true;
}

void CLircLineReader::Reset() {
    m_line.clear();
    m_inReply = false;
    m_replyLines = 0;
    m_overlong = false;
}

void CLircLineReader::Feed(const char* data, std::size_t size, ISink& sink) {
    for (std::size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\n') {
            EndLine(sink);
        } else if (!m_overlong) {
            m_line += c;
            if (m_line.size() > kMaxLineBytes) {
                sink.OnLircRefused(Printable(m_line));
                m_line.clear();
                m_overlong = true;
            }
        }
    }
}

void CLircLineReader::EndLine(ISink& sink) {
    std::string line;
    line.swap(m_line);
    if (m_overlong) {
        m_overlong = false;
        return;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.empty())
        return;
    // Reply blocks answer commands and announce a server's reload: no keys.
    if (m_inReply) {
        if (line == "END" || ++m_replyLines > kMaxReplyLines) {
            m_inReply = false;
            m_replyLines = 0;
            if (line == "END")
                return;
            sink.OnLircRefused("BEGIN without END");
        } else {
            return;
        }
    }
    if (line == "BEGIN") {
        m_inReply = true;
        return;
    }
    tagLIRCEVENT event;
    if (ParseLircLine(line, event))
        sink.OnLircEvent(event);
    else
        sink.OnLircRefused(Printable(line));
}

std::uint32_t CLircBackoff::Next() {
    const std::uint32_t pause = m_nextMs;
    m_nextMs = m_nextMs >= kCapMs / 2 ? kCapMs : m_nextMs * 2;
    return pause;
}
