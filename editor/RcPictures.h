#pragma once
// The pictures of the remote-control models and the key areas on them: one
// bitmap resource and one table per picture; several RC types may share one.
// The tables are drawn and written together with the pictures at build time
// (resources/remotes/), so the two always agree.
//
// Pure logic: no Windows header.

// One key on a picture, in bitmap pixels: the key is (x, y) to (x + width,
// y + height), right and bottom edges outside.
struct tagRCKEYAREA {
    int x;
    int y;
    int width;
    int height;
    int nKeyId;     // tagRCKEYS_ALL
    int fDisabled;  // 1: shown, but not selectable
    int nState;     // RCKEY_STATE_...; 0 in the built-in tables
};

// Where a key's command comes from, as its frame shows it.
enum : int {
    RCKEY_STATE_NONE = 0,     // unassigned: no frame
    RCKEY_STATE_DEFAULT = 1,  // the built-in default
    RCKEY_STATE_PRESET = 2,   // the preset file's
    RCKEY_STATE_USER = 3,     // the user's own
    RCKEY_STATE_COUNT = 4,
};

struct tagRCPICTURE {
    int nResourceId;  // BITMAP resource of the program
    int nWidth;       // bitmap size in pixels
    int nHeight;
    const tagRCKEYAREA* pAreas;
    int nAreas;
};

// The picture of an RC type; null for types without one (MIDI, unknown).
const tagRCPICTURE* GetRcPicture(int rcType);

// Index of the first area that holds the point, or -1.
int HitTestKeyArea(const tagRCKEYAREA* areas, int count, int x, int y);
// Index of the first area of the key, or -1.
int FindKeyArea(const tagRCKEYAREA* areas, int count, int keyId);
