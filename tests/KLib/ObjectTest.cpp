#include "KLib/Object.h"
#include "KLib/Ref.h"

#include <gtest/gtest.h>

namespace {

// Counts its own destructions so the tests can see exactly when an object is deleted.
class Probe : public KLib::Object {
public:
    explicit Probe(int& deletions) : deletions_(deletions) {}
    ~Probe() override { ++deletions_; }

private:
    int& deletions_;
};

TEST(Object, ReleasingTheLastReferenceDeletesExactlyOnce) {
    int deletions = 0;
    Probe* probe = new Probe(deletions);
    EXPECT_EQ(probe->referenceCount(), 0);
    probe->retain();
    probe->retain();
    EXPECT_TRUE(probe->release()); // a reference is left
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(probe->referenceCount(), 1);
    EXPECT_FALSE(probe->release()); // the last one: deleted
    EXPECT_EQ(deletions, 1);
}

TEST(Ref, FirstHandleTakesOwnershipAndCopiesShareIt) {
    int deletions = 0;
    {
        KLib::Ref<Probe> first(new Probe(deletions));
        EXPECT_EQ(first->referenceCount(), 1);
        {
            KLib::Ref<Probe> copy = first;
            KLib::Ref<KLib::Object> base = first;
            EXPECT_EQ(first->referenceCount(), 3);
        }
        EXPECT_EQ(first->referenceCount(), 1);
        EXPECT_EQ(deletions, 0);
    }
    EXPECT_EQ(deletions, 1);
}

TEST(Ref, ReassignmentReleasesTheOldTarget) {
    int deletionsA = 0;
    int deletionsB = 0;
    KLib::Ref<Probe> ref(new Probe(deletionsA));
    ref = KLib::Ref<Probe>(new Probe(deletionsB));
    EXPECT_EQ(deletionsA, 1);
    EXPECT_EQ(ref->referenceCount(), 1);
    KLib::Ref<Probe> other = ref;
    ref = other; // self-share keeps the object alive
    EXPECT_EQ(deletionsB, 0);
    EXPECT_EQ(ref->referenceCount(), 2);
    ref.reset();
    other = KLib::Ref<Probe>();
    EXPECT_EQ(deletionsB, 1);
    EXPECT_FALSE(ref);
}

TEST(Ref, MovingTransfersWithoutTouchingTheCount) {
    int deletions = 0;
    KLib::Ref<Probe> source(new Probe(deletions));
    KLib::Ref<Probe> target(std::move(source));
    EXPECT_FALSE(source);
    EXPECT_EQ(target->referenceCount(), 1);
    target = std::move(target);
    EXPECT_EQ(deletions, 0);
}

} // namespace
