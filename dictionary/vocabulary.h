#pragma once
// Mainland Chinese words in a Taiwan translation (文件夾 for 資料夾, 保存 for
// 儲存), from OpenCC's Taiwan phrase list, which Debian installs as
// /usr/share/opencc/TWPhrases.ocd2.
//
// A word is read with its English source: some are right in one sense and
// wrong in another (文件 is right for "document", wrong for "file"; 菜單 is
// wrong for a program's "menu"). Words the list gives as right themselves
// are taken as mainland words only where the English names the sense.
//
// Texts are Big5 bytes; a word is found whole characters at a time, so the
// second byte of one character and the first of the next never make one.

#include <QString>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct MainlandWord {
    std::string Mainland; // as it stands in the translation, Big5
    std::string Taiwan;   // the word to use instead, Big5
};

class Vocabulary {
public:
    // OpenCC's Taiwan list, read once; empty when it cannot be read.
    static const Vocabulary &Taiwan();
    // A list of mainland words, each with its Taiwan word (UTF-8 pairs), as
    // OpenCC gives them; the same senses by English apply.
    static Vocabulary FromPairs(const std::vector<std::pair<std::string, std::vector<std::string>>> &pairs);
    // Reads an OpenCC phrase file (.ocd2); an empty list and Problem() set
    // when it cannot.
    static Vocabulary FromFile(const std::string &path);

    bool empty() const { return Words.empty(); }
    // Why the list is empty ("" when it is not).
    const QString &Problem() const { return Why; }

    // The mainland words of translation, longest first at each place, in order.
    std::vector<MainlandWord> Find(std::string_view source, std::string_view translation) const;
    bool HoldsMainlandWord(std::string_view source, std::string_view translation) const;

private:
    struct Word {
        std::string Mainland; // Big5
        std::string Taiwan;   // Big5
        std::vector<std::string> RightWhen; // English words, lower-case
        std::vector<std::string> WrongWhen; // non-empty: only then wrong
    };
    template <typename Found>
    void scan(std::string_view source, std::string_view translation, Found &&found) const;
    void add(const std::string &mainland, const std::vector<std::string> &taiwan);
    void index();

    std::vector<Word> Words; // sorted by first character, longest first
    // Whether a double-byte character starts a word, by its 16-bit code.
    std::array<std::uint64_t, 1024> Starts{};
    QString Why;
};
