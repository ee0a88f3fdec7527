#include "irbridge/RmtRequests.h"

#include <cstring>

namespace irbrix {

const tagRMTGUID kCxPropertySet = {0xC44A1A10, 0x0A37, 0x11D2, {0x83, 0x28, 0x00, 0x60, 0x97, 0xBA, 0x83, 0xAB}};
const tagRMTGUID kSaaGpioSet = {0x9490E589, 0x6B17, 0x44EC, {0x94, 0x35, 0x5E, 0x35, 0x87, 0xF9, 0xFB, 0xCE}};
const tagRMTGUID kSaaI2cSet = {0xFBB1C466, 0xBE03, 0x470F, {0x9A, 0x8F, 0xA2, 0xAA, 0x0F, 0xA2, 0xC0, 0xEE}};

bool operator==(const tagRMTGUID& a, const tagRMTGUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void PutLe32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetLe32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

tagCXREQUEST MakeCxRequest(std::uint32_t propertyId, std::uint32_t flags, std::uint32_t command) {
    tagCXREQUEST request = {};
    request.nSize = propertyId == kCxPropI2c ? kCxI2cRequestSize : kCxRegisterRequestSize;
    std::uint8_t* b = request.abBuffer;
    PutLe32(b, kCxPropertySet.nData1);
    b[4] = static_cast<std::uint8_t>(kCxPropertySet.nData2);
    b[5] = static_cast<std::uint8_t>(kCxPropertySet.nData2 >> 8);
    b[6] = static_cast<std::uint8_t>(kCxPropertySet.nData3);
    b[7] = static_cast<std::uint8_t>(kCxPropertySet.nData3 >> 8);
    std::memcpy(b + 8, kCxPropertySet.abData4, 8);
    PutLe32(b + 16, propertyId);
    PutLe32(b + 20, flags);
    PutLe32(b + kCxOffCommand, command);
    return request;
}

}  // namespace irbrix
