#pragma once
// The translation slots of one dictionary entry.
//
// Why it exists: nearly every entry has one translation. A std::vector of
// strings would put even that one into a heap block of its own (the block,
// its allocator header and the vector's three pointers on top of the
// string); the list keeps the first slot inside itself and moves to a block
// only for a second translation.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// The slots are always contiguous: begin()/end() are plain pointers.
class TranslationList {
public:
    using value_type = std::string;
    using size_type = std::size_t;
    using reference = std::string &;
    using const_reference = const std::string &;
    using iterator = std::string *;
    using const_iterator = const std::string *;

    TranslationList() noexcept : one_() {}
    TranslationList(std::initializer_list<std::string> items);
    TranslationList(const std::vector<std::string> &items);
    TranslationList(const TranslationList &other);
    TranslationList(TranslationList &&other) noexcept;
    TranslationList &operator=(const TranslationList &other);
    TranslationList &operator=(TranslationList &&other) noexcept;
    TranslationList &operator=(std::initializer_list<std::string> items);
    ~TranslationList();

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string *data() { return onHeap() ? many_ : &one_; }
    const std::string *data() const { return onHeap() ? many_ : &one_; }
    iterator begin() { return data(); }
    iterator end() { return data() + size_; }
    const_iterator begin() const { return data(); }
    const_iterator end() const { return data() + size_; }
    std::string &operator[](std::size_t i) { return data()[i]; }
    const std::string &operator[](std::size_t i) const { return data()[i]; }
    std::string &at(std::size_t i);
    const std::string &at(std::size_t i) const;
    std::string &front() { return data()[0]; }
    const std::string &front() const { return data()[0]; }
    std::string &back() { return data()[size_ - 1]; }
    const std::string &back() const { return data()[size_ - 1]; }

    void push_back(const std::string &t) { *appendSlot() = t; }
    void push_back(std::string &&t) { *appendSlot() = std::move(t); }
    template <typename... Args>
    std::string &emplace_back(Args &&...args)
    {
        std::string *slot = appendSlot();
        *slot = std::string(std::forward<Args>(args)...);
        return *slot;
    }
    void clear();

    friend bool operator==(const TranslationList &a, const TranslationList &b);
    friend bool operator==(const TranslationList &a, const std::vector<std::string> &b);

private:
    bool onHeap() const { return capacity_ > 1; }
    // Makes room for one more slot and returns it (an empty string).
    std::string *appendSlot();
    template <typename It>
    void assignRange(It first, It last);
    // Back to an empty list with its one slot.
    void release() noexcept;
    // Takes over other's slots; this list must be empty and not on the heap.
    void takeFrom(TranslationList &other) noexcept;

    union {
        std::string one_;   // the only slot while capacity_ is 1
        std::string *many_; // capacity_ slots, size_ of them in use
    };
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 1;
};
