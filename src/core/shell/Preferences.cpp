#include "Preferences.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "engine/Errors.h"

const std::string VersionString = "01.33.00";
TPreferences Preferences;

namespace {

const char *const RecordNames[PrefRecordCount] = {
    "SHOWGRID", "SHOWSYMBOL", "SHOWFUNCTION", "GRIDSIZE",  "KEYBOARDCODETYPE", "FONTSIZE", "FIXPLACES", "FLOATPLACES",
    "FIXMODE",  "EXPMODE",    "RADMODE",      "EQUALMODE", "FORMPOSITION",     "",         "STARTER",   "PRTMARGIN",
};

// Records stored as a flag, as text, as a number and as the whole record.
constexpr int FlagRecords[] = {prShowGrid, prShowSymbol, prShowFunction, prFixMode, prExpMode, prRadMode, prEqualMode};
constexpr int StringRecords[] = {prGridSize, prKeyboardType};
constexpr int IntegerRecords[] = {prFontSize, prFixPlaces, prFloatPlaces};
constexpr int BinaryRecords[] = {prFormPosition, prFormSize, prPrtMargin};

constexpr int32_t MaxPlaces = 15;
// A margin larger than this, or two opposite ones together, would leave
// little or no page on the smallest common paper (A5, 5.8 x 8.3 inches).
constexpr int32_t MaxMargin = 2500;
constexpr int32_t MaxOppositeMargins = 4000;
constexpr uint16_t PositionLimit = 10000;
constexpr int MinFormWidth = 640;
constexpr int MinFormHeight = 480;

// The record that `option` changes by `table`, or -1.
int RecordOf(TPrefOption option, std::initializer_list<std::pair<TPrefOption, int>> table)
{
    for (const auto &[o, index] : table)
        if (o == option)
            return index;
    return -1;
}

std::string RecordText(const TPrefRecord &r)
{
    return std::string(reinterpret_cast<const char *>(r.Bytes.data()), TPrefRecord::Size);
}

}  // namespace

// ---------------------------------------------------------------------------
// One record

std::string TPrefRecord::Name() const
{
    const int n = std::min<int>(Bytes[0], MaxName);
    return std::string(reinterpret_cast<const char *>(&Bytes[1]), size_t(n));
}

void TPrefRecord::SetName(const std::string &name)
{
    const size_t n = std::min<size_t>(name.size(), MaxName);
    std::fill(&Bytes[1], &Bytes[1] + MaxName, uint8_t(0));
    std::memcpy(&Bytes[1], name.data(), n);
    Bytes[0] = uint8_t(n);
}

std::string TPrefRecord::String() const
{
    const int n = std::min<int>(Bytes[28], MaxString);
    return std::string(reinterpret_cast<const char *>(&Bytes[29]), size_t(n));
}

void TPrefRecord::SetString(const std::string &text)
{
    const size_t n = std::min<size_t>(text.size(), MaxString);
    std::memcpy(&Bytes[29], text.data(), n);
    Bytes[28] = uint8_t(n);
}

void TPrefRecord::SetPair(uint16_t x, uint16_t y)
{
    Bytes[28] = uint8_t(x), Bytes[29] = uint8_t(x >> 8);
    Bytes[30] = uint8_t(y), Bytes[31] = uint8_t(y >> 8);
}

std::array<int32_t, 4> TPrefRecord::Margins() const
{
    return {Int32At(28), Int32At(32), Int32At(36), Int32At(40)};
}

void TPrefRecord::SetMargins(const std::array<int32_t, 4> &margins)
{
    for (int i = 0; i < 4; ++i)
        PutInt32(28 + 4 * i, margins[size_t(i)]);
}

bool TPrefRecord::Named(const std::string &name) const
{
    TPrefRecord expected;
    expected.SetName(name);
    return std::equal(&Bytes[0], &Bytes[1] + MaxName, &expected.Bytes[0]);
}

int32_t TPrefRecord::Int32At(int at) const
{
    const uint32_t v = uint32_t(Bytes[size_t(at)]) | uint32_t(Bytes[size_t(at) + 1]) << 8 |
                       uint32_t(Bytes[size_t(at) + 2]) << 16 | uint32_t(Bytes[size_t(at) + 3]) << 24;
    return int32_t(v);
}

void TPrefRecord::PutInt32(int at, int32_t value)
{
    const uint32_t v = uint32_t(value);
    for (int i = 0; i < 4; ++i)
        Bytes[size_t(at + i)] = uint8_t(v >> (8 * i));
}

// ---------------------------------------------------------------------------
// Defaults and setters

void TPreferences::SetDefaults()
{
    for (int i = 0; i < PrefRecordCount; ++i) {
        Records[i] = TPrefRecord();
        Records[i].SetName(RecordNames[i]);
    }
    Records[prShowFunction].SetFlag(true);
    Records[prGridSize].SetString(GridPortrait72);
    Records[prKeyboardType].SetString("US-default");
    Records[prFontSize].SetInteger(16);
    Records[prFixPlaces].SetInteger(2);
    Records[prFloatPlaces].SetInteger(6);
    Records[prRadMode].SetFlag(true);
    Records[prFormPosition].SetPair(50, 50);
    Records[prFormSize].SetPair(640, 480);
    Records[prStarter].SetInteger(1);
    Records[prPrtMargin].SetMargins({225, 225, 225, 225});
}

void TPreferences::SetFlag(TPrefOption option, bool value)
{
    const int index = RecordOf(option, {{poShowGrid, prShowGrid},
                                        {poShowSymbol, prShowSymbol},
                                        {poShowFunction, prShowFunction},
                                        {poFixMode, prFixMode},
                                        {poExpMode, prExpMode},
                                        {poRadMode, prRadMode},
                                        {poEqualMode, prEqualMode}});
    if (index >= 0)
        Records[index].SetFlag(value);
}

void TPreferences::SetGridSize(TPrefOption option)
{
    if (option == poStarter) {
        Records[prStarter].SetInteger(int32_t(uint32_t(Records[prStarter].Integer()) + 1));
        return;
    }
    const char *const sizes[] = {GridPortrait72, GridPortrait144, GridLandscape};
    if (option >= poPortrait72 && option <= poLandscape)
        Records[prGridSize].SetString(sizes[option - poPortrait72]);
}

void TPreferences::SetFormBounds(TPrefOption option, uint16_t x, uint16_t y)
{
    if (option == poFormSize) {
        Records[prFormSize].SetPair(x, y);
    } else if (option == poFormPosition) {
        // A maximised window reports a small negative position: it is kept
        // at 0 with the size shrunk by its frame.
        TPrefRecord &size = Records[prFormSize];
        if (x > PositionLimit) {
            x = 0;
            size.SetPair(uint16_t(size.X() - 10), size.Y());
        }
        if (y > PositionLimit) {
            y = 0;
            size.SetPair(size.X(), uint16_t(size.Y() - 10));
        }
        Records[prFormPosition].SetPair(x, y);
    }
}

void TPreferences::SetNumber(TPrefOption option, int32_t value)
{
    const int index =
        RecordOf(option, {{poFontSize, prFontSize}, {poFixPlaces, prFixPlaces}, {poFltPlaces, prFloatPlaces}});
    if (index >= 0)
        Records[index].SetInteger(value);
}

void TPreferences::SetMargins(TPrefOption option, const std::array<int32_t, 4> &margins)
{
    if (option != poPrtMargin)
        return;
    Records[prPrtMargin].SetFlag(true);
    Records[prPrtMargin].SetMargins(margins);
}

int32_t TPreferences::FixPlaces() const
{
    return std::clamp(Records[prFixPlaces].Integer(), int32_t(0), MaxPlaces);
}

int32_t TPreferences::FltPlaces() const
{
    return std::clamp(Records[prFloatPlaces].Integer(), int32_t(0), MaxPlaces);
}

std::pair<int, int> TPreferences::FormSize() const
{
    // A damaged record would ask for a window of up to 65535 pixels a side.
    const TPrefRecord &r = Records[prFormSize];
    return {std::clamp<int>(r.X(), MinFormWidth, PositionLimit), std::clamp<int>(r.Y(), MinFormHeight, PositionLimit)};
}

bool TPreferences::StoredMargins(std::array<int32_t, 4> &margins) const
{
    const TPrefRecord &r = Records[prPrtMargin];
    if (!r.Flag())
        return false;
    const std::array<int32_t, 4> m = r.Margins();
    for (int32_t v : m)
        if (v < 0 || v > MaxMargin)
            return false;
    if (m[0] + m[2] > MaxOppositeMargins || m[1] + m[3] > MaxOppositeMargins)
        return false;
    margins = m;
    return true;
}

void StoreKeyboardType(const std::string &layoutName)
{
    static const std::pair<const char *, const char *> names[] = {
        {"US default", "US-default"}, {"German", "german"}, {"Italian", "italian"}, {"BRAZIL", "brasilPT"}};
    for (const auto &[layout, stored] : names)
        if (layoutName == layout) {
            Preferences.Records[prKeyboardType].SetString(stored);
            return;
        }
}

// ---------------------------------------------------------------------------
// The fallback file

std::string TPreferences::FallbackBytes() const
{
    std::string bytes;
    for (const TPrefRecord &r : Records)
        bytes += RecordText(r);
    return bytes;
}

bool TPreferences::LoadFallback(const std::string &bytes)
{
    // Only whole records: a cut-off tail is never half applied.
    const int whole = std::min<int>(int(bytes.size() / TPrefRecord::Size), PrefRecordCount);
    bool allOurs = true;
    for (int i = 0; i < whole; ++i) {
        TPrefRecord r;
        std::memcpy(r.Bytes.data(), bytes.data() + size_t(i) * TPrefRecord::Size, TPrefRecord::Size);
        if (r.Named(RecordNames[i]))
            Records[i] = r;
        else
            allOurs = false;
    }
    return allOurs;
}

bool IsPreferenceFile(const std::string &bytes)
{
    if (bytes.size() != size_t(FallbackFileSize))
        return false;
    TPreferences probe;
    return probe.LoadFallback(bytes);
}

// ---------------------------------------------------------------------------
// Load and save

bool TPreferences::ReadRecordBinary(TPrefStore &store, int index)
{
    // A whole record under its own name only: one carrying another record's
    // name would overwrite that value.
    std::string bytes;
    if (!store.ReadBinary(RecordNames[index], bytes) || bytes.size() != size_t(TPrefRecord::Size))
        return false;
    TPrefRecord r;
    std::memcpy(r.Bytes.data(), bytes.data(), TPrefRecord::Size);
    if (!r.Named(RecordNames[index]))
        return false;
    Records[index] = r;
    return true;
}

bool TPreferences::LoadStore(TPrefStore &store)
{
    bool good = true;
    for (int i : {prShowGrid, prShowSymbol, prShowFunction}) {
        bool v = false;
        if (store.ReadBool(RecordNames[i], v))
            Records[i].SetFlag(v);
        else
            good = false;
    }
    for (int i : StringRecords) {
        std::string v;
        if (store.ReadString(RecordNames[i], v))
            Records[i].SetString(v);
        else
            good = false;
    }
    for (int i : IntegerRecords) {
        int32_t v = 0;
        if (store.ReadInteger(RecordNames[i], v))
            Records[i].SetInteger(v);
        else
            good = false;
    }
    for (int i : {prFixMode, prExpMode, prRadMode, prEqualMode}) {
        bool v = false;
        if (store.ReadBool(RecordNames[i], v))
            Records[i].SetFlag(v);
        else
            good = false;
    }
    // The binary values form one chain: after a bad one the rest stay unread.
    bool chain = ReadRecordBinary(store, prFormPosition);
    chain = chain && ReadRecordBinary(store, prFormSize);
    int32_t starter = 0;
    if (store.ReadInteger(RecordNames[prStarter], starter))
        Records[prStarter].SetInteger(starter);
    else
        good = false;
    chain = chain && ReadRecordBinary(store, prPrtMargin);
    return good && chain;
}

bool TPreferences::ReminderDate(TPrefStore &store, double today, double &next)
{
    double last = 0;
    const bool known = store.ReadDate(CheckDateName, last) && std::isfinite(last);
    if (!known) {
        next = today;
        return true;
    }
    if (!(today - last > ReminderAfterDays))
        return false;
    SetError(210, 1, 1);
    // The next reminder comes five days from now, however long ago the last
    // check was.
    next = today - ReminderAfterDays - 1.0 + ReminderEveryDays;
    return true;
}

bool TPreferences::Load(TPrefStore &store, double today)
{
    if (store.OpenReadOnly()) {
        const bool good = LoadStore(store);
        double next = 0;
        const bool write = ReminderDate(store, today, next);
        store.Close();
        if (write && store.Open()) {
            store.WriteDate(CheckDateName, next);
            store.Close();
        }
        return good;
    }
    std::string bytes;
    if (!store.ReadFallback(bytes))
        return false;
    return LoadFallback(bytes);
}

bool TPreferences::Save(TPrefStore &store)
{
    if (store.Open()) {
        for (int i : FlagRecords)
            store.WriteBool(RecordNames[i], Records[i].Flag());
        for (int i : StringRecords)
            store.WriteString(RecordNames[i], Records[i].String());
        for (int i : IntegerRecords)
            store.WriteInteger(RecordNames[i], Records[i].Integer());
        for (int i : BinaryRecords)
            store.WriteBinary(RecordNames[i], RecordText(Records[i]));
        store.WriteInteger(RecordNames[prStarter], Records[prStarter].Integer());
        if (store.Close()) {
            // Only our own preference file goes: a file of the user's that
            // happens to bear the name stays.
            std::string old;
            if (store.ReadFallback(old) && IsPreferenceFile(old))
                store.EraseFallback();
            return true;
        }
    }
    return store.WriteFallback(FallbackBytes());
}
