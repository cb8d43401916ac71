// The preferences from a damaged settings store or fallback file: each value
// missing, of another type, of any length or carrying another record's name,
// the check date any double, the fallback file of any length. Every record
// loaded keeps its own name and what the window applies stays inside what it
// can show; saving and loading again, through the store and through the
// fallback file, gives the same values.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzChecks.h"
#include "FuzzInput.h"
#include "engine/Errors.h"
#include "shell/Preferences.h"
#include "support/MemoryPrefStore.h"

namespace {

constexpr double Today = 46000.0;
const TPreferences Defaults;

// A record's bytes: another record's default, a few bytes changed, cut or
// padded to a length near 64.
std::string RecordBytes(FuzzInput &in)
{
    TPrefRecord r = Defaults.Records[in.Below(PrefRecordCount)];
    for (int n = in.Below(6); n > 0; --n)
        r.Bytes[size_t(in.Below(TPrefRecord::Size))] = in.Byte();
    std::string bytes(reinterpret_cast<const char *>(r.Bytes.data()), r.Bytes.size());
    if (in.Below(4) == 0)
        bytes.resize(size_t(in.Below(2 * TPrefRecord::Size)), char(in.Byte()));
    return bytes;
}

void PutValue(FuzzInput &in, MemoryPrefStore &store, const std::string &name)
{
    using Value = MemoryPrefStore::Value;
    switch (in.Below(8)) {
    case 0:
        return;  // missing
    case 1:
        store.values[name] = Value{'b', in.Below(3) == 0 ? in.Int32() : in.Below(2), {}};
        return;
    case 2:
        store.values[name] = Value{'i', in.Int32(), {}};
        return;
    case 3:
        store.values[name] = Value{'s', 0, in.Text(size_t(in.Below(48)))};
        return;
    case 4:
    case 5:
        store.values[name] = Value{'x', 0, RecordBytes(in)};
        return;
    case 6: {
        double days;
        const int32_t lo = in.Int32(), hi = in.Int32();
        std::memcpy(&days, &lo, 4);
        std::memcpy(reinterpret_cast<char *>(&days) + 4, &hi, 4);
        store.values[name] = Value{'d', 0, {}, days};
        return;
    }
    default:
        store.values[name] = Value{'d', 0, {}, Today - in.Below(64)};
        return;
    }
}

// Everything the window reads from the records, each in its own form, as
// one text.
std::string Applied(const TPreferences &p)
{
    std::string text;
    for (int i = 0; i < PrefRecordCount; ++i) {
        const TPrefRecord &r = p.Records[i];
        switch (i) {
        case prGridSize:
        case prKeyboardType:
            text += r.String();
            break;
        case prFontSize:
        case prFixPlaces:
        case prFloatPlaces:
        case prStarter:
            text += std::to_string(r.Integer());
            break;
        case prFormPosition:
        case prFormSize:
        case prPrtMargin:
            text += std::string(reinterpret_cast<const char *>(r.Bytes.data()), r.Bytes.size());
            break;
        default:
            text += char('0' + r.Flag());
        }
        text += '\n';
    }
    return text;
}

void CheckShowable(const TPreferences &p)
{
    for (int i = 0; i < PrefRecordCount; ++i)
        Check(p.Records[i].Named(Defaults.Records[i].Name()));
    Check(p.FixPlaces() >= 0 && p.FixPlaces() <= 15 && p.FltPlaces() >= 0 && p.FltPlaces() <= 15);
    const auto [width, height] = p.FormSize();
    Check(width >= 640 && width <= 10000 && height >= 480 && height <= 10000);
    std::array<int32_t, 4> m{-1, -1, -1, -1};
    if (p.StoredMargins(m)) {
        for (int32_t v : m)
            Check(v >= 0 && v <= 2500);
        Check(m[0] + m[2] <= 4000 && m[1] + m[3] <= 4000);
    } else {
        Check(m == (std::array<int32_t, 4>{-1, -1, -1, -1}));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool once = (InitErrorTexts(), true);
    (void)once;
    FuzzInput in(data, size);
    MemoryPrefStore store;
    store.exists = in.Below(3) != 0;
    if (store.exists) {
        for (const TPrefRecord &r : Defaults.Records)
            PutValue(in, store, r.Name());
        PutValue(in, store, CheckDateName);
    } else if (in.Below(4) != 0) {
        store.file = in.Rest();
    }
    ClearError();
    TPreferences loaded;
    loaded.Load(store, Today);
    ClearError();
    CheckShowable(loaded);

    // Through the store, then through the fallback file alone.
    for (const bool keyWritable : {true, false}) {
        MemoryPrefStore again;
        again.writable = keyWritable;
        Check(loaded.Save(again));
        Check(again.file.has_value() == !keyWritable);
        TPreferences reloaded;
        Check(reloaded.Load(again, Today));
        ClearError();
        CheckShowable(reloaded);
        Check(Applied(reloaded) == Applied(loaded));
        if (!keyWritable)
            Check(reloaded.FallbackBytes() == loaded.FallbackBytes());
    }
    return 0;
}
