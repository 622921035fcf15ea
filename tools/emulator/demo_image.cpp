#include "emulator/demo_image.h"

#include "channels/record_codec.h"
#include "channels/value_tables.h"
#include "emulator/radio_emulator.h"

namespace tqm5::emu {
namespace {

// Indices into the value tables.
constexpr int Step5k = 0, Step8_33k = 2, Step10k = 3, Step12_5k = 4, Step20k = 6, Step100k = 10;
constexpr int Tone88_5 = 8, Tone100 = 12, Tone103_5 = 13, Tone131_8 = 20;
constexpr int Dcs054 = 10, Dcs134 = 23;
constexpr int Train1000 = 7, TrainJR = 28;

struct Channel {
    int row;
    const char* freq;
    const char* mode = "FM";
    int step = Step20k;
    const char* toneMode = "None";
    int tx = Tone88_5, rx = Tone88_5, dcs = 0, train = TrainJR;
    const char* shift = "Off";
    const char* offset = "0.000MHz";
    bool skip = false;
    const char* name = "";  // user characters as U+2460..U+2467
};

// Japanese amateur practice: 430 MHz repeaters listen 5 MHz below with an
// 88.5 Hz tone, 1200 MHz repeaters 20 MHz below.
const Channel kChannels[] = {
    // Bank 0: 144 MHz
    {.row = 1, .freq = "145.00000MHz", .name = "ﾖﾋﾞﾀﾞｼ"},
    {.row = 2, .freq = "145.50000MHz", .name = "東京ﾓｰﾋﾞﾙ"},
    {.row = 3, .freq = "145.80000MHz", .skip = true, .name = "ISS"},
    {.row = 4, .freq = "145.30000MHz", .mode = "NFM", .step = Step12_5k, .toneMode = "TSQ",
     .tx = Tone100, .rx = Tone100, .name = "ｸﾗﾌﾞ局"},
    {.row = 5, .freq = "144.64000MHz", .toneMode = "DCS", .dcs = Dcs054, .name = "DCSﾃｽﾄ"},
    {.row = 6, .freq = "145.66000MHz", .toneMode = "Tone", .name = "ｲﾍﾞﾝﾄ\u2460"},
    // Bank 1: 430 MHz
    {.row = 101, .freq = "433.00000MHz", .name = "ﾖﾋﾞﾀﾞｼ430"},
    {.row = 102, .freq = "439.22000MHz", .toneMode = "Tone", .shift = "-", .offset = "5.000MHz",
     .name = "横浜ﾚﾋﾟｰﾀ"},
    {.row = 103, .freq = "439.84000MHz", .toneMode = "Tone", .shift = "-", .offset = "5.000MHz",
     .name = "東京タワー"},
    {.row = 104, .freq = "438.80000MHz", .toneMode = "Tone", .shift = "-", .offset = "5.000MHz",
     .skip = true, .name = "大阪レピータ"},
    {.row = 105, .freq = "434.50000MHz", .mode = "NFM", .step = Step12_5k, .toneMode = "TSQ",
     .tx = Tone103_5, .rx = Tone103_5, .name = "さくら\u2461"},
    {.row = 106, .freq = "435.00000MHz", .toneMode = "DCS", .dcs = Dcs134, .name = "ＤＣＳ専用"},
    {.row = 107, .freq = "433.50000MHz", .step = Step10k, .name = "Simplex 433.50"},
    // Bank 2: 1200 MHz
    {.row = 201, .freq = "1295.00000MHz", .name = "1200ﾖﾋﾞﾀﾞｼ"},
    {.row = 202, .freq = "1293.56000MHz", .toneMode = "Tone", .shift = "-", .offset = "20.000MHz",
     .name = "名古屋1200"},
    {.row = 203, .freq = "1291.50000MHz", .toneMode = "Tone", .shift = "-", .offset = "20.000MHz",
     .skip = true, .name = "新宿\u2467"},
    {.row = 204, .freq = "1294.00000MHz", .toneMode = "TSQ", .tx = Tone131_8, .rx = Tone131_8,
     .name = "\u2462\u2463ｸﾞﾙｰﾌﾟ"},
    {.row = 205, .freq = "1271.00000MHz", .shift = "+", .offset = "12.000MHz", .name = "ATV"},
    // Bank 3: listening only
    {.row = 301, .freq = "118.10000MHz", .mode = "AM", .step = Step8_33k, .name = "羽田ﾀﾜｰ"},
    {.row = 302, .freq = "80.00000MHz", .mode = "WFM", .step = Step100k, .name = "FM東京"},
    {.row = 303, .freq = "0.59400MHz", .mode = "AM", .step = Step5k, .name = "NHK第1"},
    {.row = 304, .freq = "150.61000MHz", .step = Step12_5k, .toneMode = "Train", .train = TrainJR,
     .name = "JR東日本"},
    {.row = 305, .freq = "360.20000MHz", .step = Step12_5k, .toneMode = "Train",
     .train = Train1000, .skip = true, .name = "私鉄"},
    // Program scan edges: 144 to 146 MHz, 430 to 440 MHz
    {.row = 1001, .freq = "144.00000MHz", .name = "2m ｼﾀ"},
    {.row = 1002, .freq = "146.00000MHz", .name = "2m ｳｴ"},
    {.row = 1003, .freq = "430.00000MHz"},
    {.row = 1004, .freq = "440.00000MHz"},
    // Dual watch: main on odd rows, sub on even rows
    {.row = 1101, .freq = "145.00000MHz", .name = "ﾒｲﾝ"},
    {.row = 1102, .freq = "433.00000MHz", .name = "ｻﾌﾞ"},
    {.row = 1103, .freq = "439.22000MHz", .toneMode = "Tone", .shift = "-", .offset = "5.000MHz",
     .name = "横浜"},
    {.row = 1104, .freq = "1293.56000MHz", .toneMode = "Tone", .shift = "-",
     .offset = "20.000MHz", .name = "名古屋"},
    // Priority
    {.row = 1301, .freq = "433.00000MHz", .name = "PRIO"},
    // Pass channels, two on one frequency
    {.row = 1404, .freq = "433.04000MHz", .name = "ﾉｲｽﾞ"},
    {.row = 1405, .freq = "433.04000MHz"},
    {.row = 1406, .freq = "145.14000MHz"},
    {.row = 1407, .freq = "1294.48000MHz"},
    // Transmitter search
    {.row = 1504, .freq = "144.50000MHz", .name = "TSF"},
};

void put(ChannelGrid& g, const Channel& c) {
    const int r = c.row;
    g.setCell(r, ColFreq, c.freq);
    g.setCell(r, ColMode, c.mode);
    g.setCell(r, ColStep, *StepTable.text(c.step));
    g.setCell(r, ColCarrier, *TrainTable.text(c.train));
    g.setCell(r, ColToneMode, c.toneMode);
    g.setCell(r, ColTxTone, *ToneTable.text(c.tx));
    g.setCell(r, ColRxTone, *ToneTable.text(c.rx));
    g.setCell(r, ColDcs, *DcsTable.text(c.dcs));
    g.setCell(r, ColShift, c.shift);
    g.setCell(r, ColOffset, c.offset);
    g.setCell(r, ColSkip, c.skip ? "*" : "");
    g.setNameString(r - 1, c.name);
    g.setCell(r, ColName, nameToDisplay(c.name));
    RowAttributes& a = g.attr(r);
    a.txTone = static_cast<uint8_t>(c.tx);
    a.rxTone = static_cast<uint8_t>(c.rx);
    a.dcs = static_cast<uint8_t>(c.dcs);
    a.train = static_cast<uint8_t>(c.train);
    a.step = static_cast<uint8_t>(c.step);
    a.inUse = 1;
}

}  // namespace

ChannelGrid demoGrid() {
    ChannelGrid g;
    for (const Channel& c : kChannels) put(g, c);
    return g;
}

std::vector<uint8_t> demoImage(const ChannelGrid& grid) {
    std::vector<uint8_t> image(MemorySize, 0);
    for (int row = 1; row <= LastRow; ++row) {
        const Record rec = encodeRecord(grid, row);
        std::copy(rec.begin(), rec.end(), image.begin() + addressOfRow(row));
    }
    return image;
}

}  // namespace tqm5::emu
