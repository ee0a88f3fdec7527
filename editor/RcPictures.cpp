#include "editor/RcPictures.h"

namespace {
#include "resources/remotes/RcPictureTables.inc"
}  // namespace

const tagRCPICTURE* GetRcPicture(int rcType) {
    for (const auto& entry : kPictureOfType) {
        if (entry[0] == rcType)
            return &kPictures[entry[1]];
    }
    return nullptr;
}

int HitTestKeyArea(const tagRCKEYAREA* areas, int count, int x, int y) {
    for (int i = 0; areas && i < count; ++i) {
        const tagRCKEYAREA& a = areas[i];
        if (x >= a.x && x < a.x + a.width && y >= a.y && y < a.y + a.height)
            return i;
    }
    return -1;
}

int FindKeyArea(const tagRCKEYAREA* areas, int count, int keyId) {
    for (int i = 0; areas && i < count; ++i) {
        if (areas[i].nKeyId == keyId)
            return i;
    }
    return -1;
}
