#include "channels/value_tables.h"

namespace tqm5 {
namespace {

constexpr std::string_view kSteps[] = {"5KHz",  "6.25KHz", "8.33KHz", "10KHz", "12.5KHz", "15KHz",
                                       "20KHz", "25KHz",   "30KHz",   "50KHz", "100KHz",  "125KHz",
                                       "150KHz", "200KHz", "500KHz",  "1MHz"};
constexpr std::string_view kTones[] = {
    "67.0Hz",  "69.3Hz",  "71.9Hz",  "74.4Hz",  "77.0Hz",  "79.7Hz",  "82.5Hz",  "85.4Hz",
    "88.5Hz",  "91.5Hz",  "94.8Hz",  "97.4Hz",  "100.0Hz", "103.5Hz", "107.2Hz", "110.9Hz",
    "114.8Hz", "118.8Hz", "123.0Hz", "127.3Hz", "131.8Hz", "136.5Hz", "141.3Hz", "146.2Hz",
    "151.4Hz", "156.7Hz", "162.2Hz", "167.9Hz", "173.8Hz", "179.9Hz", "186.2Hz", "192.8Hz",
    "203.5Hz", "210.7Hz", "218.1Hz", "225.7Hz", "233.6Hz", "241.8Hz", "250.3Hz"};
constexpr std::string_view kDcs[] = {
    "023", "025", "026", "031", "032", "036", "043", "047", "051", "053", "054", "065", "071",
    "072", "073", "074", "114", "115", "116", "122", "125", "131", "132", "134", "143", "145",
    "152", "155", "156", "162", "165", "172", "174", "205", "212", "223", "225", "226", "243",
    "244", "245", "246", "251", "252", "255", "261", "263", "265", "266", "271", "274", "306",
    "311", "315", "325", "331", "332", "343", "346", "351", "356", "364", "365", "371", "411",
    "412", "413", "423", "431", "432", "445", "446", "452", "454", "455", "462", "464", "465",
    "466", "503", "506", "516", "523", "526", "532", "546", "565", "606", "612", "624", "627",
    "631", "632", "654", "662", "664", "703", "712", "723", "731", "732", "734", "743", "754"};
#define TRAIN_HZ                                                                                  \
    "300Hz", "400Hz", "500Hz", "600Hz", "700Hz", "800Hz", "900Hz", "1000Hz", "1100Hz", "1200Hz", \
        "1300Hz", "1400Hz", "1500Hz", "1600Hz", "1700Hz", "1800Hz", "1900Hz", "2000Hz",          \
        "2100Hz", "2200Hz", "2300Hz", "2400Hz", "2500Hz", "2600Hz", "2700Hz", "2800Hz",          \
        "2900Hz", "3000Hz"
constexpr std::string_view kTrain[] = {TRAIN_HZ, "ＪＲ"};
constexpr std::string_view kTrainList[] = {TRAIN_HZ, "JR"};
#undef TRAIN_HZ
constexpr std::string_view kModes[] = {"NFM", "FM", "AM", "WFM"};
constexpr std::string_view kToneModes[] = {"None", "Train", "Tone", "TSQ", "SQ", "DCS"};
constexpr std::string_view kShifts[] = {"Off", "+", "-"};
constexpr std::string_view kModeOptions[] = {"FM", "AM", "NFM", "WFM"};
constexpr std::string_view kToneModeOptions[] = {"None", "Tone", "TSQ", "SQ", "DCS", "Train"};

template <std::size_t N>
constexpr ValueTable table(const std::string_view (&a)[N]) {
    return ValueTable{a, static_cast<int>(N)};
}

}  // namespace

std::optional<std::string> ValueTable::text(int index) const {
    if (index < 0 || index >= count) return std::nullopt;
    return std::string(entries[index]);
}

int ValueTable::indexOf(std::string_view t) const {
    for (int i = 0; i < count; ++i)
        if (entries[i] == t) return i;
    return -1;
}

const ValueTable StepTable = table(kSteps);
const ValueTable ToneTable = table(kTones);
const ValueTable DcsTable = table(kDcs);
const ValueTable TrainTable = table(kTrain);
const ValueTable TrainListTable = table(kTrainList);
const ValueTable ModeTable = table(kModes);
const ValueTable ToneModeTable = table(kToneModes);
const ValueTable ShiftTable = table(kShifts);
const ValueTable ModeOptions = table(kModeOptions);
const ValueTable ToneModeOptions = table(kToneModeOptions);
const ValueTable ShiftOptions = table(kShifts);

int trainIndexOf(std::string_view t) {
    int i = TrainTable.indexOf(t);
    return i >= 0 ? i : TrainListTable.indexOf(t);
}

bool inTransmitBand(long long f) {
    // The transmit bands are the bands of the three call channels.
    return (f >= CallVhfLow && f <= CallVhfHigh) || (f >= CallUhfLow && f <= CallUhfHigh) ||
           (f >= Call12Low && f <= Call12High);
}

bool inBlockedRange(long long f) {
    return (f >= Blocked1Low && f <= Blocked1High) || (f >= Blocked2Low && f <= Blocked2High);
}

}  // namespace tqm5
