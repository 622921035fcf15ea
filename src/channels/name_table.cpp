#include "channels/name_table.h"

#include <vector>

#include "channels/cp932.h"

namespace tqm5 {
namespace {

const char* const kKanji =
    "愛圧以伊位囲易移井域育一茨隠右宇羽運永英衛越円園遠応押横岡沖屋温音下化何可家歌河火画賀解回海開外害柿"
    "拡格確隔学楽潟割活轄乾完幹感監管簡間関丸岸岩喜器基岐機帰気畿紀規輝逆久休宮急救旧去距京共強教橋興業局"
    "玉均禁近金九区空熊群型形系経継警桁検県見原減源現言限古固庫戸糊五後御語護光公効口向広更構江浩港甲航行"
    "降項香高号合刻国黒込根佐左才災細在坂阪崎埼作削索察札三山仕四士始子市思指施止私紙視児字時滋示自鹿式七"
    "実車遮取手種受周州秋終集充重宿出瞬処所署除小松沼消照象上城常信心振新森神水衰数菅世瀬制成政盛西青静石"
    "跡接設仙先千専川線船選前全操相総送増蔵側則束測続村他太対帯待滞隊台大第滝択沢脱谷丹単探短端団断値知地"
    "池中庁張朝町聴長鳥津追通停定締鉄天転田電登都度土島東盗湯灯当答藤動同道徳特独読栃奈那内縄南二日認濃能"
    "播覇波馬売舶八発抜半範飯非尾姫媛百表秒品浜不夫富府阜武部復幅福複分文聞兵平並別変編保報放方芳防北幌本"
    "磨毎迄万民務無名明面木目野優有様用葉陽来絡梨理裏離陸留了両良量力林類令鈴列連路六録和澤俊";

// The codes of the kanji, in order, from one conversion of the whole list:
// the table is built at start-up, where tabulating the whole code page
// (which cp932Code does on its first use) would cost more than the window.
// Every kanji in the list is a double-byte character of the code page.
std::vector<uint16_t> kanjiCodes(const std::string& kanji) {
    std::vector<uint16_t> codes;
    const std::string bytes = toCp932(kanji);
    const std::u32string chars = toU32(kanji);
    if (bytes.size() == 2 * chars.size()) {
        for (std::size_t i = 0; i < bytes.size(); i += 2)
            codes.push_back(static_cast<uint16_t>((static_cast<unsigned char>(bytes[i]) << 8) |
                                                  static_cast<unsigned char>(bytes[i + 1])));
        return codes;
    }
    for (char32_t k : chars) {  // not all double-byte: one character at a time
        const int code = cp932Code(k);
        codes.push_back(static_cast<uint16_t>(code < 0 ? 0 : code));
    }
    return codes;
}

}  // namespace

NameCharTable::NameCharTable() {
    int i = 0;
    auto range = [&](int lo, int hi) {
        for (int c = lo; c <= hi; ++c) entries_[i++] = static_cast<uint16_t>(c);
    };
    range(0x829F, 0x82F1);  // hiragana
    range(0x8340, 0x8396);  // katakana
    range(0x813F, 0x81AC);  // punctuation and symbols
    range(0x81B8, 0x81BF);  // set symbols
    range(0x81C8, 0x81CE);  // logic symbols
    range(0x81DA, 0x81E8);  // math symbols
    range(0x81F0, 0x81F7);  // Å to ¶
    range(0x81FC, 0x81FC);  // ◯
    range(0x824F, 0x8258);  // full-width digits
    range(0x8260, 0x8279);  // full-width capitals
    range(0x8281, 0x829A);  // full-width small letters
    while (i < 400) entries_[i++] = 0;  // unused entries, never matched
    for (uint16_t code : kanjiCodes(kKanji))
        if (i < Size) entries_[i++] = code;
    for (uint16_t e : entries_)
        if (e != 0) allowed_[e] = true;
}

const NameCharTable& NameCharTable::instance() {
    static const NameCharTable t;
    return t;
}

bool NameCharTable::isAllowed(int code) const {
    if (code < 0 || code > 0xFFFF) return false;
    return code < 0x100 || allowed_[code];
}

std::string NameCharTable::filter(const std::string& utf8) const {
    std::u32string kept;
    for (char32_t c : toU32(utf8))
        if (isAllowed(cp932Code(c))) kept.push_back(c);
    return toUtf8(kept);
}

}  // namespace tqm5
