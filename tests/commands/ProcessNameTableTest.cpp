// The process path cache: a process is its id and its creation time.

#include "commands/ProcessNameTable.h"

#include <gtest/gtest.h>

TEST(ProcessNameTable, AReusedIdIsNeverTakenForTheOldProcess) {
    CProcessNameTable table;
    table.Store(42, 1000, L"C:\\apps\\player.exe");
    ASSERT_NE(nullptr, table.Find(42, 1000));
    EXPECT_EQ(L"C:\\apps\\player.exe", *table.Find(42, 1000));
    EXPECT_EQ(nullptr, table.Find(42, 2000)) << "the id now names a newer process";
    EXPECT_EQ(nullptr, table.Find(43, 1000));

    table.Store(42, 2000, L"C:\\tools\\editor.exe");
    EXPECT_EQ(1u, table.GetCount()) << "the old process's entry goes";
    EXPECT_EQ(nullptr, table.Find(42, 1000));
    EXPECT_EQ(L"C:\\tools\\editor.exe", *table.Find(42, 2000));
}

TEST(ProcessNameTable, AFullTableDropsItsOldestEntry) {
    CProcessNameTable table(2);
    table.Store(1, 10, L"a.exe");
    table.Store(2, 20, L"b.exe");
    table.Store(3, 30, L"c.exe");
    EXPECT_EQ(2u, table.GetCount());
    EXPECT_EQ(nullptr, table.Find(1, 10));
    EXPECT_NE(nullptr, table.Find(2, 20));
    EXPECT_NE(nullptr, table.Find(3, 30));
}

TEST(ProcessNameTable, FileNameOfAPath) {
    EXPECT_EQ(L"KanzoTarget.exe", ExecutableFileName(L"C:\\tests\\commands\\KanzoTarget.exe"));
    EXPECT_EQ(L"app.exe", ExecutableFileName(L"/unix/path/app.exe"));
    EXPECT_EQ(L"app.exe", ExecutableFileName(L"app.exe"));
    EXPECT_EQ(L"", ExecutableFileName(L"C:\\folder\\"));
}
