#include "dictionary/vocabulary.h"

#include "platform/codepage.h"

#include <opencc/Lexicon.hpp>
#include <opencc/MarisaDict.hpp>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr const char *kTaiwanPhrases = "/usr/share/opencc/TWPhrases.ocd2";

// How a word of the list is read with its English source.
struct Sense {
    const char *Mainland;
    // When the English holds one of these, the word is right (a "|" list).
    const char *RightWhen = "";
    // When set, the word is wrong only where the English holds one of these;
    // "-" never.
    const char *WrongWhen = "";
    // The Taiwan word where the list's own is not the one in use.
    const char *Taiwan = "";
};

// Words whose use in Taiwan depends on the sense, and the few where the
// list's Taiwan word is not what Taiwan programs say. A word the list
// gives as right itself (菜單 → 選單, 菜單) and that has no line here is
// never flagged.
const Sense kSenses[] = {
    {"文件", "document|doc"},
    {"程序", "procedure|process|routine"},
    {"登錄", "registry|regist"},
    {"菜單", "", "menu"},
    {"項目", "", "project"},
    {"參數", "", "argument"},
    {"訪問", "", "access"},
    {"代碼", "", "source"},
    {"消息", "", "message"},
    {"打開", "", "open"},
    {"視頻", "", "video", "視訊"},
    {"對象", "", "object"},
    {"實例", "", "instance"},
    {"循環", "", "loop"},
    {"通過", "", "via|through"},
    {"信號", "", "signal"},
    {"數字", "", "digital"},
    {"模擬", "", "analog"},
    {"進程", "", "process"},
    {"高級", "", "advanced"},
    {"調試", "", "debug"},
    {"粘貼", "", "paste"},
    {"表達式", "", "expression"},
    {"壁紙", "", "wallpaper"},
    {"宏", "", "macro"},
    {"彙編", "", "assembl"},
    {"低級", "", "low-level|low level"},
    {"高端", "", "high-end|high end"},
    {"便攜式", "", "portable"},
    {"聲明", "", "declar"},
    {"連接", "", "connection"},
    {"函數", "", "-"},
    {"類型", "", "-"},
    {"權限", "", "-"},
    {"局部", "", "-"},
    {"地址", "", "-"},
    {"社區", "", "-"},
    {"卸載", "unload"},
    {"圖像", "", "", "影像"},
    {"全局", "", "", "全域"},
    {"進制", "", "", "進位"},
};

// Taiwan words that hold a word of the list (登錄檔 holds 登錄, 處理程序
// holds 程序): read whole, they are right whatever the English says.
const char *const kTaiwanWords[] = {"登錄檔", "登錄區", "處理程序", "連接埠", "文件檔"};

std::vector<std::string> split(const char *list)
{
    std::vector<std::string> out;
    std::string_view s(list);
    while (!s.empty()) {
        const std::size_t bar = s.find('|');
        out.emplace_back(s.substr(0, bar));
        s = bar == std::string_view::npos ? std::string_view() : s.substr(bar + 1);
    }
    return out;
}

std::optional<std::string> big5(const std::string &utf8)
{
    return cp950::encode(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}

std::size_t charLength(std::string_view s, std::size_t i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    return (b >= 0x81 && b <= 0xFE && i + 1 < s.size()) ? 2 : 1;
}

unsigned codeAt(std::string_view s, std::size_t i)
{
    return unsigned(static_cast<unsigned char>(s[i])) << 8 | static_cast<unsigned char>(s[i + 1]);
}

// The English source in lower case, for the senses.
std::string lowered(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

} // namespace

void Vocabulary::add(const std::string &mainland, const std::vector<std::string> &taiwan)
{
    if (taiwan.empty())
        return;
    const std::optional<std::string> key = big5(mainland);
    if (!key || key->size() < 2 || key->size() % 2 != 0)
        return;
    Word word;
    word.Mainland = *key;
    std::string use = taiwan.front();
    const bool rightItself = std::find(taiwan.begin(), taiwan.end(), mainland) != taiwan.end();
    const Sense *sense = nullptr;
    for (const Sense &s : kSenses)
        if (mainland == s.Mainland)
            sense = &s;
    if (sense) {
        if (std::string_view(sense->WrongWhen) == "-")
            return;
        word.RightWhen = split(sense->RightWhen);
        word.WrongWhen = split(sense->WrongWhen);
        if (*sense->Taiwan)
            use = sense->Taiwan;
    }
    if (rightItself && word.WrongWhen.empty())
        return;
    if (use == mainland) // 宏 → 宏, 巨集: the other one
        for (const std::string &t : taiwan)
            if (t != mainland)
                use = t;
    const std::optional<std::string> taiwanBytes = big5(use);
    if (!taiwanBytes || *taiwanBytes == *key)
        return;
    word.Taiwan = *taiwanBytes;
    Words.push_back(std::move(word));
}

void Vocabulary::index()
{
    if (!Words.empty()) {
        for (const char *right : kTaiwanWords) {
            if (const std::optional<std::string> key = big5(right)) {
                Word word;
                word.Mainland = *key; // Taiwan empty: a right word, passed over whole
                Words.push_back(std::move(word));
            }
        }
    }
    std::sort(Words.begin(), Words.end(), [](const Word &a, const Word &b) {
        const unsigned ca = codeAt(a.Mainland, 0), cb = codeAt(b.Mainland, 0);
        if (ca != cb)
            return ca < cb;
        return a.Mainland.size() > b.Mainland.size();
    });
    Starts.fill(0);
    for (const Word &w : Words) {
        const unsigned code = codeAt(w.Mainland, 0);
        Starts[code >> 6] |= std::uint64_t(1) << (code & 63);
    }
}

Vocabulary Vocabulary::FromPairs(const std::vector<std::pair<std::string, std::vector<std::string>>> &pairs)
{
    Vocabulary v;
    for (const auto &[mainland, taiwan] : pairs)
        v.add(mainland, taiwan);
    v.index();
    return v;
}

Vocabulary Vocabulary::FromFile(const std::string &path)
{
    Vocabulary v;
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        v.Why = QStringLiteral("無法讀取用語表 %1").arg(QString::fromLocal8Bit(path.c_str()));
        return v;
    }
    try {
        const opencc::MarisaDictPtr dict = opencc::MarisaDict::NewFromFile(file.get());
        const opencc::LexiconPtr lexicon = dict->GetLexicon();
        for (std::size_t i = 0; i < lexicon->Length(); ++i) {
            const opencc::DictEntry *entry = lexicon->At(i);
            v.add(entry->Key(), entry->Values());
        }
    } catch (const std::exception &) {
        v.Words.clear();
        v.Why = QStringLiteral("用語表 %1 的格式不對").arg(QString::fromLocal8Bit(path.c_str()));
    }
    v.index();
    return v;
}

const Vocabulary &Vocabulary::Taiwan()
{
    static const Vocabulary list = FromFile(kTaiwanPhrases);
    return list;
}

template <typename Found>
void Vocabulary::scan(std::string_view source, std::string_view translation, Found &&found) const
{
    if (Words.empty())
        return;
    std::string english; // lowered when first needed
    bool lowered_ = false;
    const auto englishHolds = [&](const std::vector<std::string> &words) {
        if (!lowered_) {
            english = lowered(source);
            lowered_ = true;
        }
        return std::any_of(words.begin(), words.end(),
                           [&](const std::string &w) { return english.find(w) != std::string::npos; });
    };
    for (std::size_t i = 0; i < translation.size();) {
        const std::size_t n = charLength(translation, i);
        if (n != 2) {
            ++i;
            continue;
        }
        const unsigned code = codeAt(translation, i);
        if (!(Starts[code >> 6] >> (code & 63) & 1)) {
            i += 2;
            continue;
        }
        const auto first = std::lower_bound(Words.begin(), Words.end(), code,
                                            [](const Word &w, unsigned c) { return codeAt(w.Mainland, 0) < c; });
        std::size_t step = 2;
        for (auto w = first; w != Words.end() && codeAt(w->Mainland, 0) == code; ++w) {
            if (translation.substr(i, w->Mainland.size()) != w->Mainland)
                continue;
            // The longest word here decides: 文件夾 is read whole, not as 文件.
            step = w->Mainland.size();
            if (w->Taiwan.empty())
                break; // a Taiwan word that holds one of the list
            const bool wrong = w->WrongWhen.empty() ? !englishHolds(w->RightWhen) : englishHolds(w->WrongWhen);
            if (wrong && !found(*w))
                return;
            break;
        }
        i += step;
    }
}

std::vector<MainlandWord> Vocabulary::Find(std::string_view source, std::string_view translation) const
{
    std::vector<MainlandWord> out;
    scan(source, translation, [&](const Word &w) {
        out.push_back({w.Mainland, w.Taiwan});
        return true;
    });
    return out;
}

bool Vocabulary::HoldsMainlandWord(std::string_view source, std::string_view translation) const
{
    bool any = false;
    scan(source, translation, [&](const Word &) {
        any = true;
        return false;
    });
    return any;
}
