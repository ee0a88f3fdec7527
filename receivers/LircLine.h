#pragma once
// The line protocol of a LIRC (or WinLIRC) server: "<code hex> <repeat hex>
// <button> <remote>" per key frame, and "BEGIN ... END" reply blocks. The
// reader cuts a byte stream into lines and refuses what cannot be one; the
// back-off says how long to wait before the next connection attempt.
//
// Pure logic: no Windows header, so it builds natively as well.

#include <cstddef>
#include <cstdint>
#include <string>

struct tagLIRCEVENT {
    std::uint64_t nCode = 0;
    std::uint32_t nRepeat = 0;  // 0: a press; 1 and up: the key is still held
    std::string szButton;
    std::string szRemote;
};

// One key-frame line without its terminator: four fields apart by blanks or
// tabs, the numbers in hexadecimal (at most 16 and 8 digits), the names
// without control characters. False, and the event unchanged, otherwise.
bool ParseLircLine(const std::string& line, tagLIRCEVENT& event);

class CLircLineReader {
public:
    // Longer lines are refused: a server never sends them, a wrong peer might
    // send anything.
    static constexpr std::size_t kMaxLineBytes = 256;
    // A reply block longer than this is no reply: its lines count again.
    static constexpr std::size_t kMaxReplyLines = 64;

    class ISink {
    public:
        virtual ~ISink() = default;
        virtual void OnLircEvent(const tagLIRCEVENT& event) = 0;
        // A refused line; text is its start, cut short and made printable.
        virtual void OnLircRefused(const std::string& text) = 0;
    };

    // Takes the next bytes of the stream, in any slices.
    void Feed(const char* data, std::size_t size, ISink& sink);
    // A new connection: no half line of the old one carries over.
    void Reset();

private:
    void EndLine(ISink& sink);

    std::string m_line;
    std::size_t m_replyLines = 0;  // lines since "BEGIN"; 0 outside a reply block
    bool m_inReply = false;        // between "BEGIN" and "END"
    bool m_overlong = false;       // skipping the rest of a refused line
};

// Pause before reconnecting: grows by doubling from kFirstMs up to kCapMs and
// starts again from kFirstMs once a connection worked.
class CLircBackoff {
public:
    static constexpr std::uint32_t kFirstMs = 250;
    static constexpr std::uint32_t kCapMs = 8000;

    std::uint32_t Next();
    void Reset() { m_nextMs = kFirstMs; }

private:
    std::uint32_t m_nextMs = kFirstMs;
};
