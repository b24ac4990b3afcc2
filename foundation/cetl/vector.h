// cetl::vector: a growable array whose storage comes from the memory manager.
//
// Indexing is checked: an index outside 0..Count()-1 throws "the item specified does not
// exist within the vector". Iterators are checked too (see iterator below). Adding or
// removing items leaves iterators valid as positions, not as items.
#pragma once

#include "cetl/exception.h"
#include "memmgr.h"

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace cetl {

template<class T> class vector {
public:
    // A position in a vector. Dereferencing one that stands on no item, stepping past the end
    // or before the first item throws.
    template<bool fConst> class ITERATOR {
    public:
        using Owner = std::conditional_t<fConst, const vector, vector>;
        using Item = std::conditional_t<fConst, const T, T>;

        ITERATOR() = default;
        ITERATOR(Owner* pOwner, size_t i) : m_pOwner(pOwner), m_i(i) { }
        template<bool fOther>
        requires(fConst && !fOther) ITERATOR(const ITERATOR<fOther>& other) : m_pOwner(other.m_pOwner), m_i(other.m_i) { }

        Item& operator*() const
        {
            if (!m_pOwner || m_i >= m_pOwner->Count())
                throw exception(kInvalidIterator);
            return m_pOwner->m_rgItem[m_i];
        }
        Item* operator->() const { return &**this; }
        ITERATOR& operator++()
        {
            if (!m_pOwner || m_i >= m_pOwner->Count())
                throw exception(kIteratorAtEnd);
            ++m_i;
            return *this;
        }
        ITERATOR& operator--()
        {
            if (!m_pOwner || m_i == 0)
                throw exception(kIteratorAtBeginning);
            --m_i;
            return *this;
        }
        bool operator==(const ITERATOR& other) const = default;
        size_t Index() const { return m_i; }

    private:
        template<bool> friend class ITERATOR;

        Owner* m_pOwner = nullptr;
        size_t m_i = 0;
    };
    using iterator = ITERATOR<false>;
    using const_iterator = ITERATOR<true>;

    vector() = default;
    vector(const vector& other)
    {
        reserve(other.m_c);
        for (const T& item : other)
            Add(item);
    }
    vector(vector&& other) noexcept { swap(other); }
    vector& operator=(vector other) noexcept
    {
        swap(other);
        return *this;
    }
    ~vector()
    {
        RemoveAll();
        if (m_rgItem)
            MEM_FREE(m_rgItem);
    }

    size_t Count() const { return m_c; }
    bool IsEmpty() const { return m_c == 0; }

    T& operator[](size_t i) { return m_rgItem[checked(i)]; }
    const T& operator[](size_t i) const { return m_rgItem[checked(i)]; }

    // Appends an item and returns its index.
    size_t Add(T item)
    {
        grow();
        new (&m_rgItem[m_c]) T(std::move(item));
        return m_c++;
    }

    // Inserts an item before index i; i may be Count() to append.
    void Insert(size_t i, T item)
    {
        if (i > m_c)
            throw exception(kNoSuchVectorItem);
        grow();
        new (&m_rgItem[m_c]) T(std::move(item));
        for (size_t k = m_c; k > i; --k)
            std::swap(m_rgItem[k], m_rgItem[k - 1]);
        ++m_c;
    }

    void Remove(size_t i)
    {
        for (size_t k = checked(i); k + 1 < m_c; ++k)
            std::swap(m_rgItem[k], m_rgItem[k + 1]);
        m_rgItem[--m_c].~T();
    }

    void RemoveAll()
    {
        while (m_c)
            m_rgItem[--m_c].~T();
    }

    iterator begin() { return {this, 0}; }
    iterator end() { return {this, m_c}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, m_c}; }

private:
    size_t checked(size_t i) const
    {
        if (i >= m_c)
            throw exception(kNoSuchVectorItem);
        return i;
    }

    void grow()
    {
        if (m_c == m_cCapacity)
            reserve(m_cCapacity ? 2 * m_cCapacity : 8);
    }

    void reserve(size_t cCapacity)
    {
        if (cCapacity <= m_cCapacity)
            return;
        auto* rgItem = static_cast<T*>(MEM_ALLOC(cCapacity * sizeof(T), "myvectortype"));
        if (!rgItem)
            throw std::bad_alloc();
        for (size_t k = 0; k < m_c; ++k) {
            new (&rgItem[k]) T(std::move(m_rgItem[k]));
            m_rgItem[k].~T();
        }
        if (m_rgItem)
            MEM_FREE(m_rgItem);
        m_rgItem = rgItem;
        m_cCapacity = cCapacity;
    }

    void swap(vector& other) noexcept
    {
        std::swap(m_rgItem, other.m_rgItem);
        std::swap(m_c, other.m_c);
        std::swap(m_cCapacity, other.m_cCapacity);
    }

    T* m_rgItem = nullptr;
    size_t m_c = 0;
    size_t m_cCapacity = 0;
};

} // namespace cetl
