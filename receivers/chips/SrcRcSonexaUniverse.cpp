#include "receivers/chips/SrcRcSonexaUniverse.h"

#include "support/QVDebug.h"

#include <cstring>

namespace {

constexpr int kSonexaUniverseReceiverIndex = 2;
constexpr DWORD kPollIntervalMs = 20;

}  // namespace

CSrcRcSonexaUniverse::CSrcRcSonexaUniverse(IClock& clock) : CSrcPoll(0, clock) {
    m_kindName = kModelText;
    m_receiverIndex = kSonexaUniverseReceiverIndex;
    m_rcType = RCTYPE_NEC_866B;
    m_pollInterval = kPollIntervalMs;
    m_blockingRead = 1;
    m_event.Reset(CreateEventW(nullptr, TRUE, FALSE, kEventName));
}

CSrcRcSonexaUniverse::~CSrcRcSonexaUniverse() {
    StopPolling();
    m_device.reset();
}

int CSrcRcSonexaUniverse::Init(void* owner, PFNIREVENTCALLBACK callback) {
    CQVTraceScope scope(QVL_IO, QVC_DEVICE, L"CSrcRcSonexaUniverse::Init");
    StopPolling();
    m_device.reset();
    if (!m_event)
        return 0;
    std::unique_ptr<IChipDevice> device =
        ChipDriverPort().Open(std::wstring(L"\\\\.\\") + kDriverName, GENERIC_READ | GENERIC_WRITE, true);
    if (!device)
        return 0;
    std::uint8_t list[20] = {};
    DWORD returned = 0;
    if (device->Control(kIoDeviceList, nullptr, 0, list, sizeof(list), &returned, nullptr) != ERROR_SUCCESS)
        return 0;
    std::int32_t count = 0;
    std::memcpy(&count, list, sizeof(count));
    if (count <= 0)
        return 0;
    std::memcpy(&m_deviceId, list + 4, sizeof(m_deviceId));
    std::uint8_t info[kRequestBytes] = {};
    std::memcpy(info, &m_deviceId, sizeof(m_deviceId));
    if (device->Control(kIoDeviceInfo, info, sizeof(info), info, sizeof(info), &returned, nullptr) != ERROR_SUCCESS)
        return 0;
    std::uint16_t card = 0;
    std::memcpy(&card, info + 16, sizeof(card));
    if (card != kCardId)
        return 0;
    m_device = std::move(device);
    m_deviceName = kModelText;
    if (CSrcPoll::Init(owner, callback) == 1)
        return 1;
    m_device.reset();
    return 0;
}

std::uint8_t CSrcRcSonexaUniverse::GetCurrentKeyCode() {
    if (!m_device)
        return NEC_CODE_IDLE;
    ResetEvent(m_event.Get());
    m_overlapped = OVERLAPPED{};
    m_overlapped.hEvent = m_event.Get();
    DWORD returned = 0;
    const DWORD result = m_device->Control(kIoWaitKey, nullptr, 0, nullptr, 0, &returned, &m_overlapped);
    if (result == ERROR_SUCCESS)
        return NEC_CODE_IDLE;
    if (result != ERROR_IO_PENDING) {
        Sleep(kFailedWaitPauseMs);
        return NEC_CODE_IDLE;
    }
    const HANDLE waits[] = {m_event.Get(), m_pollThread.GetStopEvent()};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
        return NEC_CODE_IDLE;
    std::uint8_t request[kRequestBytes] = {};
    std::memcpy(request, &m_deviceId, sizeof(m_deviceId));
    request[4] = 0;
    if (m_device->Control(kIoGetKey, request, sizeof(request), request, sizeof(request), &returned, nullptr) !=
        ERROR_SUCCESS)
        return NEC_CODE_IDLE;
    return request[16];
}

int CSrcRcSonexaUniverse::PollForIrEvent(unsigned argument) {
    const int result = CSrcPoll::PollForIrEvent(argument);
    if (m_device)
        m_device->CancelIo();
    return result;
}
