// The remote-control picture in a real window under Xvfb: real mouse clicks
// select keys and reach the parent as the static's notification, the rings
// and the selection frame show on the screen, and a model without a picture
// (or a picture without its bitmap) leaves the control usable.
#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "editor/CtrlRc.h"
#include "receivers/RcKeys.h"
#include "support/ScopedWin.h"
#include "tests/osd/OsdTestUtil.h"
#include "tests/support/WindowShot.h"

bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

using osdtest::CScreenShot;
using osdtest::PumpPending;
using osdtest::PumpUntil;

namespace {

constexpr int kPictureId = 1763;
constexpr DWORD kWaitMs = 5000;

struct tagCLICK {
    WORD code;         // STN_CLICKED or STN_DBLCLK
    int selectedKey;   // what the parent reads while handling it
};

class CtrlRcTest : public ::testing::Test {
protected:
    void SetUp() override { Open(nullptr); }

    void Open(HINSTANCE resources) {
        m_picture.reset();
        m_parent.Reset();
        m_clicks.clear();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = L"KanzoCtrlRcTestParent";
        RegisterClassW(&wc);
        m_parent.Reset(CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"picture", WS_POPUP | WS_VISIBLE, 0, 0,
                                       260, 480, nullptr, nullptr, wc.hInstance, nullptr));
        ASSERT_TRUE(m_parent);
        SetWindowLongPtrW(m_parent.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        // As the key-assignment page's template has it: bitmap, notify, sunken.
        HWND control = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_NOTIFY | SS_SUNKEN,
                                       20, 20, 200, 440, m_parent.Get(), reinterpret_cast<HMENU>(kPictureId),
                                       wc.hInstance, nullptr);
        ASSERT_NE(control, nullptr);
        m_picture = std::make_unique<CCtrlRc>(resources);
        ASSERT_TRUE(m_picture->SubclassDlgItem(kPictureId, m_parent.Get()));
        SetForegroundWindow(m_parent.Get());
        PumpPending();
    }

    void TearDown() override {
        m_picture.reset();
        m_parent.Reset();
        PumpPending();
    }

    HWND Control() const { return m_picture->GetHwnd(); }
    bool NoFrame() const {
        RECT selection = m_picture->GetSelectionRect();
        return IsRectEmpty(&selection) != FALSE;
    }

    const tagRCKEYAREA& Area(int keyId) const {
        for (const tagRCKEYAREA& a : m_picture->GetKeyAreas()) {
            if (a.nKeyId == keyId)
                return a;
        }
        ADD_FAILURE() << "no area for key " << keyId;
        return m_picture->GetKeyAreas().front();
    }

    POINT ToScreen(int x, int y) const {
        POINT p = {x, y};
        ClientToScreen(Control(), &p);
        return p;
    }

    // A real click of the left button at a client point of the picture; waits
    // for the parent's notification.
    bool ClickAt(int x, int y) {
        POINT p = ToScreen(x, y);
        SetCursorPos(p.x, p.y);
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        const size_t before = m_clicks.size();
        if (SendInput(2, input, sizeof(INPUT)) != 2)
            return false;
        return PumpUntil([&] { return m_clicks.size() > before; }, kWaitMs);
    }

    // The control's client area as the screen shows it now.
    CScreenShot Shot() {
        RedrawWindow(Control(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpPending();
        CScreenShot shot;
        EXPECT_TRUE(shot.Capture());
        return shot;
    }
    COLORREF PixelAt(const CScreenShot& shot, int x, int y) const {
        POINT p = ToScreen(x, y);
        return shot.Pixel(p.x, p.y);
    }

    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CtrlRcTest*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_COMMAND && LOWORD(wParam) == kPictureId && self && self->m_picture)
            self->m_clicks.push_back({HIWORD(wParam), self->m_picture->GetSelectedKey()});
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    CQVWindow m_parent;
    std::unique_ptr<CCtrlRc> m_picture;
    std::vector<tagCLICK> m_clicks;
};

bool IsClick(WORD code) { return code == STN_CLICKED || code == STN_DBLCLK; }

RECT Grown(const tagRCKEYAREA& a, int by) {
    return {a.x - by, a.y - by, a.x + a.width + by, a.y + a.height + by};
}

TEST_F(CtrlRcTest, EveryTypeWithAPictureShowsItsBitmapWithTheFirstKeySelectedButNotFramed) {
    for (int type : {RCTYPE_NEC_866B, RCTYPE_NEC_04FB, RCTYPE_NEC_04EB, RCTYPE_NEC_1400, RCTYPE_0080,
                     RCTYPE_NEC_04EB_ALT, RCTYPE_MORVANE, RCTYPE_NEC_02BD, RCTYPE_2000}) {
        SCOPED_TRACE(type);
        ASSERT_TRUE(m_picture->SetRcType(type));
        const tagRCPICTURE* picture = GetRcPicture(type);
        EXPECT_TRUE(m_picture->HasBitmap());
        EXPECT_TRUE(IsWindowVisible(Control()));
        EXPECT_EQ(m_picture->GetRcType(), type);
        EXPECT_EQ(m_picture->GetSelectedKey(), picture->pAreas[0].nKeyId);
        EXPECT_TRUE(NoFrame());
        EXPECT_EQ(static_cast<int>(m_picture->GetKeyAreas().size()), picture->nAreas);
        // The bitmap static takes the size of its picture.
        RECT client;
        GetClientRect(Control(), &client);
        EXPECT_EQ(client.right, picture->nWidth);
        EXPECT_EQ(client.bottom, picture->nHeight);
    }
}

TEST_F(CtrlRcTest, ClickOnAKeySelectsItBeforeTheParentIsNotified) {
    ASSERT_TRUE(m_picture->SetRcType(RCTYPE_NEC_866B));
    for (int key : {KEYID_PROG_1, KEYID_MENU, KEYID_OK2, KEYID_STOP}) {
        const tagRCKEYAREA& a = Area(key);
        ASSERT_TRUE(ClickAt(a.x + a.width / 2, a.y + a.height / 2)) << "no notification for key " << key;
        EXPECT_TRUE(IsClick(m_clicks.back().code));
        EXPECT_EQ(m_clicks.back().selectedKey, key);
        EXPECT_EQ(m_picture->GetSelectionRect(), Grown(a, 2));
    }
}

TEST_F(CtrlRcTest, SecondPressOfADoubleClickSelectsItsKeyToo) {
    ASSERT_TRUE(m_picture->SetRcType(RCTYPE_NEC_04FB));
    const tagRCKEYAREA a = Area(KEYID_PROG_5);
    SendMessageW(Control(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(a.x + 1, a.y + 1));
    ASSERT_FALSE(m_clicks.empty());
    EXPECT_EQ(m_clicks.back().code, STN_DBLCLK);
    EXPECT_EQ(m_clicks.back().selectedKey, KEYID_PROG_5);
}

TEST_F(CtrlRcTest, KeyEdgesLeftAndTopInsideRightAndBottomBetweenKeys) {
    ASSERT_TRUE(m_picture->SetRcType(RCTYPE_NEC_04FB));
    const tagRCKEYAREA a = Area(KEYID_PROG_5);
    struct {
        int x, y;
        bool onKey;
    } points[] = {
        {a.x, a.y, true}, {a.x + a.width - 1, a.y + a.height - 1, true},
        {a.x + a.width, a.y, false}, {a.x, a.y + a.height, false}, {a.x - 1, a.y, false},
    };
    for (const auto& p : points) {
        SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
        ASSERT_TRUE(m_picture->SelectKey(KEYID_MENU));
        ASSERT_TRUE(ClickAt(p.x, p.y));
        if (p.onKey) {
            EXPECT_EQ(m_picture->GetSelectedKey(), KEYID_PROG_5);
            EXPECT_EQ(m_picture->GetSelectionRect(), Grown(a, 2));
        } else {
            // Between keys: the frame goes, the page keeps its current key.
            EXPECT_EQ(m_picture->GetSelectedKey(), KEYID_MENU);
            EXPECT_TRUE(NoFrame());
        }
    }
}

TEST_F(CtrlRcTest, StatesShowAsTwoPixelRingsInTheirColourOutsideTheKey) {
    ASSERT_TRUE(m_picture->SetRcType(RCTYPE_NEC_866B));
    const tagRCKEYAREA a = Area(KEYID_PROG_2);
    const int midY = a.y + a.height / 2;
    CScreenShot plain = Shot();
    for (int state : {RCKEY_STATE_DEFAULT, RCKEY_STATE_PRESET, RCKEY_STATE_USER, RCKEY_STATE_NONE}) {
        SCOPED_TRACE(state);
        ASSERT_TRUE(m_picture->SetKeyState(KEYID_PROG_2, state));
        EXPECT_EQ(Area(KEYID_PROG_2).nState, state);
        CScreenShot shot = Shot();
        for (POINT p : {POINT{a.x - 2, midY}, POINT{a.x - 1, midY}, POINT{a.x + a.width, midY},
                        POINT{a.x + a.width + 1, midY}, POINT{a.x + 3, a.y - 2}, POINT{a.x + 3, a.y + a.height + 1}})
            EXPECT_EQ(PixelAt(shot, p.x, p.y), state ? CCtrlRc::StateColour(state) : PixelAt(plain, p.x, p.y));
        // Neither the key nor what lies beyond the ring changes.
        for (POINT p : {POINT{a.x + a.width / 2, midY}, POINT{a.x - 3, midY}})
            EXPECT_EQ(PixelAt(shot, p.x, p.y), PixelAt(plain, p.x, p.y));
    }
}

TEST_F(CtrlRcTest, SelectionIsInvertedAndFramedInRedOverTheStateRing) {
    ASSERT_TRUE(m_picture->SetRcType(RCTYPE_NEC_866B));
    const tagRCKEYAREA a = Area(KEYID_PROG_PLUS);
    const int midY = a.y + a.height / 2;
    CScreenShot plain = Shot();
    ASSERT_TRUE(m_picture->SetKeyState(KEYID_PROG_PLUS, RCKEY_STATE_USER));
    ASSERT_TRUE(m_picture->SelectKey(KEYID_PROG_PLUS));
    EXPECT_EQ(m_picture->GetSelectedKey(), KEYID_PROG_PLUS);
    CScreenShot shot = Shot();
    for (int x : {a.x - 2, a.x - 1, a.x + a.width, a.x + a.width + 1})
        EXPECT_EQ(PixelAt(shot, x, midY), CCtrlRc::kSelectionColour) << x;
    for (int x : {a.x, a.x + a.width / 2, a.x + a.width - 1})
        EXPECT_EQ(PixelAt(shot, x, midY), PixelAt(plain, x, midY) ^ 0xFFFFFFu) << x;
    EXPECT_EQ(PixelAt(shot, a.x - 3, midY), PixelAt(plain, a.x - 3, midY));
}

TEST_F(CtrlRcTest, ClearKeyStatesRemovesEveryMarkAndSelectsTheFirstKey) {
    ASSERT_TRUE(m_picture->SetRcType(RCTYPE_NEC_04FB));
    CScreenShot plain = Shot();
    const tagRCKEYAREA a = Area(KEYID_PROG_9);
    ASSERT_TRUE(m_picture->SetKeyState(KEYID_PROG_9, RCKEY_STATE_PRESET));
    ASSERT_TRUE(m_picture->SetKeyState(KEYID_STOP, RCKEY_STATE_DEFAULT));
    ASSERT_TRUE(m_picture->SelectKey(KEYID_PROG_9));
    m_picture->ClearKeyStates();
    EXPECT_EQ(m_picture->GetSelectedKey(), KEYID_MOSAIC);
    EXPECT_TRUE(NoFrame());
    for (const tagRCKEYAREA& area : m_picture->GetKeyAreas())
        EXPECT_EQ(area.nState, RCKEY_STATE_NONE);
    CScreenShot shot = Shot();
    for (int x : {a.x - 2, a.x + 4, a.x + a.width + 1})
        EXPECT_EQ(PixelAt(shot, x, a.y + 4), PixelAt(plain, x, a.y + 4)) << x;
}

TEST_F(CtrlRcTest, RefusedTypesKeysAndStatesChangeNothing) {
    ASSERT_TRUE(m_picture->SetRcType(RCTYPE_NEC_04EB));
    ASSERT_TRUE(m_picture->SetKeyState(KEYID_OK, RCKEY_STATE_USER));
    ASSERT_TRUE(m_picture->SelectKey(KEYID_PROG_3));
    const RECT selection = m_picture->GetSelectionRect();
    for (int type : {RCTYPE_NONE, 0x0004, 0x0020, 0x4000})
        EXPECT_FALSE(m_picture->SetRcType(type)) << type;
    // Keys this remote lacks, ids that are no key, states out of range.
    for (int key : std::initializer_list<int>{KEYID_TIMER, KEYID_RED, 150, 60, KEYID_NONE, KEYID_COUNT, 1000}) {
        EXPECT_FALSE(m_picture->SelectKey(key)) << key;
        EXPECT_FALSE(m_picture->SetKeyState(key, RCKEY_STATE_USER)) << key;
    }
    for (int state : std::initializer_list<int>{-1, RCKEY_STATE_COUNT, 255})
        EXPECT_FALSE(m_picture->SetKeyState(KEYID_PROG_3, state)) << state;
    EXPECT_EQ(m_picture->GetRcType(), RCTYPE_NEC_04EB);
    EXPECT_TRUE(m_picture->HasBitmap());
    EXPECT_EQ(m_picture->GetKeyAreas().size(), static_cast<size_t>(GetRcPicture(RCTYPE_NEC_04EB)->nAreas));
    EXPECT_EQ(m_picture->GetSelectedKey(), KEYID_PROG_3);
    EXPECT_EQ(m_picture->GetSelectionRect(), selection);
    for (const tagRCKEYAREA& area : m_picture->GetKeyAreas())
        EXPECT_EQ(area.nState, area.nKeyId == KEYID_OK ? RCKEY_STATE_USER : RCKEY_STATE_NONE);
}

TEST_F(CtrlRcTest, MidiHidesTheControlAndAPictureShowsItAgain) {
    EXPECT_TRUE(m_picture->SetRcType(RCTYPE_MIDI));
    EXPECT_EQ(m_picture->GetRcType(), RCTYPE_MIDI);
    EXPECT_FALSE(IsWindowVisible(Control()));
    EXPECT_TRUE(m_picture->SetRcType(RCTYPE_NEC_04FB));
    EXPECT_TRUE(IsWindowVisible(Control()));
    EXPECT_EQ(m_picture->GetSelectedKey(), KEYID_MOSAIC);
}

TEST_F(CtrlRcTest, CursorIsTheHandOverKeysAndTheClassCursorStaysAlone) {
    ASSERT_TRUE(m_picture->SetRcType(RCTYPE_NEC_866B));
    const ULONG_PTR classCursor = GetClassLongPtrW(Control(), GCLP_HCURSOR);
    const tagRCKEYAREA a = Area(KEYID_POWER);
    struct {
        int x, y;
        LPCWSTR cursor;
    } points[] = {{a.x + 1, a.y + 1, IDC_HAND}, {a.x + a.width, a.y, IDC_ARROW}, {2, 2, IDC_ARROW}};
    for (const auto& p : points) {
        POINT s = ToScreen(p.x, p.y);
        SetCursorPos(s.x, s.y);
        PumpPending();
        SendMessageW(Control(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Control()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, p.cursor)) << p.x << "," << p.y;
    }
    EXPECT_EQ(GetClassLongPtrW(Control(), GCLP_HCURSOR), classCursor);
}

TEST_F(CtrlRcTest, MissingBitmapLeavesTheKeysClickable) {
    // A module without the pictures' bitmaps.
    Open(GetModuleHandleW(L"kernel32.dll"));
    ASSERT_TRUE(m_picture->SetRcType(RCTYPE_NEC_866B));
    EXPECT_FALSE(m_picture->HasBitmap());
    EXPECT_TRUE(IsWindowVisible(Control()));
    const tagRCKEYAREA a = Area(KEYID_PROG_7);
    ASSERT_TRUE(ClickAt(a.x + 2, a.y + 2));
    EXPECT_EQ(m_clicks.back().selectedKey, KEYID_PROG_7);
    // The empty picture is the dialog's colour, not what was on the screen before.
    EXPECT_EQ(PixelAt(Shot(), 100, 390), GetSysColor(COLOR_BTNFACE));
}

TEST_F(CtrlRcTest, PictureForTheReadme) {
    ASSERT_TRUE(m_picture->SetRcType(RCTYPE_NEC_1400));
    const int marks[][2] = {{KEYID_POWER, RCKEY_STATE_DEFAULT}, {KEYID_PROG_1, RCKEY_STATE_DEFAULT},
                            {KEYID_PROG_2, RCKEY_STATE_DEFAULT}, {KEYID_PROG_3, RCKEY_STATE_DEFAULT},
                            {KEYID_MENU, RCKEY_STATE_PRESET}, {KEYID_PLAY, RCKEY_STATE_PRESET},
                            {KEYID_STOP, RCKEY_STATE_PRESET}, {KEYID_RED_TIMER, RCKEY_STATE_USER},
                            {KEYID_VOLUME_PLUS, RCKEY_STATE_USER}, {KEYID_VOLUME_MINUS, RCKEY_STATE_USER}};
    for (const auto& m : marks)
        ASSERT_TRUE(m_picture->SetKeyState(m[0], m[1]));
    const tagRCKEYAREA a = Area(KEYID_OK);
    ASSERT_TRUE(ClickAt(a.x + a.width / 2, a.y + a.height / 2));
    EXPECT_TRUE(SaveWindowBitmap(Control(), osdtest::ArtefactPath(L"rc-picture-0040.bmp")));
}

}  // namespace
