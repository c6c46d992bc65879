#pragma once

namespace KLib {

// Base of every library object that is shared by reference. The count is a plain int on purpose:
// all retains and releases happen on the user-interface thread.
class Object {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    virtual void retain();
    // Returns false when this call dropped the last reference and the object deleted itself.
    virtual bool release();

    int referenceCount() const { return referenceCount_; }

private:
    int referenceCount_ = 0;
};

} // namespace KLib
