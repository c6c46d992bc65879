#pragma once

#include <list>

namespace KLib {

// Ordered list whose element references stay valid while other elements are inserted or
// removed; graph code keeps references into it. Adds nothing to the standard list.
template <class T> class List : public std::list<T> {
public:
    using std::list<T>::list;
};

} // namespace KLib
