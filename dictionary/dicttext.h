#pragma once
// A dictionary text: the bytes of one source or translation line.
//
// Why it exists: an entry holds at least two texts, and a load of a million
// entries must stay within a few times the file's size. A std::string takes 32 bytes before any heap
// block; DictText takes 16, keeps a text of up to 15 bytes inside itself and
// puts a longer one into the text pages (textpages.h), where it costs its
// bytes alone.
// Peaks of a load of 1,000,000 pairs above the empty process, as multiples
// of the file (bench/dictionary: raw, saved and all-distinct dictionaries):
// 1.6, 2.2 and 2.3 with DictText and the text pages; 2.5, 3.5 and 3.4 with
// std::string.
//
// The bytes are never changed in place: a DictText is assigned as a whole.
// Copies of a long text share its bytes.

#include "dictionary/textpages.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class DictText {
public:
    static constexpr std::size_t kInlineBytes = 15;

    DictText() noexcept { setInline(0); }
    DictText(std::string_view text) { init(text); }
    DictText(const std::string &text) { init(text); }
    DictText(const char *text) { init(std::string_view(text)); }
    DictText(const char *data, std::size_t size) { init(std::string_view(data, size)); }
    DictText(const DictText &other) noexcept;
    DictText(DictText &&other) noexcept
    {
        std::memcpy(raw_, other.raw_, sizeof raw_);
        other.setInline(0);
    }
    DictText &operator=(const DictText &other) noexcept;
    DictText &operator=(DictText &&other) noexcept
    {
        if (this != &other) {
            drop();
            std::memcpy(raw_, other.raw_, sizeof raw_);
            other.setInline(0);
        }
        return *this;
    }
    DictText &operator=(std::string_view text);
    DictText &operator=(const std::string &text) { return *this = std::string_view(text); }
    DictText &operator=(const char *text) { return *this = std::string_view(text); }
    ~DictText() { drop(); }

    std::size_t size() const noexcept
    {
        if (isInline())
            return raw_[kTag];
        std::uint32_t n;
        std::memcpy(&n, raw_ + kSizeAt, sizeof n);
        return n;
    }
    bool empty() const noexcept { return size() == 0; }
    const char *data() const noexcept
    {
        if (isInline())
            return reinterpret_cast<const char *>(raw_);
        const char *p;
        std::memcpy(&p, raw_, sizeof p);
        return p;
    }
    const char *begin() const noexcept { return data(); }
    const char *end() const noexcept { return data() + size(); }
    char operator[](std::size_t i) const noexcept { return data()[i]; }

    std::string_view view() const noexcept
    {
        // Read the tag once: both halves of the answer depend on it.
        if (isInline())
            return std::string_view(reinterpret_cast<const char *>(raw_), raw_[kTag]);
        const char *p;
        std::uint32_t n;
        std::memcpy(&p, raw_, sizeof p);
        std::memcpy(&n, raw_ + kSizeAt, sizeof n);
        return std::string_view(p, n);
    }
    operator std::string_view() const noexcept { return view(); }
    std::string str() const { return std::string(view()); }

    void clear() noexcept
    {
        drop();
        setInline(0);
    }

    friend bool operator==(const DictText &a, const DictText &b) noexcept { return a.view() == b.view(); }
    friend bool operator==(const DictText &a, std::string_view b) noexcept { return a.view() == b; }
    // Exact matches, so that neither side is made into the other's type.
    friend bool operator==(const DictText &a, const std::string &b) noexcept { return a.view() == b; }
    friend bool operator==(const DictText &a, const char *b) noexcept { return a.view() == b; }

private:
    // raw_[kTag] is the length of an inline text (0 to 15), or one of the
    // kinds of stored text; a stored text keeps its pointer in raw_[0..7]
    // and its length in raw_[8..11].
    static constexpr std::size_t kTag = 15;
    static constexpr std::size_t kSizeAt = 8;
    static constexpr unsigned char kPooledTag = 0x80;
    static constexpr unsigned char kOwnedTag = 0x81;

    bool isInline() const noexcept { return raw_[kTag] <= kInlineBytes; }
    textpages::Kind kind() const noexcept
    {
        return raw_[kTag] == kPooledTag ? textpages::Kind::Pooled : textpages::Kind::Owned;
    }
    void setInline(std::size_t n) noexcept { raw_[kTag] = static_cast<unsigned char>(n); }
    void init(std::string_view text);
    void drop() noexcept
    {
        if (!isInline())
            textpages::release(data(), kind());
    }

    alignas(8) unsigned char raw_[16];
};

static_assert(sizeof(DictText) == 16);
