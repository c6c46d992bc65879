#include "KLib/Object.h"

namespace KLib {

void Object::retain() {
    ++referenceCount_;
}

bool Object::release() {
    if (referenceCount_-- == 1) {
        delete this;
        return false;
    }
    return true;
}

} // namespace KLib
