#include "receivers/DeviceCatalogue.h"
#include "receivers/Src.h"

#include "support/QVDebug.h"
#ifndef _WIN32
#include "support/QVDebugHost.h"
#endif

#include <gtest/gtest.h>

#include <cwchar>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int kSlotCount = 18;
constexpr std::uint16_t kNumberedVendor = 0x045E;  // a vendor the catalogue names by number

std::uint32_t Slots(std::initializer_list<int> slots) {
    std::uint32_t mask = 0;
    for (int slot : slots)
        mask |= std::uint32_t{1} << slot;
    return mask;
}

// A device-interface path as the system reports it, in its capitals.
std::wstring InterfacePath(const wchar_t* bus, std::uint16_t vendorId, std::uint16_t productId, const wchar_t* rest) {
    wchar_t ids[64] = {};
    std::swprintf(ids, sizeof ids / sizeof ids[0], L"\\\\?\\%ls#VID_%04X&PID_%04X", bus, unsigned{vendorId},
                  unsigned{productId});
    return ids + std::wstring(rest) + L"#6&2f1c7a&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

const _IR_REMOVABLE_DEVICE& Row(int row) {
    const _IR_REMOVABLE_DEVICE* found = GetCatalogueRow(row);
    EXPECT_NE(found, nullptr) << row;
    static const _IR_REMOVABLE_DEVICE kEmpty = {-1, 0, 0, L"", nullptr};
    return found ? *found : kEmpty;
}

std::wstring Text(const wchar_t* text) { return text ? text : L"<null>"; }

bool SameDevice(const _IR_REMOVABLE_DEVICE& a, const _IR_REMOVABLE_DEVICE& b) {
    return a.nReceiverIndex == b.nReceiverIndex && a.wVendorId == b.wVendorId && a.wProductId == b.wProductId &&
           std::wstring(a.szInterfaceSuffix) == b.szInterfaceSuffix && Text(a.szModelName) == Text(b.szModelName);
}

TEST(DeviceCatalogue, EightySixWellFormedRowsNoneRepeated) {
    ASSERT_EQ(GetCatalogueSize(), 86);
    EXPECT_EQ(GetCatalogueRow(-1), nullptr);
    EXPECT_EQ(GetCatalogueRow(86), nullptr);
    std::set<std::tuple<int, int, int, std::wstring, std::wstring>> seen;
    for (int row = 0; row < GetCatalogueSize(); ++row) {
        const _IR_REMOVABLE_DEVICE& device = Row(row);
        EXPECT_GE(device.nReceiverIndex, 0) << row;
        EXPECT_LT(device.nReceiverIndex, kSlotCount) << row;
        ASSERT_NE(device.szInterfaceSuffix, nullptr) << row;
        const std::wstring suffix = device.szInterfaceSuffix;
        EXPECT_TRUE(suffix.empty() || suffix == L"&MI_01") << row;
        EXPECT_TRUE(device.szModelName == nullptr || *device.szModelName != L'\0') << row;
        EXPECT_TRUE(seen.emplace(device.nReceiverIndex, device.wVendorId, device.wProductId, suffix,
                                 Text(device.szModelName))
                        .second)
            << "row " << row << " repeats an earlier row";
    }
}

TEST(DeviceCatalogue, MakersVendorIdsDifferFromTheNumberedOnes) {
    EXPECT_NE(kVendorIdPrimary, kVendorIdSecondary);
    std::set<std::uint16_t> numbered;
    for (int row = 0; row < GetCatalogueSize(); ++row)
        if (Row(row).wVendorId != kVendorIdPrimary && Row(row).wVendorId != kVendorIdSecondary)
            numbered.insert(Row(row).wVendorId);
    EXPECT_EQ(numbered, (std::set<std::uint16_t>{0x0419, 0x045E, 0x048D, 0xEB1A}));
}

TEST(DeviceCatalogue, RowsNamedInTheirPlaces) {
    EXPECT_TRUE(SameDevice(Row(0), {10, 0x0419, 0x0001, L"", nullptr}));
    EXPECT_TRUE(SameDevice(Row(21), {9, kVendorIdPrimary, 0x0036, L"&MI_01", L"Device model 02"}));
    // The composite device 0x0042 is listed as a whole and by its remote's interface.
    EXPECT_TRUE(SameDevice(Row(28), {9, kVendorIdPrimary, 0x0042, L"", L"Device model 04"}));
    EXPECT_TRUE(SameDevice(Row(29), {9, kVendorIdPrimary, 0x0042, L"&MI_01", L"Device model 04"}));
    EXPECT_TRUE(SameDevice(Row(85), {9, kVendorIdPrimary, 0x10B6, L"", L"DEVICE MODEL 17"}));
}

TEST(DeviceCatalogue, DevicePathTextUsesLowerCaseHexAndTheSuffix) {
    wchar_t vendor[8] = {};
    std::swprintf(vendor, 8, L"%04x", unsigned{kVendorIdPrimary});
    EXPECT_EQ(FormatCatalogueDevicePath(Row(1)), L"USB#VID_045e&PID_006d#");
    EXPECT_EQ(FormatCatalogueDevicePath(Row(21)), L"USB#VID_" + std::wstring(vendor) + L"&PID_0036&MI_01#");
}

struct tagPATHCASE {
    const char* szName;
    std::wstring devicePath;
    std::uint32_t slots;
};

void PrintTo(const tagPATHCASE& pathCase, std::ostream* out) { *out << pathCase.szName; }

class DevicePathSlots : public ::testing::TestWithParam<tagPATHCASE> {};

TEST_P(DevicePathSlots, MarksTheSlotsOfMatchingRows) {
    EXPECT_EQ(GetCatalogueSlotsForDevicePath(GetParam().devicePath.c_str()), GetParam().slots);
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    DeviceCatalogue, DevicePathSlots,
    ::testing::Values(
        tagPATHCASE{"RemoteInterfaceOfComposite", InterfacePath(L"USB", kVendorIdPrimary, 0x0036, L"&MI_01"),
                    Slots({9})},
        tagPATHCASE{"OtherInterfaceOfComposite", InterfacePath(L"USB", kVendorIdPrimary, 0x0036, L"&MI_00"), 0},
        tagPATHCASE{"CompositeDeviceItself", InterfacePath(L"USB", kVendorIdPrimary, 0x0036, L""), 0},
        tagPATHCASE{"ListedAsWholeAndInterface", InterfacePath(L"USB", kVendorIdPrimary, 0x0042, L"&MI_01"),
                    Slots({9})},
        tagPATHCASE{"TwoSlotsOneWithoutReceiver", InterfacePath(L"USB", kNumberedVendor, 0x006D, L""), Slots({10, 14})},
        tagPATHCASE{"TwoSlotsOfOneDevice", InterfacePath(L"USB", kVendorIdSecondary, 0x0025, L""), Slots({3, 10})},
        tagPATHCASE{"PrimaryForSlot3", InterfacePath(L"USB", kVendorIdPrimary, 0x0038, L""), Slots({3})},
        tagPATHCASE{"LowerCasePath", Lower(InterfacePath(L"USB", kVendorIdPrimary, 0x10AE, L"")), Slots({17})},
        tagPATHCASE{"OnlyTheUsbBus", InterfacePath(L"HID", kNumberedVendor, 0x006D, L""), 0},
        tagPATHCASE{"UnknownDevice", InterfacePath(L"USB", kVendorIdPrimary, 0xFFFF, L""), 0},
        tagPATHCASE{"EmptyPath", L"", 0}),
    [](const ::testing::TestParamInfo<tagPATHCASE>& info) { return std::string(info.param.szName); });

TEST(DeviceCatalogue, DevicePathMatchesTheRowOfItsOwnInterfaceOnly) {
    const std::wstring remote = InterfacePath(L"USB", kVendorIdPrimary, 0x0042, L"&MI_01");
    const std::wstring whole = InterfacePath(L"USB", kVendorIdPrimary, 0x0042, L"");
    EXPECT_TRUE(DevicePathMatchesRow(remote.c_str(), Row(29)));
    EXPECT_FALSE(DevicePathMatchesRow(remote.c_str(), Row(28)));
    EXPECT_TRUE(DevicePathMatchesRow(whole.c_str(), Row(28)));
    EXPECT_FALSE(DevicePathMatchesRow(whole.c_str(), Row(29)));
    EXPECT_FALSE(DevicePathMatchesRow(nullptr, Row(28)));
    EXPECT_EQ(GetCatalogueSlotsForDevicePath(nullptr), 0u);
}

TEST(DeviceCatalogue, ModelNamesKeepTheirCase) {
    // Rows 76 and 77 list one device under both spellings.
    EXPECT_TRUE(MatchesModelName(Row(76), L"Device model 18"));
    EXPECT_FALSE(MatchesModelName(Row(76), L"DEVICE MODEL 18"));
    EXPECT_TRUE(MatchesModelName(Row(77), L"DEVICE MODEL 18"));
    EXPECT_FALSE(MatchesModelName(Row(77), L"Device model 18"));
    // A row without a model name is never found by name.
    EXPECT_FALSE(MatchesModelName(Row(0), L""));
    EXPECT_FALSE(MatchesModelName(Row(0), nullptr));
    EXPECT_FALSE(MatchesModelName(Row(76), nullptr));
}

class RemovableDeviceList : public ::testing::Test {
protected:
    void SetUp() override { TraceInitEx(QVOUT_DEBUGGER, nullptr, 0, QVL_DETAIL, QVC_ALL); }
    void TearDown() override { TraceTerminateThread(TraceCurrentThreadId(), 1); }

    static IR_REMOVABLE_DEVICE_LIST ListFor(int receiverIndex) {
        CSrc src;
        if (receiverIndex != -1)
            src.SetReceiverIndex(receiverIndex);
        // Entries the caller's list already holds must go.
        IR_REMOVABLE_DEVICE_LIST list(3, _IR_REMOVABLE_DEVICE{99, 1, 2, L"", L"stale"});
        const int count = src.GetRemovableDeviceList(list);
        EXPECT_EQ(count, static_cast<int>(list.size()));
        return list;
    }
};

// Together the lists of all slots are the catalogue: each a run of its slot's
// rows in catalogue order, none left out.
TEST_F(RemovableDeviceList, EachSlotHoldsItsRowsInCatalogueOrder) {
    std::size_t total = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const IR_REMOVABLE_DEVICE_LIST list = ListFor(slot);
        int previous = -1;
        for (const _IR_REMOVABLE_DEVICE& device : list) {
            EXPECT_EQ(device.nReceiverIndex, slot);
            int row = previous + 1;
            while (row < GetCatalogueSize() && !SameDevice(Row(row), device))
                ++row;
            ASSERT_LT(row, GetCatalogueSize()) << "slot " << slot << ": entry missing or out of order";
            previous = row;
        }
        total += list.size();
    }
    EXPECT_EQ(total, static_cast<std::size_t>(GetCatalogueSize()));
}

TEST_F(RemovableDeviceList, BothSpellingsOfAFilterAreTriedMixedCaseFirst) {
    const IR_REMOVABLE_DEVICE_LIST list = ListFor(17);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.front().wProductId, 0x0098);
    std::vector<std::wstring> names;
    for (const _IR_REMOVABLE_DEVICE& device : list)
        if (device.wVendorId == kVendorIdPrimary && device.wProductId == 0x10AE)
            names.push_back(Text(device.szModelName));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Device model 18", L"DEVICE MODEL 18"}));
}

TEST_F(RemovableDeviceList, SlotsWithoutRowsGiveAnEmptyList) {
    EXPECT_TRUE(ListFor(-1).empty());  // the base receiver's index
    EXPECT_TRUE(ListFor(5).empty());
    EXPECT_TRUE(ListFor(kSlotCount).empty());
    // Slot 14 has no receiver but keeps its row.
    const IR_REMOVABLE_DEVICE_LIST list = ListFor(14);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(SameDevice(list[0], {14, kNumberedVendor, 0x006D, L"", nullptr}));
}

#ifndef _WIN32
std::vector<std::wstring> DeviceLines() {
    std::vector<std::wstring> lines;
    for (const std::wstring& line : TraceHostTakeLines())
        if (line.find(L"VID 0x") != std::wstring::npos)
            lines.push_back(line.substr(line.find(L"VID 0x")));
    return lines;
}

TEST_F(RemovableDeviceList, TracesEachEntryAlsoWithoutModelName) {
    wchar_t primary[8] = {};
    std::swprintf(primary, 8, L"%04X", unsigned{kVendorIdPrimary});
    TraceHostTakeLines();
    ListFor(16);
    EXPECT_EQ(DeviceLines(), (std::vector<std::wstring>{
                                 L"VID 0x" + std::wstring(primary) + L", PID 0x00A8 : Device model 08\n",
                                 L"VID 0x" + std::wstring(primary) + L", PID 0x00B0 : Device model 08\n",
                             }));
    ListFor(14);
    EXPECT_EQ(DeviceLines(), (std::vector<std::wstring>{L"VID 0x045E, PID 0x006D : (null)\n"}));
}
#endif

}  // namespace
