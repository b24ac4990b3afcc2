// cetl::map: an ordered map built as a skip list.
//
// Every node sits on level 0 and is promoted to each further level with a fixed probability,
// up to a level cap; searches run from the top level down, so lookups and inserts take
// logarithmic time on average. The probability is kept as a whole percentage and the cap is
// at most 64. Keys of the foundation's text classes are ordered by their own Compare (so an
// istring-keyed map ignores case); other keys by operator<.
//
// The level draws come from the map's own generator, never from rand(), so filling a map
// does not disturb anyone's random sequence. Nodes are blocks of the memory manager.
#pragma once

#include "cetl/exception.h"
#include "memmgr.h"
#include "tl_string.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

namespace cetl {

template<class K, class V> class map {
public:
    static constexpr int kMaxLevels = 64;

    // What an iterator stands on.
    struct ENTRY {
        const K key;
        V value;
    };

private:
    struct NODE {
        ENTRY entry;
        NODE* pPrev; // the node before on level 0
        int cLevels;
        // The forward links, one per level, follow the node in its block.
        NODE** Next() { return reinterpret_cast<NODE**>(reinterpret_cast<char*>(this) + sizeof(NODE)); }
    };

public:
    // A position in the map: an entry, or the end. Dereferencing the end, stepping past it or
    // before the first entry throws.
    template<bool fConst> class ITERATOR {
    public:
        using Owner = std::conditional_t<fConst, const map, map>;
        using Entry = std::conditional_t<fConst, const ENTRY, ENTRY>;

        ITERATOR() = default;
        ITERATOR(Owner* pOwner, NODE* pNode) : m_pOwner(pOwner), m_pNode(pNode) { }
        template<bool fOther>
        requires(fConst && !fOther) ITERATOR(const ITERATOR<fOther>& other) : m_pOwner(other.m_pOwner), m_pNode(other.m_pNode) { }

        Entry& operator*() const
        {
            if (!m_pNode)
                throw exception(kInvalidIterator);
            return m_pNode->entry;
        }
        Entry* operator->() const { return &**this; }
        ITERATOR& operator++()
        {
            if (!m_pNode)
                throw exception(kIteratorAtEnd);
            m_pNode = m_pNode->Next()[0];
            return *this;
        }
        ITERATOR& operator--()
        {
            NODE* pPrev = m_pNode ? m_pNode->pPrev : m_pOwner ? m_pOwner->m_pTail : nullptr;
            if (!pPrev)
                throw exception(kIteratorAtBeginning);
            m_pNode = pPrev;
            return *this;
        }
        bool operator==(const ITERATOR& other) const = default;

    private:
        template<bool> friend class ITERATOR;
        friend class map;

        Owner* m_pOwner = nullptr;
        NODE* m_pNode = nullptr;
    };
    using iterator = ITERATOR<false>;
    using const_iterator = ITERATOR<true>;

    // probability: the chance that a node is promoted one level further (0 to 1);
    // cMaxLevels: the level cap, 1 to 64.
    explicit map(double probability = 0.5, int cMaxLevels = 16) :
        m_nPercent(probability <= 0   ? 0
                   : probability >= 1 ? 100
                                      : static_cast<int>(probability * 100 + 0.5)),
        m_cMaxLevels(cMaxLevels < 1            ? 1
                     : cMaxLevels > kMaxLevels ? kMaxLevels
                                               : cMaxLevels)
    {
    }
    map(const map& other) : m_nPercent(other.m_nPercent), m_cMaxLevels(other.m_cMaxLevels)
    {
        for (const ENTRY& entry : other)
            (*this)[entry.key] = entry.value;
    }
    map& operator=(const map& other)
    {
        if (this != &other) {
            map copy(other);
            swap(copy);
        }
        return *this;
    }
    map(map&& other) noexcept { swap(other); }
    map& operator=(map&& other) noexcept
    {
        swap(other);
        return *this;
    }
    ~map() { RemoveAll(); }

    int PromotionPercent() const { return m_nPercent; }
    int MaxLevels() const { return m_cMaxLevels; }
    size_t Count() const { return m_c; }
    bool IsEmpty() const { return m_c == 0; }

    // The value under key, inserted as V() when absent.
    V& operator[](const K& key)
    {
        NODE** rgppLink[kMaxLevels];
        NODE* pNode = lowerBound(key, rgppLink);
        if (pNode && compare(pNode->entry.key, key) == 0)
            return pNode->entry.value;
        return insert(rgppLink, key)->entry.value;
    }

    // The value under key; throws when absent.
    V& At(const K& key) { return present(find(key))->entry.value; }
    const V& At(const K& key) const { return present(find(key))->entry.value; }

    bool Contains(const K& key) const { return find(key) != nullptr; }

    iterator Find(const K& key) { return {this, find(key)}; }
    const_iterator Find(const K& key) const { return {this, find(key)}; }

    // Removes the entry under key; throws when absent.
    void Remove(const K& key) { removeNode(present(find(key))); }

    // Removes the entry at the position and returns the position after it.
    iterator Remove(const_iterator position)
    {
        if (position.m_pOwner != this || !position.m_pNode)
            throw exception(kInvalidIterator);
        NODE* pNext = position.m_pNode->Next()[0];
        removeNode(position.m_pNode);
        return {this, pNext};
    }

    void RemoveAll()
    {
        NODE* pNode = m_rgpHead[0];
        while (pNode) {
            NODE* pNext = pNode->Next()[0];
            destroy(pNode);
            pNode = pNext;
        }
        for (NODE*& pHead : m_rgpHead)
            pHead = nullptr;
        m_pTail = nullptr;
        m_cLevels = 0;
        m_c = 0;
    }

    iterator begin() { return {this, m_rgpHead[0]}; }
    iterator end() { return {this, nullptr}; }
    const_iterator begin() const { return {this, m_rgpHead[0]}; }
    const_iterator end() const { return {this, nullptr}; }

private:
    static int compare(const K& a, const K& b)
    {
        if constexpr (std::is_base_of_v<string, K>)
            return a.Compare(b.View());
        else
            return a < b ? -1 : b < a ? 1 : 0;
    }

    static NODE* present(NODE* pNode)
    {
        if (!pNode)
            throw exception(kNoSuchMapIndex);
        return pNode;
    }

    // The first node whose key is not less than key. With rgppLink, also records on each
    // level in use the link that leads to that node, which is where an insert or a removal
    // rewires the list.
    NODE* lowerBound(const K& key, NODE** rgppLink[]) const
    {
        NODE** rgpLinks = const_cast<NODE**>(m_rgpHead);
        // Most nodes stand on several levels: one already found not less than the key needs
        // no second comparison on the level below.
        const NODE* pNotLess = nullptr;
        for (int level = m_cLevels - 1; level >= 0; --level) {
            while (rgpLinks[level] && rgpLinks[level] != pNotLess && compare(rgpLinks[level]->entry.key, key) < 0)
                rgpLinks = rgpLinks[level]->Next();
            pNotLess = rgpLinks[level];
            if (rgppLink)
                rgppLink[level] = &rgpLinks[level];
        }
        return rgpLinks[0];
    }

    NODE* find(const K& key) const
    {
        NODE* pNode = lowerBound(key, nullptr);
        return pNode && compare(pNode->entry.key, key) == 0 ? pNode : nullptr;
    }

    NODE* insert(NODE** rgppLink[], const K& key)
    {
        const int cLevels = drawLevels();
        auto* pNode = static_cast<NODE*>(MEM_ALLOC(sizeof(NODE) + cLevels * sizeof(NODE*), "mynodetype"));
        if (!pNode)
            throw std::bad_alloc();
        try {
            new (pNode) NODE{{key, V()}, nullptr, cLevels};
        } catch (...) {
            MEM_FREE(pNode);
            throw;
        }
        for (int level = m_cLevels; level < cLevels; ++level)
            rgppLink[level] = &m_rgpHead[level];
        if (cLevels > m_cLevels)
            m_cLevels = cLevels;
        for (int level = 0; level < cLevels; ++level) {
            pNode->Next()[level] = *rgppLink[level];
            *rgppLink[level] = pNode;
        }
        NODE* pNext = pNode->Next()[0];
        pNode->pPrev = pNext ? pNext->pPrev : m_pTail;
        (pNext ? pNext->pPrev : m_pTail) = pNode;
        ++m_c;
        return pNode;
    }

    void removeNode(NODE* pNode)
    {
        NODE** rgppLink[kMaxLevels];
        lowerBound(pNode->entry.key, rgppLink);
        for (int level = 0; level < pNode->cLevels; ++level)
            *rgppLink[level] = pNode->Next()[level];
        NODE* pNext = pNode->Next()[0];
        (pNext ? pNext->pPrev : m_pTail) = pNode->pPrev;
        while (m_cLevels > 0 && !m_rgpHead[m_cLevels - 1])
            --m_cLevels;
        --m_c;
        destroy(pNode);
    }

    static void destroy(NODE* pNode)
    {
        pNode->~NODE();
        MEM_FREE(pNode);
    }

    int drawLevels()
    {
        int cLevels = 1;
        while (cLevels < m_cMaxLevels && nextRandom() % 100 < static_cast<uint32_t>(m_nPercent))
            ++cLevels;
        return cLevels;
    }

    uint32_t nextRandom()
    {
        // xorshift32: cheap, and good enough to spread nodes over levels.
        m_random ^= m_random << 13;
        m_random ^= m_random >> 17;
        m_random ^= m_random << 5;
        return m_random;
    }

    void swap(map& other) noexcept
    {
        std::swap(m_nPercent, other.m_nPercent);
        std::swap(m_cMaxLevels, other.m_cMaxLevels);
        std::swap(m_random, other.m_random);
        std::swap(m_rgpHead, other.m_rgpHead);
        std::swap(m_pTail, other.m_pTail);
        std::swap(m_cLevels, other.m_cLevels);
        std::swap(m_c, other.m_c);
    }

    int m_nPercent = 50;
    int m_cMaxLevels = 16;
    uint32_t m_random = 0x9E3779B9;
    NODE* m_rgpHead[kMaxLevels] = {};
    NODE* m_pTail = nullptr;
    int m_cLevels = 0; // levels that hold at least one node
    size_t m_c = 0;
};

} // namespace cetl
