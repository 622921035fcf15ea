#include "features/setmode_catalogue.h"

#include <cctype>
#include <cstdio>

#include <unicode/utf8.h>

namespace tqm5 {
namespace {

using List = std::vector<std::string>;
using G = SetModeGroup;
using E = SettingEncoding;
constexpr auto S = SetModePageKind::SetMode;
constexpr auto C = SetModePageKind::CommonSet;

std::string format(const char* pattern, int value) {
    char buf[48];
    std::snprintf(buf, sizeof buf, pattern, value);
    return buf;
}

// first..last as plain numbers, or through a printf pattern.
List numbers(int first, int last, const char* pattern = "%d", int step = 1) {
    List out;
    for (int v = first; v <= last; v += step) out.push_back(format(pattern, v));
    return out;
}

List operator+(List a, const List& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const List OffOn{"OFF", "ON"};
const List ManualAuto{"MANUAL", "AUTO"};
const List ScanTimers = List{"Busy"} + numbers(1, 25, "%2dSEC");

List keyFunctions(int language) {
    List out;
    for (const KeyFunction& k : KeyFunctionCodes) out.push_back(language == Japanese ? k.japanese : k.english);
    return out;
}

List scanModes(int language) {
    static const char* const elapseEn[] = {"  1sec. elapse", "  2sec. elapse", "  3sec. elapse", "  4sec. elapse",
                                           "  5sec. elapse", " 10sec. elapse", " 15sec. elapse", " 30sec. elapse",
                                           "  1min. elapse", "1.5min. elapse", "  2min. elapse", "  3min. elapse",
                                           "  4min. elapse", "  5min. elapse"};
    static const char* const elapseJa[] = {"  1秒(時間指定)", "  2秒(時間指定)", "  3秒(時間指定)", "  4秒(時間指定)",
                                           "  5秒(時間指定)", " 10秒(時間指定)", " 15秒(時間指定)", " 30秒(時間指定)",
                                           "  1分(時間指定)", "1.5分(時間指定)", "  2分(時間指定)", "  3分(時間指定)",
                                           "  4分(時間指定)", "  5分(時間指定)"};
    List out{language == Japanese ? "ﾋﾞｼﾞｰｽｷｬﾝ" : "BUSY SCAN"};
    out = out + numbers(1, 25, language == Japanese ? "%2d秒(ﾀｲﾏｰｽｷｬﾝ)" : "%2dsec. timer");
    for (const char* e : language == Japanese ? elapseJa : elapseEn) out.push_back(e);
    return out;
}

const List EncodingTones{" 67.0(Hz)", " 69.3(Hz)", " 71.9(Hz)", " 74.4(Hz)", " 77.0(Hz)", " 79.7(Hz)", " 82.5(Hz)",
                         " 85.4(Hz)", " 88.5(Hz)", " 91.5(Hz)", " 94.8(Hz)", " 97.4(Hz)", "100.0(Hz)", "103.5(Hz)",
                         "107.2(Hz)", "110.9(Hz)", "114.8(Hz)", "118.8(Hz)", "123.0(Hz)", "127.3(Hz)", "131.8(Hz)",
                         "136.5(Hz)", "141.3(Hz)", "146.2(Hz)", "151.4(Hz)", "156.7(Hz)", "162.2(Hz)", "167.9(Hz)",
                         "173.8(Hz)", "179.9(Hz)", "186.2(Hz)", "192.8(Hz)", "203.5(Hz)", "210.7(Hz)", "218.1(Hz)",
                         "225.7(Hz)", "233.6(Hz)", "241.8(Hz)", "250.3(Hz)"};

// An item whose entries are the same in both languages.
SetModeItem same(std::string control, G g, std::string en, std::string ja, List entries, SetModePageKind page,
                 int startup, int byte, E enc = E::Position, bool refilled = false) {
    return SetModeItem{std::move(control), g, std::move(en), std::move(ja), entries, entries, refilled, page,
                       startup, byte, byte < 0 && enc == E::Position ? E::None : enc};
}

// An item whose entries differ by language: refilled on every switch.
SetModeItem both(std::string control, G g, std::string en, std::string ja, List enEntries, List jaEntries,
                 SetModePageKind page, int startup, int byte, E enc = E::Position) {
    return SetModeItem{std::move(control), g, std::move(en), std::move(ja), std::move(enEntries),
                       std::move(jaEntries), true, page, startup, byte, enc};
}

std::vector<SetModeItem> build() {
    const List txPowerEn{"Low Power1", "Low Power2", "Middle Power", "High Power"};
    const List txPowerJa{"ﾛｰﾊﾟﾜｰ1", "ﾛｰﾊﾟﾜｰ2", "ﾐﾄﾞﾙﾊﾟﾜｰ", "ﾊｲﾊﾟﾜｰ"};
    const List keyLockEn{"PTT", "17-key pad", "Dials", "PTT + 17-key", "PTT + dials", "17-key + dials", "All"};
    const List keyLockJa{"PTTｷｰのみ", "ｷｰﾎﾞｰﾄﾞのみ", "ﾀﾞｲﾔﾙのみ", "PTT+ｷｰﾎﾞｰﾄﾞ", "PTT+ﾀﾞｲﾔﾙ", "ｷｰﾎﾞｰﾄﾞ+ﾀﾞｲﾔﾙ", "全て"};
    const std::string D = "Set_Mode_Display[", P = "Set_Mode_Power[", T = "Set_Mode_Send[", B = "Set_Mode_Toutyou[",
                      R = "Set_Mode_Repeater[", V = "Set_Mode_Recv[", N = "Set_Mode_Scan[", O = "Set_Mode_Sound[",
                      K = "Set_Mode_Key[";
    return {
        // Screen display
        same(D + "0]", G::ScreenDisplay, "Language", "Language", {"Japanese", "English"}, S, 1, 62, E::Language),
        both(D + "1]", G::ScreenDisplay, "Illumination", "照明設定",
             {"Always Lit", " 5sec.", "10sec.", "15sec.", "20sec.", "25sec.", "30sec.", "Disable all", "Turn out"},
             {"常灯", " 5秒", "10秒", "15秒", "20秒", "25秒", "30秒", "全て消灯", "消灯"}, S, 1, 44),
        same(D + "2]", G::ScreenDisplay, "Dimmer", "明るさ設定", numbers(1, 5), S, 0, 67, E::PosPlus1),
        same(D + "3]", G::ScreenDisplay, "Screen contrast", "ｺﾝﾄﾗｽﾄ設定", numbers(1, 10, "%2d"), S, 7, 82, E::PosPlus1),
        both(D + "4]", G::ScreenDisplay, "Font size", "非操作側  表示サイズ", {"Small", "Large"}, {"小", "大"}, S, 0, 117),
        both(D + "5]", G::ScreenDisplay, "Font Bold", "フォント設定",
             {"Bold all", "Op. band bold", "Op. band thin", "Thin all"}, {"太字", "操作バンド太字", "操作バンド細字", "細字"},
             S, 0, 119),
        both(D + "6]", G::ScreenDisplay, "Vol display type", "音量表示形式",
             {"Normal", "Center(Active)", "Center(Non act.)"}, {"右端に小さく", "中心(同バンド)", "中心(逆バンド)"}, C, 0, 129),
        both(D + "7]", G::ScreenDisplay, "Display Type", "画面表示形式", {"Dual band", "Single band"},
             {"ﾃﾞｭｱﾙﾊﾞﾝﾄﾞ表示", "ｼﾝｸﾞﾙﾊﾞﾝﾄﾞ表示"}, C, 0, 69),
        both(D + "8]", G::ScreenDisplay, "S METER", "Ｓﾒｰﾀの種類", {"Normal", "Simple"}, {"ノーマル", "シンプル"}, C, 1, 132),
        same(D + "9]", G::ScreenDisplay, "CH scope Display", "チャンネル　スコープ表示", OffOn, C, 0, 75),
        same(D + "10]", G::ScreenDisplay, "", "", OffOn, C, 0, 76),
        same(D + "11]", G::ScreenDisplay, "Bank No.(Main)", "バンク番号(Main)", numbers(0, 56), C, 0, 10),
        same(D + "12]", G::ScreenDisplay, "Bank No.(Sub)", "バンク番号(Sub)", numbers(0, 56), C, 0, 11),
        same(D + "13]", G::ScreenDisplay, "TV CH", "テレビのCH", numbers(1, 62), C, 0, 13, E::PosPlus1),
        same(D + "14]", G::ScreenDisplay, "Preset band(Main)", "プリセットバンド(Main)", {"UHF", "1200MHz"}, C, 0, 14,
             E::PosPlus3),
        same(D + "15]", G::ScreenDisplay, "Preset band(Sub)", "プリセットバンド(Sub)", {"AM", "FM", "TV"}, C, 0, 15),
        // Power and battery
        both(P + "0]", G::PowerBatt, "Auto-power-off", "ｵｰﾄﾊﾟﾜｰｵﾌ",
             {"OFF", "30 min.", "1 hour", "2 hrs.", "3 hrs.", "5 hrs.", "8 hrs."},
             {"解除", "30分", "1時間", "2時間", "3時間", "5時間", "8時間"}, S, 0, 45),
        both(P + "1]", G::PowerBatt, "BS ratio", "ﾊﾞｯﾃﾘｰｾｰﾌﾞ",
             {"Batt. save off", "0.2 : 0.2", "0.2 : 0.4", "0.2 : 0.8", "0.2 : 1.2", "0.2 : 1.8"},
             {"OFF", "0.2秒:0.2秒", "0.2秒:0.4秒", "0.2秒:0.8秒", "0.2秒:1.2秒", "0.2秒:1.8秒"}, S, 3, 46),
        both(P + "2]", G::PowerBatt, "Battery type", "電池の設定", {"Battery pack", "Dry battery"},
             {"バッテリーパック", "乾電池"}, S, 0, 98),
        // Transmitter
        both(T + "0]", G::Transmitter, "VOX", "VOX設定", {"OFF", "Internal mic", "Option mic"},
             {"OFF", "内蔵マイク", "外部マイク"}, S, 0, 63),
        same(T + "1]", G::Transmitter, "VOX LEVEL", "VOX感度", numbers(0, 7), S, 0, 97),
        both(T + "2]", G::Transmitter, "TOT", "TOT設定", List{"OFF"} + numbers(30, 450, "%3dsec.", 30),
             List{"無効"} + numbers(30, 450, "%3d秒", 30), S, 0, 65),
        both(T + "3]", G::Transmitter, "TOT penalty", "TOTﾍﾟﾅﾙﾃｨ機能", List{"OFF"} + numbers(1, 15, "%2dsec."),
             List{"無効"} + numbers(1, 15, "%2d秒"), S, 0, 74),
        same(T + "4]", G::Transmitter, "BCLO", "BCLO機能", OffOn, S, 0, 73),
        both(T + "5]", G::Transmitter, "Tone-burst", "トーンコール",
             {"DISABLE", "CALL", "1000Hz", "1450Hz", "1750Hz", "2100Hz"},
             {"無効", "CALL", "1000Hz", "1450Hz", "1750Hz", "2100Hz"}, S, 0, 124),
        same(T + "6]", G::Transmitter, "Modulation Mode", "電波型式", ManualAuto, C, 0, 23),
        same(T + "7]", G::Transmitter, "Freq Step", "周波数ステップ", ManualAuto, C, 0, 25),
        same(T + "8]", G::Transmitter, "ATT", "アッテネーター", {"OFF", "1", "2", "3", "4"}, C, 0, 42, E::Position, true),
        both(T + "9]", G::Transmitter, "Full-duplex", "同時送受信設定", {"Prohibited", "Permitted"}, {"禁止", "許可"}, C, 0,
             145),
        both(T + "10]", G::Transmitter, "144MHz TX Power", "144MHz帯送信出力", txPowerEn, txPowerJa, C, 0, 88),
        both(T + "11]", G::Transmitter, "430MHz TX Power", "430MHz帯送信出力", txPowerEn, txPowerJa, C, 0, 89),
        both(T + "12]", G::Transmitter, "1200MHz TX Power", "1200MHz帯送信出力", {"LOW POWER", "High Power"},
             {"ﾛｰﾊﾟﾜｰ", "ﾊｲﾊﾟﾜｰ"}, C, 0, 90),
        // Bug detector
        both(B + "0]", G::BugDetector, "Detect mode", "探索ﾓｰﾄﾞの種類", {"Silent", "Sound"}, {"サイレント", "サウンド"}, S, 0,
             49, E::Kept),
        same(B + "1]", G::BugDetector, "Sensitivity", "検出感度", numbers(1, 5), S, 2, 48, E::KeptPosPlus1),
        // Repeater
        same(R + "0]", G::Repeater, "Auto rpt. set", "ｵｰﾄﾚﾋﾟｰﾀｰ設定", OffOn, S, 1, 78, E::Kept, true),
        same(R + "1]", G::Repeater, "Repeater shift", "Repeater shift", {"-5.000", "OFF", "+5.000"}, S, 0, -1,
             E::ReadAsFirst),
        same(R + "2]", G::Repeater, "Encoding Tone", "Encoding Tone", EncodingTones, S, 0, -1, E::ReadAsFirst),
        same(R + "3]", G::Repeater, "Cross Band set", "ｸﾛｽﾊﾞﾝﾄﾞ", OffOn, S, 0, 72, E::Kept, true),
        // Receiver
        both("Set_Mode_Preset", G::Receiver, "Preset mode", "表示", {"Activate", "Deactivate"}, {"表示する", "表示しない"},
             S, 1, 123),
        same(V + "0]", G::Receiver, "AM antenna", "バーアンテナ", OffOn, S, 0, 101),
        same(V + "1]", G::Receiver, "Clk noise shift", "クロックシフト", OffOn, S, 0, 116),
        both(V + "2]", G::Receiver, "Tone SQ pri", "TSQ･DCS優先設定", {"Active band", "Main band", "Sub band"},
             {"操作バンド優先", "メイン優先", "サブ優先"}, S, 0, 80),
        both(V + "3]", G::Receiver, "DCS operation", "DCSタイプ設定", {"Nomal", "Keep"}, {"ノーマル", "キープ"}, S, 0, 104),
        both(V + "4]", G::Receiver, "TSF operation", "発信器探索音設定", {"Always", "Temporary stop"}, {"常時", "一時休止"},
             S, 0, 64),
        both(V + "5]", G::Receiver, "Receiver range", "運用周波数限定", {"Wideband RX", "Amateur Bands"},
             {"全周波数", "アマチュア限定"}, S, 0, 118, E::ShownOnly01),
        same(V + "6]", G::Receiver, "Squelch(Main)", "スケルチ(Main)", numbers(0, 9), C, 0, 4),
        same(V + "7]", G::Receiver, "Squelch(Sub)", "スケルチ(Sub)", numbers(0, 9), C, 0, 5),
        // Scanning
        both(N + "0]", G::Scanning, "Scan mode", "ｽｷｬﾝﾀｲﾌﾟ", scanModes(English), scanModes(Japanese), S, 0, 38),
        both(N + "1]", G::Scanning, "Scan skip", "スキップ設定", {" OFF", " ON"}, {" 無効", " 有効"}, S, 0, 35),
        both(N + "2]", G::Scanning, "Pri interval", "ﾌﾟﾗｲｵﾘﾃｨ待受時間", numbers(5, 60, "%2dsec.", 5),
             numbers(5, 60, "%2d秒", 5), S, 0, 37),
        both(N + "3]", G::Scanning, "Pri duration", "ﾌﾟﾗｲｵﾘﾃｨ停止時間", List{"BUSY"} + numbers(1, 25, "%2dsec."),
             List{"ﾋﾞｼﾞｰ"} + numbers(1, 25, "%2d秒"), S, 0, 36),
        same(N + "4]", G::Scanning, "VFO SCAN(Main)", "VFOｽｷｬﾝ(Main)", ScanTimers, S, 0, 16),
        same(N + "5]", G::Scanning, "VFO SCAN(Sub)", "VFOｽｷｬﾝ(Sub)", ScanTimers, S, 0, 17),
        same(N + "6]", G::Scanning, "Memory SCAN(Main)", "ﾒﾓﾘｰｽｷｬﾝ(Main)", ScanTimers, S, 0, 18),
        same(N + "7]", G::Scanning, "Memory SCAN(Sub)", "ﾒﾓﾘｰｽｷｬﾝ(Sub)", ScanTimers, S, 0, 19),
        // Sound
        same(O + "0]", G::Sound, "Beep sound Lv.", "ﾋﾞｰﾌﾟ音量設定", {"OFF", "1", "2", "3", "4"}, S, 2, 47),
        both(O + "1]", G::Sound, "Pager", "ベル機能設定", {"OFF", "Main-band only", "Sub-band only", "Either band"},
             {"無効", "ﾒｲﾝ受信時", "ｻﾌﾞ受信時", "どちらか受信時"}, S, 0, 32),
        same(O + "2]", G::Sound, "End-beep", "エンドピー音", OffOn, S, 0, 77),
        same(O + "3]", G::Sound, "Mic Gain", "マイクゲイン", numbers(1, 4), C, 0, 68, E::PosPlus1),
        same(O + "4]", G::Sound, "VOL(Main)", "音量(Main)", numbers(0, 20), C, 0, 2),
        same(O + "5]", G::Sound, "VOL(Sub)", "音量(Sub)", numbers(0, 20), C, 0, 3),
        // Key assignment
        both(K + "0]", G::KeyAssignment, "Key lock mode", "ｷｰﾛｯｸﾓｰﾄﾞ", keyLockEn, keyLockJa, S, 5, 100),
        both(K + "1]", G::KeyAssignment, "Moni key mode", "MONIキー設定", {"Monitor", "Mute"}, {"ﾓﾆﾀｰ", "ﾐｭｰﾄ"}, S, 0, 41),
        both(K + "2]", G::KeyAssignment, "Moni operation", "MONIキー動作", {"Push", "Hold"}, {"ﾌﾟｯｼｭ", "ﾎｰﾙﾄﾞ"}, S, 0, 40),
        both(K + "3]", G::KeyAssignment, "Moni active on", "MONIキー操作対象",
             {"Main-band only", "Sub-band only", "operating-band", "Both bands"},
             {"ﾒｲﾝﾊﾞﾝﾄﾞ", "ｻﾌﾞﾊﾞﾝﾄﾞ", "操作ﾊﾞﾝﾄﾞ", "両ﾊﾞﾝﾄﾞ"}, S, 0, 122),
        both(K + "4]", G::KeyAssignment, "Mainband dial", "ダイヤル左右", {"L:MAIN / SUB:R", "L:SUB / MAIN:R"},
             {"左:ﾒｲﾝ  ｻﾌﾞ:右", "左:ｻﾌﾞ  ﾒｲﾝ:右"}, S, 0, 94),
        same(K + "5]", G::KeyAssignment, "Dial Ring", "ダイヤル上下",
             {"Freq:Top\u3000Vol:Lower", "Freq:Lower\u3000Vol:Top", "Squelch:Top\u3000Freq:Lower",
              "Squelch:Lower\u3000Freq:Top"},
             S, 0, 93, E::DialRing),
        both(K + "6]", G::KeyAssignment, "Wild key assign", "WILDｷｰ設定", keyFunctions(English), keyFunctions(Japanese),
             S, 0, 53, E::Code),
        both(K + "7]", G::KeyAssignment, "Lamp key assign", "LAMPｷｰ設定", keyFunctions(English), keyFunctions(Japanese),
             S, 1, 96, E::Code),
        both(K + "8]", G::KeyAssignment, "Band transition", "バンド移動", {"NO", "YES"}, {"移動しない", "移動する"}, S, 0, 39),
        same(K + "9]", G::KeyAssignment, "Key lock Type", "キーロック状態", {"OFF", "LOCK1", "LOCK2"}, S, 0, 57),
        same(K + "10]", G::KeyAssignment, "Op. band", "対象操作バンド", {"Main", "Sub"}, S, 0, 61),
        both(K + "11]", G::KeyAssignment, "Moni key TX", "MONIキー特殊機能",
             {"DISABLE", "Sub-band", "Main-band L pow.", "Main-band H pow."},
             {"無効", "ｻﾌﾞﾊﾞﾝﾄﾞ", "ﾒｲﾝﾊﾞﾝﾄﾞﾛｰﾊﾟﾜｰ", "ﾒｲﾝﾊﾞﾝﾄﾞﾊｲﾊﾟﾜｰ"}, S, 0, 141),
        both(K + "12]", G::KeyAssignment, "Set Mode Exit", "セットモード復帰時間",
             {"Manual", "5SEC", "10SEC", "15SEC", "30SEC", "1MIN", "1.5MIN", "2MIN", "3MIN", "4MIN", "5MIN"},
             {"手動", "5秒", "10秒", "15秒", "30秒", "1分", "1.5分", "2分", "3分", "4分", "5分"}, S, 0, -1, E::None),
        // Other items
        same("Combo2", G::ChDisplay, "CH.Display Mode", "ﾁｬﾝﾈﾙ表示ﾓｰﾄﾞ", OffOn, S, 0, 6, E::ChDisplay),
        same("Set_Mode_Mem[0]", G::Memory, "Write Protect", "Write Protect", {"OFF", "ON", "一時解除"}, S, 0, -1,
             E::WriteProtect),
    };
}

}  // namespace

const std::array<KeyFunction, KeyFunctionCount> KeyFunctionCodes{{
    {0x82, "Language", "language／言語"},
    {0x15, "Illumination", "照明設定"},
    {0x8A, "Dimmer", "明るさ設定"},
    {0xBC, "Screen contrast", "コントラスト設定"},
    {0xCA, "Font size", "非操作側表示サイズ"},
    {0xDA, "Font Bold", "フォント設定"},
    {0xF1, "Opening string", "ｵｰﾌﾟﾆﾝｸﾞﾒｯｾｰｼﾞ"},
    {0x19, "Auto-power-off", "ｵｰﾄﾊﾟﾜｰｵﾌ"},
    {0x1A, "BS ratio", "ﾊﾞｯﾃﾘｰｾｰﾌﾞ"},
    {0xC3, "Battery type", "電池の設定"},
    {0x1D, "Beep Sound Lv.", "ビープ音量設定"},
    {0x1E, "Pager", "ベル機能設定"},
    {0xB2, "End-beep", "エンドピー音"},
    {0x83, "VOX", "VOX設定"},
    {0x87, "TOT", "TOT設定"},
    {0xA6, "TOT penalty", "TOTペナルティ機能"},
    {0xA5, "BCLO", "BCLO機能"},
    {0x94, "Tone-burst", "トーンコール"},
    {0xF0, "Full-duplex", "同時送受信設定"},
    {0xB4, "Auto rpt. set", "ｵｰﾄﾚﾋﾟｰﾀｰ設定"},
    {0x97, "Auto-dialer", "DTMFｵｰﾄﾀﾞｲﾔﾗｰ"},
    {0x98, "WAIT timing", "DTMF WAIT時間"},
    {0x99, "First-digit time", "DTMF一桁目ﾊﾞｰｽﾄ"},
    {0x9A, "DTMF burst time", "DTMFﾊﾞｰｽﾄ時間"},
    {0xED, "DTMF pause time", "DTMFﾎﾟｰｽﾞ時間"},
    {0x0B, "AM antenna", "バーアンテナ"},
    {0xA0, "Clk noise shift", "クロックシフト"},
    {0xB6, "Tone SQ pri", "TSQ･DCS優先設定"},
    {0xC7, "DCS operation", "DCSタイプ設定"},
    {0x86, "TSF operation", "発信器探索音設定"},
    {0xD4, "Receiver range", "運用周波数限定"},
    {0xDF, "Preset mode", "ﾌﾟﾘｾｯﾄﾓｰﾄﾞ設定"},
    {0xBA, "Bank-link", "ﾘﾝｸ設定"},
    {0x1C, "Overwrite", "ライトプロテクト"},
    {0x66, "Scan mode", "スキャンタイプ"},
    {0x33, "Scan skip", "スキップ設定"},
    {0x78, "Pri interval", "ﾌﾟﾗｲｵﾘﾃｨ待受時間"},
    {0x67, "Pri duration", "ﾌﾟﾗｲｵﾘﾃｨ停止時間"},
    {0x2E, "Activate", "盗聴器発見機能"},
    {0x2F, "Detect mode", "探索ﾓｰﾄﾞの種類"},
    {0x18, "Sensitivity", "検出感度"},
    {0xC5, "Key lock mode", "キーロックモード"},
    {0x14, "Moni key mode", "MONIキー設定"},
    {0x13, "Moni operation", "MONIキー動作"},
    {0xDB, "Moni active on", "MONIキー操作対象"},
    {0x9D, "Mainband dial", "ダイヤル左右"},
    {0x9E, "Dial ring", "ダイヤル上下"},
    {0x70, "Wild key assign", "WILDｷｰ設定"},
    {0x6E, "Lamp key assign", "LAMPｷｰ設定"},
    {0x30, "Band transition", "バンド移動"},
    {0x68, "Set mode exit", "セットモード復帰時間"},
}};

const SetModeGroupCaption& groupCaption(SetModeGroup g) {
    static const SetModeGroupCaption captions[] = {
        {"<SCREEN DISPLAY>", "≪表示設定≫"},    {"<POWER & BATT.>", "≪電源設定≫"},
        {"<TRANSMITTER>", "≪送信設定≫"},       {"<BUG DETECTOR>", "≪盗聴器発見≫"},
        {"<REPEATER>", "≪レピーター設定≫"},    {"<RECEIVER>", "≪受信設定≫"},
        {"<SCANNING>", "≪ｽｷｬﾝ設定≫"},          {"<SOUND>", "≪音設定≫"},
        {"<KEY ASSIGNMENT>", "≪キー操作設定≫"}, {"CH.Display Mode", "ﾁｬﾝﾈﾙ表示ﾓｰﾄﾞ"},
        {"MEMORY", "MEMORY"},
    };
    return captions[static_cast<int>(g)];
}

const std::vector<SetModeItem>& setModeCatalogue() {
    static const std::vector<SetModeItem> items = build();
    return items;
}

int setModeItemIndex(const std::string& control) {
    const auto& items = setModeCatalogue();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].control == control) return static_cast<int>(i);
    return -1;
}

const char* openingSlideCaption(int language) { return language == Japanese ? "ｵｰﾌﾟﾆﾝｸﾞｽﾗｲﾄﾞ動作" : "Opening Slide"; }
const char* chDisplayCaption(int language) { return language == Japanese ? "ﾁｬﾝﾈﾙ表示ﾓｰﾄﾞ" : "CH.Display Mode"; }

const char* const ScanTimerCaption = "Timer Set";
const char* const ScanTimerUnit = "(SEC)";

bool scanTimerAcceptsKey(const std::string& text, int key) {
    if (key == 8) return true;
    if (key < '0' || key > '9') return false;
    return text.size() < 3;
}

std::string normaliseScanTimer(const std::string& text) {
    std::size_t characters = 0;
    for (char c : text) characters += !U8_IS_TRAIL(static_cast<uint8_t>(c));
    if (characters >= 4) return "1";
    std::string digits;
    for (char c : text)
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
    if (digits.empty()) return "1";
    const int value = std::stoi(digits);
    return value < 1 || value > 300 ? "1" : digits;
}

}  // namespace tqm5
