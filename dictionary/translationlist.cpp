#include "dictionary/translationlist.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <stdexcept>

TranslationList::TranslationList(std::initializer_list<std::string_view> items) : one_()
{
    assignRange(items.begin(), items.end());
}

TranslationList::TranslationList(const std::vector<std::string> &items) : one_()
{
    assignRange(items.begin(), items.end());
}

TranslationList::TranslationList(const TranslationList &other) : one_()
{
    assignRange(other.begin(), other.end());
}

TranslationList::TranslationList(TranslationList &&other) noexcept : one_()
{
    takeFrom(other);
}

TranslationList &TranslationList::operator=(const TranslationList &other)
{
    if (this != &other)
        assignRange(other.begin(), other.end());
    return *this;
}

TranslationList &TranslationList::operator=(TranslationList &&other) noexcept
{
    if (this != &other) {
        release();
        takeFrom(other);
    }
    return *this;
}

TranslationList &TranslationList::operator=(std::initializer_list<std::string_view> items)
{
    assignRange(items.begin(), items.end());
    return *this;
}

TranslationList::~TranslationList()
{
    if (onHeap())
        delete[] many_;
    else
        std::destroy_at(&one_);
}

DictText &TranslationList::at(std::size_t i)
{
    if (i >= size_)
        throw std::out_of_range("TranslationList::at");
    return data()[i];
}

const DictText &TranslationList::at(std::size_t i) const
{
    if (i >= size_)
        throw std::out_of_range("TranslationList::at");
    return data()[i];
}

void TranslationList::clear()
{
    DictText *cells = data();
    for (std::uint32_t i = 0; i < size_; ++i)
        cells[i].clear();
    size_ = 0;
}

bool operator==(const TranslationList &a, const TranslationList &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool operator==(const TranslationList &a, const std::vector<std::string> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

DictText *TranslationList::appendSlot()
{
    if (size_ < capacity_)
        return data() + size_++;
    if (capacity_ == std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("TranslationList: too many translations");
    // Two cells for the first move out of the list (the usual several-
    // translation entry has two), then doubling.
    const std::uint32_t grown = capacity_ == 1 ? 2
        : std::uint32_t(std::min<std::uint64_t>(std::uint64_t(capacity_) * 2, std::numeric_limits<std::uint32_t>::max()));
    DictText *cells = new DictText[grown];
    std::move(data(), data() + size_, cells);
    if (onHeap())
        delete[] many_;
    else
        std::destroy_at(&one_);
    many_ = cells;
    capacity_ = grown;
    return many_ + size_++;
}

template <typename It>
void TranslationList::assignRange(It first, It last)
{
    const auto count = std::distance(first, last);
    if (std::uint64_t(count) > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("TranslationList: too many translations");
    if (count <= 1) {
        DictText only = count == 1 ? DictText(*first) : DictText();
        release();
        one_ = std::move(only);
        size_ = std::uint32_t(count);
        return;
    }
    std::unique_ptr<DictText[]> cells(new DictText[std::size_t(count)]);
    std::copy(first, last, cells.get());
    release();
    std::destroy_at(&one_);
    many_ = cells.release();
    capacity_ = size_ = std::uint32_t(count);
}

void TranslationList::release() noexcept
{
    if (onHeap()) {
        delete[] many_;
        std::construct_at(&one_);
        capacity_ = 1;
    } else {
        one_ = DictText();
    }
    size_ = 0;
}

void TranslationList::takeFrom(TranslationList &other) noexcept
{
    // `this` is an empty list holding its one slot.
    if (other.onHeap()) {
        std::destroy_at(&one_);
        many_ = other.many_;
        capacity_ = other.capacity_;
        size_ = other.size_;
        std::construct_at(&other.one_);
        other.capacity_ = 1;
    } else {
        one_ = std::move(other.one_);
        size_ = other.size_;
        other.one_.clear();
    }
    other.size_ = 0;
}
