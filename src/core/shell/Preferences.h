// The user's settings between runs: sixteen fixed 64-byte records, kept in
// the platform's settings store, or in the file "Velmora.con" in the working
// directory when the store cannot be used.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

// The program's version text; the update check compares the server's reply
// with it.
extern const std::string VersionString;

// One preference record, byte for byte as stored:
//   0 name length (0..24), 1-24 name, 25 flag, 26-27 zero,
//   28-63 value: integer (28-31), string (28 length, 29-60 characters),
//   pair (28-29 X, 30-31 Y) or four integers (28-43). Little-endian.
struct TPrefRecord {
    static constexpr int Size = 64;
    static constexpr int MaxName = 24;
    static constexpr int MaxString = 32;

    std::array<uint8_t, Size> Bytes{};

    // Length bytes larger than their field are read as the field's size.
    std::string Name() const;
    void SetName(const std::string &name);
    bool Flag() const { return Bytes[25] != 0; }
    void SetFlag(bool value) { Bytes[25] = value ? 1 : 0; }
    int32_t Integer() const { return Int32At(28); }
    void SetInteger(int32_t value) { PutInt32(28, value); }
    std::string String() const;
    // Cut to 32 characters; bytes of a longer string written earlier stay.
    void SetString(const std::string &text);
    uint16_t X() const { return uint16_t(Bytes[28] | Bytes[29] << 8); }
    uint16_t Y() const { return uint16_t(Bytes[30] | Bytes[31] << 8); }
    void SetPair(uint16_t x, uint16_t y);
    // Left, top, right, bottom in thousandths of an inch.
    std::array<int32_t, 4> Margins() const;
    void SetMargins(const std::array<int32_t, 4> &margins);

    // Whether the record's name bytes are exactly those of `name`.
    bool Named(const std::string &name) const;

private:
    int32_t Int32At(int at) const;
    void PutInt32(int at, int32_t value);
};

// Record indexes.
enum : int {
    prShowGrid = 0,
    prShowSymbol = 1,
    prShowFunction = 2,
    prGridSize = 3,
    prKeyboardType = 4,
    prFontSize = 5,
    prFixPlaces = 6,
    prFloatPlaces = 7,
    prFixMode = 8,
    prExpMode = 9,
    prRadMode = 10,
    prEqualMode = 11,
    prFormPosition = 12,
    prFormSize = 13,
    prStarter = 14,
    prPrtMargin = 15,
    PrefRecordCount = 16,
};

// The option numbers through which the window changes single records.
using TPrefOption = int;
enum : TPrefOption {
    poShowGrid = 0,
    poShowSymbol = 1,
    poShowFunction = 2,
    poPortrait72 = 3,
    poPortrait144 = 4,
    poLandscape = 5,
    poFontSize = 6,
    poFixPlaces = 7,
    poFltPlaces = 8,
    poFixMode = 9,
    poExpMode = 10,
    poRadMode = 11,
    poEqualMode = 16,
    poFormPosition = 18,
    poFormSize = 19,
    poStarter = 20,
    poPrtMargin = 21,
};

// The sheet sizes as GRIDSIZE holds them (the semicolon belongs to the text).
inline constexpr const char *GridPortrait72 = "portrait72x72";
inline constexpr const char *GridPortrait144 = "portrait144x144;";
inline constexpr const char *GridLandscape = "landscape108x48";

// Date value of the last successful update check, in days since
// 30 December 1899.
inline constexpr const char *CheckDateName = "VERSCHKDATE";
inline constexpr const char *FallbackFileName = "Velmora.con";
constexpr int FallbackFileSize = PrefRecordCount * TPrefRecord::Size;

// The platform's settings store (one key holding one value per record) and
// the fallback file, as the preferences use them.
class TPrefStore {
public:
    virtual ~TPrefStore() = default;
    // Read-only opening never creates the key: false when it does not exist.
    virtual bool OpenReadOnly() = 0;
    // Opens for writing, creating the key; false when it cannot be written.
    virtual bool Open() = 0;
    // Ends the access; false when what was written could not be stored.
    virtual bool Close() = 0;

    // Each read is false when the value is missing or of another type, and
    // then leaves `value` alone. A missing string reads as empty and is true.
    virtual bool ReadBool(const std::string &name, bool &value) = 0;
    virtual bool ReadInteger(const std::string &name, int32_t &value) = 0;
    virtual bool ReadString(const std::string &name, std::string &value) = 0;
    virtual bool ReadBinary(const std::string &name, std::string &value) = 0;
    virtual bool ReadDate(const std::string &name, double &days) = 0;
    virtual void WriteBool(const std::string &name, bool value) = 0;
    virtual void WriteInteger(const std::string &name, int32_t value) = 0;
    virtual void WriteString(const std::string &name, const std::string &value) = 0;
    virtual void WriteBinary(const std::string &name, const std::string &value) = 0;
    virtual void WriteDate(const std::string &name, double days) = 0;

    // The fallback file: false when it cannot be read or written. Writing
    // replaces the whole file at once.
    virtual bool ReadFallback(std::string &bytes) = 0;
    virtual bool WriteFallback(const std::string &bytes) = 0;
    virtual void EraseFallback() = 0;
};

class TPreferences {
public:
    TPrefRecord Records[PrefRecordCount];

    TPreferences() { SetDefaults(); }
    void SetDefaults();

    void SetFlag(TPrefOption option, bool value);
    void SetGridSize(TPrefOption option);
    void SetFormBounds(TPrefOption option, uint16_t x, uint16_t y);
    void SetNumber(TPrefOption option, int32_t value);
    void SetMargins(TPrefOption option, const std::array<int32_t, 4> &margins);

    // Reads every record from the store, else from the fallback file; true
    // when all values were there and the window may apply them. `today` in
    // days since 30 December 1899 drives the update reminder (error 210).
    bool Load(TPrefStore &store, double today);
    // Writes every record to the store, else to the fallback file; false
    // when neither could be written.
    bool Save(TPrefStore &store);

    // Values as the window applies them, kept inside what it can show.
    int32_t FixPlaces() const;
    int32_t FltPlaces() const;
    // FORMSIZE's width and height, no smaller than the window's minimum and
    // no larger than the positions the window stores.
    std::pair<int, int> FormSize() const;
    // PRTMARGIN's margins, when set by the user and leaving a page to print on.
    bool StoredMargins(std::array<int32_t, 4> &margins) const;

    // The sixteen records as the fallback file holds them.
    std::string FallbackBytes() const;
    // Takes the whole records of a fallback file that carry their own name;
    // true when every whole record present did.
    bool LoadFallback(const std::string &bytes);

private:
    bool LoadStore(TPrefStore &store);
    // The update-check date to write at load, if any; raises the reminder.
    static bool ReminderDate(TPrefStore &store, double today, double &next);
    bool ReadRecordBinary(TPrefStore &store, int index);
};

// The window's layout-name callback: keeps the keyboard layout of
// Preferences in step ("US default" → "US-default", "German" → "german",
// "Italian" → "italian", "BRAZIL" → "brasilPT"; other names change nothing).
void StoreKeyboardType(const std::string &layoutName);

// Whether `bytes` are a preference file of this program (1024 bytes, every
// record named as ours), the only kind of "Velmora.con" Save may erase.
bool IsPreferenceFile(const std::string &bytes);

// Days after the last successful update check at which the reminder starts,
// and the days between two reminders.
constexpr double ReminderAfterDays = 30.0;
constexpr double ReminderEveryDays = 5.0;

extern TPreferences Preferences;
