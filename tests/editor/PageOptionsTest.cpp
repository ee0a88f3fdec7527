// The Options page with the real settings (a private registry key), a
// receiver manager over fake receivers, real command-set files and the test
// MIDI driver's ports: what it shows, what it writes, the display-time wrap,
// the preview's greys, the receiver rows and leaving the page.
#include "editor/PageMenu.h"
#include "editor/PageOptions.h"

#include "app/ReceiverManager.h"
#include "app/Settings.h"
#include "cmdsets/CmdSetAdmin.h"
#include "editor/ReceiverNames.h"
#include "osd/OsdDlg.h"
#include "receivers/MidiNote.h"
#include "resources/EditorIds.h"
#include "tests/cmdsets/CmdSetFiles.h"
#include "tests/editor/PageTestUtil.h"
#include "tests/receivers/midi/MidiSimClient.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using pagetest::IsChecked;

// A receiver that names its device after its slot.
class CNamedSrc : public CSrc {
public:
    CNamedSrc(int initResult, std::wstring device) : m_initResult(initResult) { m_deviceName = std::move(device); }
    int Init(void* owner, PFNIREVENTCALLBACK callback) override {
        CSrc::Init(owner, callback);
        return m_initResult;
    }

private:
    int m_initResult;
};

class CPageEnvironment : public IReceiverEnvironment {
public:
    std::unique_ptr<CSrc> CreateReceiver(int slot) override {
        auto found = initResults.find(slot);
        if (found == initResults.end())
            return nullptr;
        return std::make_unique<CNamedSrc>(found->second, L"Device of slot " + std::to_wstring(slot));
    }
    std::unique_ptr<CSrc> CreateMidiReceiver(const std::wstring& port, std::uint8_t) override {
        midiPorts.push_back(port);
        return std::make_unique<CNamedSrc>(1, port);
    }
    std::unique_ptr<CSrc> CreateLircReceiver(const std::wstring& host, unsigned port) override {
        const std::wstring server = host + L":" + std::to_wstring(port);
        lircServers.push_back(server);
        return std::make_unique<CNamedSrc>(1, server);
    }
    int GetMidiInputCount() override { return midiInputs; }
    void SaveSettings() override {}
    void ExitProgram(int) override {}

    std::vector<std::wstring> lircServers;  // every network receiver made
    std::map<int, int> initResults;  // slot -> Init result; others have no receiver
    int midiInputs = 0;
    std::vector<std::wstring> midiPorts;  // every MIDI receiver made, by its port
};

class CNoSink : public IKeyEventSink {
public:
    int PostKeyEvent(const SrcPtr&, int, int) override { return 1; }
    void StopEventsOf(const CSrc*) override {}
    void SetReady(bool) override {}
};

const wchar_t kFirstPort[] = L"Kanzo Keys";
const wchar_t kSecondPort[] = L"Other Keys";

class PageOptionsTest : public CmdSetFilesTest {
protected:
    static void SetUpTestSuite() {
        // The sound card's port sits between two of the user's: it is never offered.
        const std::wstring ports = std::wstring(kFirstPort) + L"|" + kFirewirePortNames[0] + L"|" + kSecondPort;
        s_midiLoaded = s_midi.Load(ports.c_str());
    }

    void SetUp() override {
        CmdSetFilesTest::SetUp();
        ASSERT_TRUE(m_userKey.IsActive());
        WriteText(Paths().presetFile,
                  "[Settings]\nRC Layout Version=4\n[Windows (Standard)]\nExecutable=KanzoShell.exe\n"
                  "[Alpha]\nExecutable=Alpha.exe\n[Zeta Player]\nExecutable=Zeta.exe\n");
        WriteDword(L"OSD", L"OSD On", 1);  // a key "OSD": no first run
    }

    void TearDown() override {
        m_sheet.reset();
        if (m_manager)
            m_manager->FreeReceivers();
        CmdSetFilesTest::TearDown();
    }

    static std::wstring KeyPath(const wchar_t* subKey) {
        return subKey ? std::wstring(SETTINGS_KEY_PATH) + L"\\" + subKey : std::wstring(SETTINGS_KEY_PATH);
    }
    static void WriteDword(const wchar_t* subKey, const wchar_t* name, DWORD value) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, KeyPath(subKey).c_str(), name, REG_DWORD,
                                                 &value, sizeof(value)));
    }
    static void WriteString(const wchar_t* subKey, const wchar_t* name, const std::wstring& text) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, KeyPath(subKey).c_str(), name, REG_SZ,
                                                 text.c_str(), static_cast<DWORD>((text.size() + 1) * 2)));
    }
    static DWORD ReadDword(const wchar_t* subKey, const wchar_t* name) {
        DWORD value = 0xDEADBEEF, size = sizeof(value);
        RegGetValueW(HKEY_CURRENT_USER, KeyPath(subKey).c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
        return value;
    }
    static std::wstring ReadString(const wchar_t* subKey, const wchar_t* name) {
        wchar_t text[300] = L"<missing>";
        DWORD size = sizeof(text);
        RegGetValueW(HKEY_CURRENT_USER, KeyPath(subKey).c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size);
        return text;
    }

    // The settings, the receivers (initialised), the Options page and a Menu
    // page to leave it for.
    void Open(COsdDlg* osd = nullptr) {
        m_admin = std::make_unique<CCmdSetAdmin>(Paths(), Sources());
        m_settings = std::make_unique<CSettings>(CSettings::FirstRunAction());
        m_settings->SettingsLoad();
        m_manager = std::make_unique<CReceiverManager>(m_environment, m_sink, m_settings->Block(), m_clock);
        m_manager->InitReceivers();
        tagEDITORCONTEXT context;
        context.pLocalize = &m_localize;
        context.pAdmin = m_admin.get();
        context.pSettings = m_settings.get();
        context.pReceivers = m_manager.get();
        context.pOsd = osd;
        m_page = std::make_unique<CPageOptions>(context);
        m_menu = std::make_unique<CPageMenu>(context);
        m_sheet = std::make_unique<pagetest::CSheetHost>();
        m_sheet->Add(*m_page);
        m_sheet->Add(*m_menu);
        ASSERT_TRUE(m_sheet->Open());
        ASSERT_NE(nullptr, Page());
    }

    HWND Page() const { return m_page->GetHwnd(); }
    HWND Item(int id) const { return m_page->GetItem(id); }
    std::wstring ItemText(int id) const { return pagetest::Text(Item(id)); }
    void Leave() { m_sheet->Activate(1); }

    // The slots the receiver list shows, in row order.
    std::vector<int> ListedSlots() const {
        std::vector<int> slots;
        HWND list = Item(IDC_OPT_RECEIVERS);
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            LVITEMW item = {};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            ListView_GetItem(list, &item);
            slots.push_back(static_cast<int>(item.lParam));
        }
        return slots;
    }
    int RowOfSlot(int slot) const {
        const std::vector<int> slots = ListedSlots();
        for (size_t row = 0; row < slots.size(); ++row) {
            if (slots[row] == slot)
                return static_cast<int>(row);
        }
        return -1;
    }
    std::wstring Cell(int row, int column) const {
        wchar_t text[200] = {};
        ListView_GetItemText(Item(IDC_OPT_RECEIVERS), row, column, text, 200);
        return text;
    }
    // What a click on a row does: the list selects it and tells the page.
    void ClickRow(int row) {
        HWND list = Item(IDC_OPT_RECEIVERS);
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        NMITEMACTIVATE click = {};
        click.hdr.hwndFrom = list;
        click.hdr.idFrom = IDC_OPT_RECEIVERS;
        click.hdr.code = NM_CLICK;
        click.iItem = row;
        SendMessageW(Page(), WM_NOTIFY, IDC_OPT_RECEIVERS, reinterpret_cast<LPARAM>(&click));
    }
    // A key on the display-time edit, which the up-down watches.
    void PressKey(UINT key) {
        SendMessageW(Item(IDC_OPT_TIME), WM_KEYDOWN, key, 1);
        SendMessageW(Item(IDC_OPT_TIME), WM_KEYUP, key, 0xC0000001);
    }

    static CMidiSimClient s_midi;
    static bool s_midiLoaded;

    pagetest::CPrivateUserKey m_userKey;
    CQVLocalize m_localize{pagetest::EnglishSetup()};
    CPageEnvironment m_environment;
    CNoSink m_sink;
    FakeClock m_clock;  // the manager's pauses pass at once
    std::unique_ptr<CCmdSetAdmin> m_admin;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CReceiverManager> m_manager;
    std::unique_ptr<CPageOptions> m_page;
    std::unique_ptr<CPageMenu> m_menu;
    std::unique_ptr<pagetest::CSheetHost> m_sheet;
};
CMidiSimClient PageOptionsTest::s_midi;
bool PageOptionsTest::s_midiLoaded = false;

TEST_F(PageOptionsTest, ShowsTheStoredSettingsAndWritesThemBackToTheRegistry) {
    WriteDword(L"OSD", L"OSD Time", 7);
    WriteDword(L"OSD", L"OSD Use Gradient", 0);
    WriteDword(L"OSD", L"OSD Text Color", 0x123456);
    WriteDword(L"RC", L"Tavora: Disable Key 0", 1);
    WriteDword(nullptr, L"Hidden", 1);
    WriteDword(nullptr, L"Exclusive", 1);
    WriteDword(nullptr, L"Autostart", 0);
    WriteString(nullptr, L"Exclusive Application", L"zeta");
    COsdDlg osd(nullptr);
    ASSERT_TRUE(osd.Create());
    Open(&osd);

    EXPECT_EQ(L"7 sec", ItemText(IDC_OPT_TIME));
    EXPECT_EQ(7, SendMessageW(Item(IDC_OPT_TIME_SPIN), UDM_GETPOS32, 0, 0));
    EXPECT_TRUE(IsChecked(Page(), IDC_OPT_OSD_ON));
    EXPECT_FALSE(IsChecked(Page(), IDC_OPT_USE_GRADIENT));
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_OPT_GRADIENT_COLOUR))) << "no gradient: no second background";
    EXPECT_TRUE(IsChecked(Page(), IDC_OPT_DISABLE_KEY0));
    EXPECT_FALSE(IsChecked(Page(), IDC_OPT_SHOW_TRAY));
    EXPECT_FALSE(IsChecked(Page(), IDC_OPT_AUTOSTART));
    EXPECT_TRUE(IsChecked(Page(), IDC_OPT_EXCLUSIVE));
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_OPT_EXCLUSIVE_APP)));
    EXPECT_EQ(L"Zeta Player", ItemText(IDC_OPT_EXCLUSIVE_APP)) << "the first name that begins with it";
    // The localized texts the template cannot carry.
    EXPECT_EQ(L"On Screen Display", ItemText(IDC_OPT_OSD_GROUP));
    EXPECT_EQ(L"Hardware", ItemText(IDC_OPT_STATUS));
    EXPECT_EQ(L"Start with Windows", ItemText(IDC_OPT_AUTOSTART));

    // The user turns the gradient on, shows the tray icon, picks another
    // application and turns exclusive off; the gradient click saves them all.
    pagetest::Click(Page(), IDC_OPT_SHOW_TRAY);
    pagetest::Click(Page(), IDC_OPT_EXCLUSIVE);
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_OPT_EXCLUSIVE_APP)));
    SendMessageW(Item(IDC_OPT_EXCLUSIVE_APP), CB_SETCURSEL, 0, 0);
    pagetest::Click(Page(), IDC_OPT_USE_GRADIENT);
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_OPT_GRADIENT_COLOUR)));
    EXPECT_EQ(1u, ReadDword(L"OSD", L"OSD Use Gradient"));
    EXPECT_EQ(0u, ReadDword(nullptr, L"Hidden"));
    EXPECT_EQ(0u, ReadDword(nullptr, L"Exclusive"));
    EXPECT_EQ(L"---", ReadString(nullptr, L"Exclusive Application"));
    EXPECT_EQ(7u, ReadDword(L"OSD", L"OSD Time"));
    EXPECT_EQ(0x123456u, ReadDword(L"OSD", L"OSD Text Color"));
    EXPECT_EQ(1u, osd.GetSettings().osdUseGradient) << "the display takes the new settings";

    // A display time of 0 is not stored.
    SetDlgItemTextW(Page(), IDC_OPT_TIME, L"0");
    pagetest::Click(Page(), IDC_OPT_USE_GRADIENT);
    EXPECT_EQ(7u, ReadDword(L"OSD", L"OSD Time"));
    osd.Destroy();
}

TEST_F(PageOptionsTest, TheDisplayTimeWrapsBetweenThirtyAndOneAndIsSavedAtOnce) {
    WriteDword(L"OSD", L"OSD Time", 30);
    Open();
    PressKey(VK_UP);
    EXPECT_EQ(L"1 sec", ItemText(IDC_OPT_TIME));
    EXPECT_EQ(1u, ReadDword(L"OSD", L"OSD Time"));
    EXPECT_EQ(Item(IDC_OPT_TIME_SPIN), GetFocus());
    PressKey(VK_DOWN);
    EXPECT_EQ(L"30 sec", ItemText(IDC_OPT_TIME));
    EXPECT_EQ(30u, ReadDword(L"OSD", L"OSD Time"));
    PressKey(VK_DOWN);
    EXPECT_EQ(L"29 sec", ItemText(IDC_OPT_TIME));
    EXPECT_EQ(29u, ReadDword(L"OSD", L"OSD Time"));
}

TEST_F(PageOptionsTest, WithTheDisplayOffThePreviewIsGreyWhateverColoursAreStored) {
    WriteDword(L"OSD", L"OSD Text Color", 0x0000FF);
    WriteDword(L"OSD", L"OSD Background Color", 0x00FF00);
    WriteDword(L"OSD", L"OSD Gradient Color", 0xFF0000);
    WriteDword(L"OSD", L"OSD Use Gradient", 1);
    Open();
    const tagOSDCOLOURS& shown = m_page->GetPreview().GetColours();
    EXPECT_EQ(0x0000FFu, shown.crText);
    EXPECT_EQ(0x00FF00u, shown.crBack1);
    EXPECT_EQ(0xFF0000u, shown.crBack2);

    pagetest::Click(Page(), IDC_OPT_OSD_ON);
    EXPECT_EQ(0u, ReadDword(L"OSD", L"OSD On"));
    EXPECT_EQ(OPTIONS_GREY_TEXT, shown.crText);
    EXPECT_EQ(OPTIONS_GREY_BACK, shown.crBack1);
    EXPECT_EQ(OPTIONS_GREY_GRADIENT, shown.crBack2);
    for (int id : {IDC_OPT_TEXT_COLOUR, IDC_OPT_BACK_COLOUR, IDC_OPT_GRADIENT_COLOUR, IDC_OPT_USE_GRADIENT,
                   IDC_OPT_TIME, IDC_OPT_TIME_LABEL})
        EXPECT_FALSE(IsWindowEnabled(Item(id))) << id;

    // Without the gradient the second background is the first, in colour and in grey.
    pagetest::Click(Page(), IDC_OPT_OSD_ON);
    pagetest::Click(Page(), IDC_OPT_USE_GRADIENT);
    EXPECT_EQ(0x00FF00u, shown.crBack2);
    pagetest::Click(Page(), IDC_OPT_OSD_ON);
    EXPECT_EQ(OPTIONS_GREY_TEXT, shown.crText);
    EXPECT_EQ(OPTIONS_GREY_BACK, shown.crBack2);
    EXPECT_EQ(0xFF0000u, ReadDword(L"OSD", L"OSD Gradient Color")) << "the stored colours stay";
    EXPECT_EQ(0x0000FFu, ReadDword(L"OSD", L"OSD Text Color"));
}

TEST_F(PageOptionsTest, ListsTheActiveReceiversAndLeavingStopsAnUncheckedOne) {
    m_environment.initResults = {{3, 1}, {7, 1}, {10, 1}, {12, 0}};
    WriteDword(L"RC", L"Selection", 0xFFFFFFFEu);
    Open();

    EXPECT_EQ((std::vector<int>{3, 7, 10}), ListedSlots()) << "the receivers that found their hardware";
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(GetReceiverName(ListedSlots()[static_cast<size_t>(row)]), Cell(row, 0));
        EXPECT_TRUE(ListView_GetCheckState(Item(IDC_OPT_RECEIVERS), row)) << row;
    }
    EXPECT_EQ(L"Key 0 enabled", Cell(RowOfSlot(7), 1));
    EXPECT_EQ(L"", Cell(RowOfSlot(3), 1));

    ClickRow(RowOfSlot(7));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_OPT_DISABLE_KEY0)));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_OPT_MIDI_DEVICE)));
    EXPECT_EQ(L"Device: Device of slot 7", ItemText(IDC_OPT_STATUS));
    ClickRow(RowOfSlot(3));
    EXPECT_FALSE(IsWindowVisible(Item(IDC_OPT_DISABLE_KEY0)));

    ListView_SetCheckState(Item(IDC_OPT_RECEIVERS), RowOfSlot(10), FALSE);
    EXPECT_EQ(0u, m_page->GetWorkingMask() & (1u << 10));
    EXPECT_TRUE(m_manager->IsOccupied(10)) << "nothing changes before the page is left";

    Leave();
    EXPECT_FALSE(m_manager->IsOccupied(10));
    EXPECT_TRUE(m_manager->IsOccupied(3));
    EXPECT_TRUE(m_manager->IsOccupied(7));
    // Receivers that are not listed (4, the MIDI input) stay chosen.
    EXPECT_EQ(~(1u << 10), m_settings->Block().receiverSelection);
    EXPECT_EQ(~(1u << 10), ReadDword(L"RC", L"Selection"));
}

TEST_F(PageOptionsTest, TheLircServerIsShownAndLeavingConnectsToTheOneEnteredOrToNone) {
    WriteString(L"RC", L"LIRC Host", L"tv-box");
    WriteDword(L"RC", L"LIRC Port", 8766);
    WriteDword(L"RC", L"Selection", 0xFFFFFFFEu);
    Open();
    EXPECT_TRUE(IsChecked(Page(), IDC_OPT_LIRC_ON));
    EXPECT_EQ(L"tv-box", ItemText(IDC_OPT_LIRC_HOST));
    EXPECT_EQ(L"8766", ItemText(IDC_OPT_LIRC_PORT));
    ASSERT_EQ(std::vector<std::wstring>{L"tv-box:8766"}, m_environment.lircServers);

    // A port out of range keeps the stored one; blanks around the host go.
    SetDlgItemTextW(Page(), IDC_OPT_LIRC_HOST, L" 192.168.1.20 ");
    SetDlgItemTextW(Page(), IDC_OPT_LIRC_PORT, L"70000");
    Leave();
    EXPECT_EQ(L"192.168.1.20", ReadString(L"RC", L"LIRC Host"));
    EXPECT_EQ(8766u, ReadDword(L"RC", L"LIRC Port"));
    EXPECT_EQ(L"192.168.1.20:8766", m_environment.lircServers.back());
    EXPECT_NE(nullptr, m_manager->GetReceiver(RECEIVER_INDEX_LIRC));

    m_sheet->Activate(0);
    pagetest::Click(Page(), IDC_OPT_LIRC_ON);
    EXPECT_FALSE(IsWindowEnabled(Item(IDC_OPT_LIRC_HOST)));
    Leave();
    EXPECT_EQ(nullptr, m_manager->GetReceiver(RECEIVER_INDEX_LIRC));
    EXPECT_EQ(0u, ReadDword(L"RC", L"Selection") & RECEIVER_SELECTION_LIRC);
    EXPECT_EQ(2u, m_environment.lircServers.size());
}

TEST_F(PageOptionsTest, OffersTheUsersMidiPortsAndLeavingOpensTheOneChosen) {
    ASSERT_TRUE(s_midiLoaded) << std::string(s_midi.Error().begin(), s_midi.Error().end());
    m_environment.midiInputs = 3;
    WriteString(L"RC", L"MIDI device", kSecondPort);
    WriteDword(L"RC", L"Selection", 0xFFFFFFFFu);
    Open();
    ASSERT_EQ(std::vector<std::wstring>{kSecondPort}, m_environment.midiPorts);

    HWND combo = Item(IDC_OPT_MIDI_DEVICE);
    ASSERT_TRUE(IsWindowEnabled(combo));
    ASSERT_EQ(2, SendMessageW(combo, CB_GETCOUNT, 0, 0)) << "the sound card's port is not offered";
    EXPECT_EQ(0, SendMessageW(combo, CB_GETITEMDATA, 0, 0));
    EXPECT_EQ(2, SendMessageW(combo, CB_GETITEMDATA, 1, 0)) << "item data: the port's index";
    EXPECT_EQ(kSecondPort, ItemText(IDC_OPT_MIDI_DEVICE));

    const int midiRow = RowOfSlot(RECEIVER_SLOT_MIDI);
    ASSERT_EQ(0, midiRow);
    EXPECT_EQ(L"Midi In", Cell(midiRow, 0));
    EXPECT_EQ(L"Channel 16", Cell(midiRow, 1));
    ClickRow(midiRow);
    EXPECT_TRUE(IsWindowVisible(combo));
    EXPECT_EQ(std::wstring(L"Device: ") + kSecondPort, ItemText(IDC_OPT_STATUS));

    pagetest::ChooseComboItem(Page(), IDC_OPT_MIDI_DEVICE, 0);
    Leave();
    EXPECT_EQ(kFirstPort, ReadString(L"RC", L"MIDI device"));
    EXPECT_EQ((std::vector<std::wstring>{kSecondPort, kFirstPort}), m_environment.midiPorts)
        << "the MIDI input opens the port chosen";
    EXPECT_EQ(kFirstPort, m_manager->GetReceiver(RECEIVER_SLOT_MIDI)->GetDeviceName());
}

}  // namespace
