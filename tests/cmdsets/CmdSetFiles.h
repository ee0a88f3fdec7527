#pragma once
// Temporary command-set files for tests: a fresh folder per fixture with a
// preset, a user and a legacy user file, and a folder of fake executables.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "cmdsets/CmdSetAdmin.h"

class CmdSetFilesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file as ASCII text, lines joined with CRLF.
    static void WriteText(const std::wstring& path, const std::string& text);
    static std::string ReadText(const std::wstring& path);
    // An empty "<name>" in the executables folder; returns its path.
    std::wstring MakeExe(const std::wstring& name) const;

    CCmdSetPaths Paths() const;
    CAppPathSources Sources() const;
    std::wstring UserValue(const wchar_t* section, const wchar_t* key) const;

    std::wstring m_dir;
    std::wstring m_exeDir;
};

// The temporary folder tree of one test, removed with everything in it.
void RemoveTree(const std::wstring& dir);
