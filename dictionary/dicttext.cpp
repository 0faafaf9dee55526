#include "dictionary/dicttext.h"

#include <limits>
#include <stdexcept>

void DictText::init(std::string_view text)
{
    if (text.size() <= kInlineBytes) {
        if (!text.empty())
            std::memcpy(raw_, text.data(), text.size());
        setInline(text.size());
        return;
    }
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("DictText: text too long");
    const textpages::Stored stored = textpages::store(text);
    const std::uint32_t n = std::uint32_t(text.size());
    std::memcpy(raw_, &stored.data, sizeof stored.data);
    std::memcpy(raw_ + kSizeAt, &n, sizeof n);
    raw_[kTag] = stored.kind == textpages::Kind::Pooled ? kPooledTag : kOwnedTag;
}

DictText::DictText(const DictText &other) noexcept
{
    std::memcpy(raw_, other.raw_, sizeof raw_);
    if (!isInline())
        textpages::retain(data(), kind());
}

DictText &DictText::operator=(const DictText &other) noexcept
{
    if (this != &other) {
        if (!other.isInline())
            textpages::retain(other.data(), other.kind());
        drop();
        std::memcpy(raw_, other.raw_, sizeof raw_);
    }
    return *this;
}

DictText &DictText::operator=(std::string_view text)
{
    // The new text is made before the old one goes: it may be a part of it.
    DictText fresh(text);
    return *this = std::move(fresh);
}
