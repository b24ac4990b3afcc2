// cetl::stringmap: a safemap keyed by text that ignores case.
#pragma once

#include "cetl/safemap.h"
#include "tl_string.h"

namespace cetl {

template<class V> class stringmap : public safemap<istring, V> {
public:
    using safemap<istring, V>::safemap;
};

} // namespace cetl
