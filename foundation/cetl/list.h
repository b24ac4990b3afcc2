// cetl::list: a doubly linked list whose items are blocks of the memory manager.
//
// Head and tail operations on an empty list throw "the list is empty"; naming an item that is
// not in this list throws "the item specified does not exist within the list". Iterators are
// checked; removing an item invalidates only iterators standing on it.
#pragma once

#include "cetl/exception.h"
#include "memmgr.h"

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace cetl {

template<class T> class list {
    struct ITEM {
        T value;
        ITEM* pPrev;
        ITEM* pNext;
    };

public:
    // A position in a list: an item, or the end (no item). Dereferencing the end, stepping
    // past it or before the head throws.
    template<bool fConst> class ITERATOR {
    public:
        using Owner = std::conditional_t<fConst, const list, list>;
        using Item = std::conditional_t<fConst, const T, T>;

        ITERATOR() = default;
        ITERATOR(Owner* pOwner, ITEM* pItem) : m_pOwner(pOwner), m_pItem(pItem) { }
        template<bool fOther>
        requires(fConst && !fOther) ITERATOR(const ITERATOR<fOther>& other) : m_pOwner(other.m_pOwner), m_pItem(other.m_pItem) { }

        Item& operator*() const
        {
            if (!m_pItem)
                throw exception(kInvalidIterator);
            return m_pItem->value;
        }
        Item* operator->() const { return &**this; }
        ITERATOR& operator++()
        {
            if (!m_pItem)
                throw exception(kIteratorAtEnd);
            m_pItem = m_pItem->pNext;
            return *this;
        }
        ITERATOR& operator--()
        {
            ITEM* pPrev = m_pItem ? m_pItem->pPrev : m_pOwner ? m_pOwner->m_pTail : nullptr;
            if (!pPrev)
                throw exception(kIteratorAtBeginning);
            m_pItem = pPrev;
            return *this;
        }
        bool operator==(const ITERATOR& other) const = default;

    private:
        template<bool> friend class ITERATOR;
        friend class list;

        Owner* m_pOwner = nullptr;
        ITEM* m_pItem = nullptr;
    };
    using iterator = ITERATOR<false>;
    using const_iterator = ITERATOR<true>;

    list() = default;
    list(const list& other)
    {
        for (const T& value : other)
            AddTail(value);
    }
    list(list&& other) noexcept { swap(other); }
    list& operator=(list other) noexcept
    {
        swap(other);
        return *this;
    }
    ~list() { RemoveAll(); }

    size_t Count() const { return m_c; }
    bool IsEmpty() const { return m_c == 0; }

    T& Head() { return nonEmpty(m_pHead)->value; }
    const T& Head() const { return nonEmpty(m_pHead)->value; }
    T& Tail() { return nonEmpty(m_pTail)->value; }
    const T& Tail() const { return nonEmpty(m_pTail)->value; }

    iterator AddHead(T value) { return Insert(begin(), std::move(value)); }
    iterator AddTail(T value) { return Insert(end(), std::move(value)); }

    // Inserts before the position (the end appends) and returns the new item's position.
    iterator Insert(const_iterator before, T value)
    {
        if (before.m_pOwner != this)
            throw exception(kNoSuchListItem);
        auto* pItem = static_cast<ITEM*>(MEM_ALLOC(sizeof(ITEM), "myitemtype"));
        if (!pItem)
            throw std::bad_alloc();
        ITEM* pNext = before.m_pItem;
        ITEM* pPrev = pNext ? pNext->pPrev : m_pTail;
        try {
            new (pItem) ITEM{std::move(value), pPrev, pNext};
        } catch (...) {
            MEM_FREE(pItem);
            throw;
        }
        (pPrev ? pPrev->pNext : m_pHead) = pItem;
        (pNext ? pNext->pPrev : m_pTail) = pItem;
        ++m_c;
        return {this, pItem};
    }

    void RemoveHead() { Remove(iterator(this, nonEmpty(m_pHead))); }
    void RemoveTail() { Remove(iterator(this, nonEmpty(m_pTail))); }

    // Removes the item at the position and returns the position after it.
    iterator Remove(const_iterator position)
    {
        if (position.m_pOwner != this)
            throw exception(kNoSuchListItem);
        ITEM* pItem = position.m_pItem;
        if (!pItem)
            throw exception(kInvalidIterator);
        ITEM* pNext = pItem->pNext;
        (pItem->pPrev ? pItem->pPrev->pNext : m_pHead) = pNext;
        (pNext ? pNext->pPrev : m_pTail) = pItem->pPrev;
        --m_c;
        pItem->~ITEM();
        MEM_FREE(pItem);
        return {this, pNext};
    }

    // Removes the first item equal to value.
    void Remove(const T& value)
    {
        const iterator position = Find(value);
        if (position == end())
            throw exception(kNoSuchListItem);
        Remove(position);
    }

    void RemoveAll()
    {
        while (m_pHead)
            Remove(begin());
    }

    iterator Find(const T& value)
    {
        ITEM* pItem = m_pHead;
        while (pItem && !(pItem->value == value))
            pItem = pItem->pNext;
        return {this, pItem};
    }

    iterator begin() { return {this, m_pHead}; }
    iterator end() { return {this, nullptr}; }
    const_iterator begin() const { return {this, m_pHead}; }
    const_iterator end() const { return {this, nullptr}; }

private:
    static ITEM* nonEmpty(ITEM* pItem)
    {
        if (!pItem)
            throw exception(kListIsEmpty);
        return pItem;
    }

    void swap(list& other) noexcept
    {
        std::swap(m_pHead, other.m_pHead);
        std::swap(m_pTail, other.m_pTail);
        std::swap(m_c, other.m_c);
    }

    ITEM* m_pHead = nullptr;
    ITEM* m_pTail = nullptr;
    size_t m_c = 0;
};

} // namespace cetl
