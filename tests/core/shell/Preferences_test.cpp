// Preference records, their storage in the settings store and the fallback
// file, and the update reminder.
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

#include "engine/Errors.h"
#include "shell/Preferences.h"
#include "shell/UpdateReply.h"
#include "support/MemoryPrefStore.h"

namespace {

constexpr double Today = 46000.0;

std::string Hex(const std::string &bytes)
{
    std::string s;
    for (unsigned char c : bytes)
        s += "0123456789abcdef"[c >> 4], s += "0123456789abcdef"[c & 15];
    return s;
}

struct PreferencesTest : ::testing::Test {
    PreferencesTest() { ClearError(); }
    ~PreferencesTest() override { ClearError(); }
    TPreferences prefs;
};

// Every byte of the sixteen default records, as the fallback file holds them.
TEST_F(PreferencesTest, DefaultRecordsByteForByte)
{
    // Per record: the name, then the non-zero bytes from 25 on.
    // clang-format off
    const std::pair<const char *, std::string> expected[] = {
        {"SHOWGRID", ""}, {"SHOWSYMBOL", ""}, {"SHOWFUNCTION", "01"},
        {"GRIDSIZE", "0000000d" + Hex("portrait72x72")}, {"KEYBOARDCODETYPE", "0000000a" + Hex("US-default")},
        {"FONTSIZE", "00000010"}, {"FIXPLACES", "00000002"}, {"FLOATPLACES", "00000006"}, {"FIXMODE", ""},
        {"EXPMODE", ""}, {"RADMODE", "01"}, {"EQUALMODE", ""}, {"FORMPOSITION", "00000032003200"},
        {"", "0000008002e001"}, {"STARTER", "00000001"}, {"PRTMARGIN", "000000e1000000e1000000e1000000e1"}};
    // clang-format on
    std::string want;
    for (const auto &[name, rest] : expected) {
        std::string rec = Hex(std::string(1, char(strlen(name))) + name);
        rec.resize(50, '0');
        rec += rest;
        rec.resize(128, '0');
        want += rec;
    }
    const std::string bytes = prefs.FallbackBytes();
    EXPECT_EQ(Hex(bytes), want);
    EXPECT_TRUE(IsPreferenceFile(bytes));
}

TEST_F(PreferencesTest, PlacesFormSizeGridAndMarginsAsApplied)
{
    for (const auto &[stored, applied] : {std::pair(20, 15), {-1, 0}, {7, 7}, {1 << 30, 15}}) {
        prefs.SetNumber(poFixPlaces, stored), prefs.SetNumber(poFltPlaces, stored);
        EXPECT_EQ((std::pair(prefs.FixPlaces(), prefs.FltPlaces())), (std::pair(applied, applied)));
    }
    const std::tuple<uint16_t, uint16_t, int, int> sizes[] = {
        {800, 600, 800, 600}, {100, 65535, 640, 10000}, {10001, 479, 10000, 480}, {640, 480, 640, 480}};
    for (const auto &[x, y, width, height] : sizes)
        EXPECT_EQ((prefs.SetFormBounds(poFormSize, x, y), prefs.FormSize()), std::pair(width, height));
    // A maximised window's position above the screen: the height loses its frame.
    EXPECT_EQ((prefs.SetFormBounds(poFormPosition, 5, 65535), prefs.Records[prFormSize].Y()), 470);
    for (const auto &[option, size] : {std::pair(poLandscape, GridLandscape), {poPortrait144, GridPortrait144}})
        EXPECT_EQ((prefs.SetGridSize(option), prefs.Records[prGridSize].String()), size);
    StoreKeyboardType("BRAZIL"), StoreKeyboardType("Brazil");  // layout names match exactly
    EXPECT_EQ(Preferences.Records[prKeyboardType].String(), "brasilPT");
    std::array<int32_t, 4> m{};
    EXPECT_FALSE(prefs.StoredMargins(m));  // flag False: the printer's own stay
    const std::pair<std::array<int32_t, 4>, bool> margins[] = {
        {{500, 600, 700, 800}, true}, {{-1, 0, 0, 0}, false},      {{2500, 0, 2500, 0}, false},
        {{0, 2501, 0, 0}, false},     {{0, 2000, 0, 2001}, false}, {{2000, 2000, 2000, 2000}, true}};
    for (const auto &[set, ok] : margins) {
        prefs.SetMargins(poPrtMargin, set);
        m = {};
        EXPECT_EQ(std::pair(prefs.StoredMargins(m), m), std::pair(ok, ok ? set : std::array<int32_t, 4>{}));
    }
}

TEST_F(PreferencesTest, FormBoundsOfAMaximisedWindow)
{
    // Position (-8, -8) arrives as 16-bit unsigned values; each side past the limit is kept at 0 and the size
    // loses the frame on that side. Stored position, then the stored size of a 1000 x 700 window.
    const struct {
        uint16_t x, y;
        uint16_t wantX, wantY, wantW, wantH;
    } cases[] = {
        {120, 80, 120, 80, 1000, 700},
        {uint16_t(-8), uint16_t(-8), 0, 0, 990, 690},
        {10000, 10001, 10000, 0, 1000, 690},
        {10001, 10000, 0, 10000, 990, 700},
    };
    for (const auto &c : cases) {
        prefs.SetFormBounds(poFormSize, 1000, 700);
        prefs.SetFormBounds(poFormPosition, c.x, c.y);
        prefs.SetFormBounds(poFontSize, 1, 1);  // not a bounds option: nothing changes
        const TPrefRecord &position = prefs.Records[prFormPosition], &size = prefs.Records[prFormSize];
        EXPECT_EQ(std::tuple(position.X(), position.Y(), size.X(), size.Y()),
                  std::tuple(c.wantX, c.wantY, c.wantW, c.wantH));
    }
}

TEST_F(PreferencesTest, MissingOrMistypedValues)
{
    // A stored key deleted ('d'), holding another record ('w') or cut to 63 bytes
    // ('h'): the load's result, FONTSIZE (stored as 33) and the form's height (stored as 700).
    const std::tuple<const char *, char, bool, int32_t, uint16_t> cases[] = {{"FONTSIZE", 'd', false, 16, 700},
                                                                             {"GRIDSIZE", 'd', true, 33, 700},
                                                                             {"FORMPOSITION", 'w', false, 33, 480},
                                                                             {"", 'h', false, 33, 480},
                                                                             {"PRTMARGIN", 'w', false, 33, 700}};
    for (const auto &[name, how, result, fontSize, height] : cases) {
        MemoryPrefStore s;
        TPreferences p, q;
        p.SetNumber(poFontSize, 33), p.SetFormBounds(poFormSize, 900, 700);
        p.Save(s);
        auto &v = s.values[name];
        if (how == 'd')
            s.values.erase(name);
        else if (how == 'w')
            v.s.replace(1, 8, "FONTSIZE"), v.s[0] = 8;
        else
            v.s.pop_back();
        EXPECT_EQ(q.Load(s, Today), result) << name << how;
        EXPECT_EQ(std::tuple(q.Records[prFontSize].Integer(), q.Records[prFormSize].X(), q.Records[prFormSize].Y(),
                             q.Records[prGridSize].String()),
                  std::tuple(fontSize, uint16_t(height == 700 ? 900 : 640), height,
                             std::string(result ? "" : GridPortrait72)))
            << name << how;
    }
}

TEST_F(PreferencesTest, UpdateReminder)
{
    // Days since the last check, error raised, check date written; the next start the same day raises nothing.
    const std::tuple<double, int, double> cases[] = {
        {30.0, 0, Today - 30.0}, {31.0, 210, Today - 26.0}, {NAN, 0, Today}};
    for (const auto &[daysBack, error, written] : cases) {
        ClearError();
        MemoryPrefStore s;
        prefs.Save(s), s.WriteDate(CheckDateName, Today - daysBack);
        EXPECT_TRUE(prefs.Load(s, Today));
        EXPECT_EQ(std::tuple(ErrorCode, s.values[CheckDateName].d), std::tuple(error, written)) << daysBack;
        EXPECT_EQ(std::pair(ErrorCol, ErrorRow), error ? std::pair(1, 1) : std::pair(ErrorCol, ErrorRow));
        ClearError();
        EXPECT_TRUE(prefs.Load(s, Today) && !ErrorPending());
    }
}

TEST_F(PreferencesTest, FallbackFileWholeRecordsUnderTheirNames)
{
    TPreferences changed;
    for (int o : {0, 1, 9, 10, 16})
        changed.SetFlag(o, true);
    changed.SetNumber(poFltPlaces, 9), changed.SetGridSize(poStarter);
    const std::string full = changed.FallbackBytes();
    std::string misnamed = full;
    misnamed[64 * 7 + 1] = 'X';
    // The file, the load's result, the record flags, FLOATPLACES and STARTER read.
    const std::tuple<std::string, bool, const char *, int32_t, int32_t> cases[] = {
        {full.substr(0, 640), true, "1110000011100000", 9, 1}, {misnamed, false, "1110000011110000", 6, 2}};
    for (const auto &[file, result, flags, flt, starter] : cases) {
        MemoryPrefStore s;
        s.file = file;
        TPreferences p;
        std::string read;
        EXPECT_EQ(p.Load(s, Today), result);
        for (const TPrefRecord &r : p.Records)
            read += r.Flag() ? '1' : '0';
        EXPECT_EQ(std::tuple(read, p.Records[prFloatPlaces].Integer(), p.Records[prStarter].Integer()),
                  std::tuple(std::string(flags), flt, starter))
            << file.size();
    }
    MemoryPrefStore s;  // saving never erases a file that is not ours
    EXPECT_EQ((s.file = std::string(1024, 'x'), prefs.Save(s), s.file), std::string(1024, 'x'));
}

TEST(UpdateReplyTest, Verdicts)
{
    // The reply's general rules are the fuzz oracle's; here the exact verdicts at their edges.
    const std::tuple<std::string, TUpdateVerdict, std::string> cases[] = {
        {"01.34.00", TUpdateVerdict::Newer, "01.34.00"},
        {"01.33.001\r", TUpdateVerdict::Newer, "01.33.001"},
        {"", TUpdateVerdict::UpToDate, ""},
        {"01.33.00\n\n", TUpdateVerdict::Failed, ""},
        {std::string(300, '9'), TUpdateVerdict::Failed, ""}};
    for (const auto &[body, verdict, version] : cases) {
        std::string v = "old";
        EXPECT_EQ(std::pair(JudgeUpdateReply(body, v), v), std::pair(verdict, version)) << body;
    }
    EXPECT_EQ(UpdateRequestPath(-12), "/download/version.vlm?-12");
    EXPECT_TRUE(IsNewerVersion("\xC0", "01"));  // by byte code, not signed char
}

}  // namespace
