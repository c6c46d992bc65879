#pragma once

#include <vector>

namespace KLib {

// Ordered, growable array with contiguous storage. It adds nothing to the standard vector; the
// configuration file stores it as that vector (see config/ContainerSerialization.h).
template <class T> class Array : public std::vector<T> {
public:
    using std::vector<T>::vector;
};

} // namespace KLib
