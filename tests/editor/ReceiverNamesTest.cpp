// The receiver name table: one row per receiver slot, row n naming slot n.
#include "editor/ReceiverNames.h"

#include "app/ReceiverManager.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

TEST(ReceiverNames, EverySlotHasItsOwnRowWithANameThatFits) {
    static_assert(RECEIVER_NAME_ROWS == RECEIVER_SLOTS, "one row per receiver slot");
    EXPECT_STREQ(L"Midi In", GetReceiverName(RECEIVER_SLOT_MIDI));
    for (int slot = 0; slot < RECEIVER_NAME_ROWS; ++slot) {
        EXPECT_EQ(slot, g_receiverNames[slot].nSlot);
        const size_t length = wcsnlen(g_receiverNames[slot].szName, RECEIVER_NAME_CHARS);
        EXPECT_GT(length, 0u) << slot;
        EXPECT_LT(length, static_cast<size_t>(RECEIVER_NAME_CHARS)) << slot;
    }
    EXPECT_STREQ(L"", GetReceiverName(-1));
    EXPECT_STREQ(L"", GetReceiverName(RECEIVER_NAME_ROWS));
}
