// The editor's remote-control list. Rows keep their order: the editor stores
// the chosen model by name and type, and the first row is the default.
#include "receivers/RcModels.h"

namespace {

constexpr tagRCMODEL kRcModels[RC_MODEL_COUNT] = {
    {RCTYPE_NEC_1400, L" - ALL OTHERS -"},
    {RCTYPE_MORVANE, L"Receiver model 01"},
    {RCTYPE_NEC_866B, L"Receiver model 02"},
    {RCTYPE_NEC_866B, L"Receiver model 03"},
    {RCTYPE_NEC_04FB, L"Receiver model 04"},
    {RCTYPE_NEC_04FB, L"Receiver model 05"},
    {RCTYPE_NEC_04EB, L"Receiver model 06"},
    {RCTYPE_NEC_866B, L"Receiver model 07"},
    {RCTYPE_NEC_04EB, L"Receiver model 08"},
    {RCTYPE_NEC_04EB, L"Receiver model 09"},
    {RCTYPE_NEC_866B, L"Receiver model 10"},
    {RCTYPE_NEC_04EB, L"Receiver model 11"},
    {RCTYPE_0080, L"Receiver model 12"},
    {RCTYPE_NEC_02BD, L"Device model 08"},
    {RCTYPE_NEC_04EB, L"Receiver model 14"},
    {RCTYPE_2000, L"Device model 10"},
    {RCTYPE_NEC_04EB_ALT, L"DEVICE MODEL 17"},
    {RCTYPE_NEC_04EB_ALT, L"Receiver model 17"},
    {RCTYPE_NEC_04EB_ALT, L"Receiver model 18"},
    {RCTYPE_NEC_04EB_ALT, L"DEVICE MODEL 18"},
    {RCTYPE_NEC_04EB_ALT, L"Receiver model 20"},
    {RCTYPE_NEC_04EB_ALT, L"DEVICE MODEL 19"},
    {RCTYPE_NEC_04EB_ALT, L"DEVICE MODEL 20"},
    {RCTYPE_0080, L"Receiver model 23"},
    {RCTYPE_MIDI, L"MIDI in"},
};

}  // namespace

const tagRCMODEL* GetRcModels() { return kRcModels; }

const tagRCMODEL* GetRcModel(int row) {
    if (row < 0 || row >= RC_MODEL_COUNT)
        return nullptr;
    return &kRcModels[row];
}
