// The key areas drawn with the pictures: every area lies on its picture, keys
// do not overlap, each is a key the model's remote can send, and the types
// that share a remote share its picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "editor/RcPictures.h"
#include "receivers/RcKeys.h"

namespace {

struct tagPICTURECASE {
    int rcType;
    int resourceId;
    int width;
    int height;
};

class RcPictureOfType : public ::testing::TestWithParam<tagPICTURECASE> {};

// Keys a remote of the type can send (the type's code table).
std::set<int> SendableKeys(int rcType) {
    std::set<int> keys;
    for (int code = 0; code < 256; ++code) {
        int key = -1;
        if (MapKeyCodeToKeyId(rcType, static_cast<std::uint8_t>(code), &key))
            keys.insert(key);
    }
    return keys;
}

TEST_P(RcPictureOfType, AreasLieOnThePictureDoNotOverlapAndAreKeysOfTheRemote) {
    const tagPICTURECASE& c = GetParam();
    const tagRCPICTURE* picture = GetRcPicture(c.rcType);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->nResourceId, c.resourceId);
    EXPECT_EQ(picture->nWidth, c.width);
    EXPECT_EQ(picture->nHeight, c.height);
    ASSERT_GT(picture->nAreas, 0);
    const std::set<int> sendable = SendableKeys(c.rcType);
    std::set<int> seen;
    for (int i = 0; i < picture->nAreas; ++i) {
        const tagRCKEYAREA& a = picture->pAreas[i];
        SCOPED_TRACE(testing::Message() << "key " << a.nKeyId);
        // The frames drawn 2 pixels outside a key must stay on the bitmap.
        EXPECT_GE(a.x, 2);
        EXPECT_GE(a.y, 2);
        EXPECT_LE(a.x + a.width + 2, picture->nWidth);
        EXPECT_LE(a.y + a.height + 2, picture->nHeight);
        EXPECT_GT(a.width, 0);
        EXPECT_GT(a.height, 0);
        EXPECT_STRNE(GetEnglishKeyName(a.nKeyId), L"");
        EXPECT_TRUE(sendable.count(a.nKeyId)) << "the remote has no code for this key";
        EXPECT_TRUE(seen.insert(a.nKeyId).second) << "key shown twice";
        EXPECT_EQ(a.fDisabled, 0);
        EXPECT_EQ(a.nState, RCKEY_STATE_NONE);
        for (int j = 0; j < i; ++j) {
            const tagRCKEYAREA& b = picture->pAreas[j];
            bool apart = a.x + a.width <= b.x || b.x + b.width <= a.x || a.y + a.height <= b.y ||
                         b.y + b.height <= a.y;
            EXPECT_TRUE(apart) << "overlaps key " << b.nKeyId;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Types, RcPictureOfType, ::testing::Values(
    tagPICTURECASE{RCTYPE_NEC_866B, 253, 138, 406}, tagPICTURECASE{RCTYPE_NEC_04FB, 254, 170, 375},
    tagPICTURECASE{RCTYPE_NEC_04EB, 255, 107, 420}, tagPICTURECASE{RCTYPE_NEC_1400, 284, 127, 407},
    tagPICTURECASE{RCTYPE_0080, 284, 127, 407}, tagPICTURECASE{RCTYPE_NEC_04EB_ALT, 287, 106, 424},
    tagPICTURECASE{RCTYPE_MORVANE, 288, 126, 400}, tagPICTURECASE{RCTYPE_NEC_02BD, 289, 170, 279},
    tagPICTURECASE{RCTYPE_2000, 289, 170, 279}));

TEST(RcPictures, SharedRemotesShareOnePictureAndOthersHaveNone) {
    EXPECT_EQ(GetRcPicture(RCTYPE_NEC_1400), GetRcPicture(RCTYPE_0080));
    EXPECT_EQ(GetRcPicture(RCTYPE_NEC_02BD), GetRcPicture(RCTYPE_2000));
    EXPECT_NE(GetRcPicture(RCTYPE_NEC_04EB), GetRcPicture(RCTYPE_NEC_04EB_ALT));
    for (int type : {RCTYPE_NONE, RCTYPE_MIDI, 0x0004, 0x0020, 0x4000, -1})
        EXPECT_EQ(GetRcPicture(type), nullptr) << type;
}

TEST(RcPictures, WellKnownRowsKeepTheirPlaces) {
    // The first rows of the two oldest pictures, as the editor has always shown them.
    struct tagROW {
        int rcType, index, x, y, width, height, key;
    } rows[] = {
        {RCTYPE_NEC_866B, 0, 18, 76, 24, 16, 140}, {RCTYPE_NEC_866B, 1, 56, 79, 24, 12, 160},
        {RCTYPE_NEC_866B, 2, 93, 76, 24, 16, 141}, {RCTYPE_NEC_866B, 3, 18, 103, 18, 12, 201},
        {RCTYPE_NEC_866B, 6, 93, 103, 24, 12, 221}, {RCTYPE_NEC_04FB, 0, 15, 21, 30, 30, 143},
        {RCTYPE_NEC_04FB, 3, 126, 21, 30, 30, 140}, {RCTYPE_NEC_04FB, 4, 15, 58, 30, 30, 201},
    };
    for (const tagROW& r : rows) {
        const tagRCPICTURE* picture = GetRcPicture(r.rcType);
        ASSERT_NE(picture, nullptr);
        ASSERT_LT(r.index, picture->nAreas);
        const tagRCKEYAREA& a = picture->pAreas[r.index];
        EXPECT_EQ((std::vector<int>{a.x, a.y, a.width, a.height, a.nKeyId}),
                  (std::vector<int>{r.x, r.y, r.width, r.height, r.key}))
            << "type " << r.rcType << " row " << r.index;
    }
}

TEST(RcPictures, HitTestTakesLeftAndTopEdgesInsideAndRightAndBottomOutside) {
    const tagRCKEYAREA areas[] = {{10, 20, 5, 4, 140, 0, 0}, {12, 22, 10, 10, 141, 0, 0}, {30, 20, 1, 1, 160, 0, 0}};
    struct {
        int x, y, row;
    } cases[] = {
        {10, 20, 0}, {14, 23, 0}, {15, 20, -1}, {10, 24, -1}, {9, 20, -1}, {10, 19, -1},
        {13, 23, 0},  // in both: the first row wins
        {14, 24, 1}, {30, 20, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HitTestKeyArea(areas, 3, c.x, c.y), c.row) << c.x << "," << c.y;
    EXPECT_EQ(HitTestKeyArea(nullptr, 3, 10, 20), -1);
    EXPECT_EQ(HitTestKeyArea(areas, 0, 10, 20), -1);
    EXPECT_EQ(FindKeyArea(areas, 3, 160), 2);
    EXPECT_EQ(FindKeyArea(areas, 3, 161), -1);
}

}  // namespace
