// A language file saved as UTF-8 with a byte-order mark, as today's editors save it, shows the same
// texts as the file in the ANSI code page: none shifted, every umlaut right.
#include "harness/AppFixture.h"
#include "harness/Process.h"
#include "harness/WorkDir.h"

#include "common/File.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using namespace e2e;

std::string Convert(const std::string& text, UINT from, UINT to)
{
    const int wide = ::MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring utf16(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), &utf16[0], wide);
    const int bytes = ::WideCharToMultiByte(to, 0, utf16.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(to, 0, utf16.data(), wide, &out[0], bytes, nullptr, nullptr);
    return out;
}

using Utf8LanguageTest = CAppFixture;

TEST_F(Utf8LanguageTest, AGermanFileSavedAsUtf8WithAMarkShowsItsTextsInPlace)
{
    std::vector<uint8_t> windows1252;
    ASSERT_TRUE(ReadWholeFile((BinDir() + "\\deutsch.lan").c_str(), windows1252));
    const std::string german(windows1252.begin(), windows1252.end());
    m_dir->Write("deutsch.lan", "\xEF\xBB\xBF" + Convert(german, 1252, CP_UTF8));

    ASSERT_NO_FATAL_FAILURE(StartApp());
    m_app->SelectCombo(IDC_LANGUAGE_LIST, 1);
    ASSERT_TRUE(WaitUntil([&] { return m_app->Title() == "Flickmere - Fensterrekorder"; }));
    // Read back through the ANSI code page the test shares with the program.
    EXPECT_EQ(m_app->Text(IDC_ABOUT_BUTTON), Convert("\xDC"
                                                     "ber",
                                                     1252, CP_ACP)); // text 0
    EXPECT_EQ(m_app->Text(IDC_GROUP_WINDOWS), Convert("Fenster f\xFCr die Aufnahme w\xE4hlen", 1252, CP_ACP));
    EXPECT_EQ(m_app->Text(IDC_REFRESH), "Aktualisieren");
    EXPECT_EQ(m_app->Text(IDC_CAPTURE), "Aufnehmen");
}

} // namespace
