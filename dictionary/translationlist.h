#pragma once
// The translation slots of one dictionary entry.
//
// Why it exists: nearly every entry has one translation. A std::vector of
// texts would put even that one into a heap block of its own (the block,
// its allocator header and the vector's three pointers on top of the
// text); the list keeps the first slot inside itself, 24 bytes in all, and
// moves to a block only for a second translation.
// Peaks of a load of 1,000,000 pairs above the empty process, as multiples
// of the file (bench/dictionary: raw, saved and all-distinct dictionaries):
// 1.6, 2.2 and 2.3 with the list; 2.0, 2.9 and 2.9 with a std::vector of
// texts.

#include "dictionary/dicttext.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The slots are always contiguous: begin()/end() are plain pointers.
class TranslationList {
public:
    using value_type = DictText;
    using size_type = std::size_t;
    using reference = DictText &;
    using const_reference = const DictText &;
    using iterator = DictText *;
    using const_iterator = const DictText *;

    TranslationList() noexcept : one_() {}
    TranslationList(std::initializer_list<std::string_view> items);
    TranslationList(const std::vector<std::string> &items);
    TranslationList(const TranslationList &other);
    TranslationList(TranslationList &&other) noexcept;
    TranslationList &operator=(const TranslationList &other);
    TranslationList &operator=(TranslationList &&other) noexcept;
    TranslationList &operator=(std::initializer_list<std::string_view> items);
    ~TranslationList();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    DictText *data() { return onHeap() ? many_ : &one_; }
    const DictText *data() const { return onHeap() ? many_ : &one_; }
    iterator begin() { return data(); }
    iterator end() { return data() + size_; }
    const_iterator begin() const { return data(); }
    const_iterator end() const { return data() + size_; }
    DictText &operator[](std::size_t i) { return data()[i]; }
    const DictText &operator[](std::size_t i) const { return data()[i]; }
    DictText &at(std::size_t i);
    const DictText &at(std::size_t i) const;
    DictText &front() { return data()[0]; }
    const DictText &front() const { return data()[0]; }
    DictText &back() { return data()[size_ - 1]; }
    const DictText &back() const { return data()[size_ - 1]; }

    void push_back(DictText t) { *appendSlot() = std::move(t); }
    template <typename... Args>
    DictText &emplace_back(Args &&...args)
    {
        DictText text(std::forward<Args>(args)...);
        DictText *slot = appendSlot();
        *slot = std::move(text);
        return *slot;
    }
    void clear();

    friend bool operator==(const TranslationList &a, const TranslationList &b);
    friend bool operator==(const TranslationList &a, const std::vector<std::string> &b);

private:
    bool onHeap() const { return capacity_ > 1; }
    // Makes room for one more slot and returns it (an empty text).
    DictText *appendSlot();
    template <typename It>
    void assignRange(It first, It last);
    // Back to an empty list with its one slot.
    void release() noexcept;
    // Takes over other's slots; this list must be empty and not on the heap.
    void takeFrom(TranslationList &other) noexcept;

    union {
        DictText one_;   // the only slot while capacity_ is 1
        DictText *many_; // capacity_ slots, size_ of them in use
    };
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 1;
};
