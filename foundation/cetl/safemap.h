// cetl::safemap: a map that answers absent keys with a default value instead of throwing.
//
// Its lookups are virtual, in this slot order: operator[], Lookup, Contains, Set, Get with a
// fallback, Get. Classes derived from it add no further virtual operations.
#pragma once

#include "cetl/map.h"

namespace cetl {

template<class K, class V> class safemap : public map<K, V> {
public:
    explicit safemap(double probability = 0.5, int cMaxLevels = 16, const V& defaultValue = V()) :
        map<K, V>(probability, cMaxLevels), m_default(defaultValue)
    {
    }

    // The stored value; an absent key is inserted first with V() (not the default value).
    virtual V& operator[](const K& key) { return map<K, V>::operator[](key); }

    // The stored value, or the default value when the key is absent; never inserts.
    virtual const V& Lookup(const K& key) const
    {
        const auto position = this->Find(key);
        return position == this->end() ? m_default : position->value;
    }

    virtual bool Contains(const K& key) const { return map<K, V>::Contains(key); }

    virtual V& Set(const K& key, const V& value) { return (*this)[key] = value; }

    virtual V Get(const K& key, const V& fallback) const
    {
        const auto position = this->Find(key);
        return position == this->end() ? fallback : position->value;
    }

    virtual V Get(const K& key) const { return Lookup(key); }

    // Declared after the lookups so that they keep the first slots.
    virtual ~safemap() = default;
    safemap(const safemap&) = default;
    safemap(safemap&&) = default;
    safemap& operator=(const safemap&) = default;
    safemap& operator=(safemap&&) = default;

    const V& Default() const { return m_default; }
    void SetDefault(const V& value) { m_default = value; }

private:
    V m_default;
};

} // namespace cetl
