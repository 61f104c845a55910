#include "framework/graphics/images/SharedImageRef.h"

#include "framework/graphics/images/Image.h"
#include "framework/graphics/images/SharedImage.h"
#include "framework/graphics/images/SharedImageTable.h"

#include <gtest/gtest.h>

namespace GraphicsTests {
namespace {

using Lumo::Image;
using Lumo::SharedImage;
using Lumo::SharedImageRef;
using Lumo::SharedImageTable;

// Counts its own deletion.
class CountedImage : public Image {
public:
    explicit CountedImage(int* deleted) : mDeleted(deleted) {}
    ~CountedImage() override { ++*mDeleted; }

private:
    int* mDeleted;
};

TEST(SharedImageRef, EmptyHandleHasNoImage)
{
    SharedImageRef ref;
    EXPECT_EQ(ref.GetImage(), nullptr);
    ref.Release();
    ref = static_cast<SharedImage*>(nullptr);
    EXPECT_EQ(ref.GetImage(), nullptr);
}

TEST(SharedImageRef, OwnedImageOfItsOwnOutlivesEveryCopy)
{
    int deleted = 0;
    auto* image = new CountedImage(&deleted);
    {
        SharedImageRef first;
        first.SetUnsharedImage(image, true);
        SharedImageRef copy(first);
        EXPECT_EQ(copy.GetImage(), image);
        copy.Release();
        EXPECT_EQ(deleted, 0);
        EXPECT_EQ(first.GetImage(), image);

        // Released in the other order, the copy keeps the image alive.
        SharedImageRef second(first);
        first.Release();
        EXPECT_EQ(deleted, 0);
        EXPECT_EQ(second.GetImage(), image);
    }
    EXPECT_EQ(deleted, 1);
}

TEST(SharedImageRef, BorrowedImageIsNeverDeleted)
{
    int deleted = 0;
    CountedImage image(&deleted);
    {
        SharedImageRef ref;
        ref.SetUnsharedImage(&image, false);
        SharedImageRef copy(ref);
        EXPECT_EQ(copy.GetImage(), &image);
    }
    EXPECT_EQ(deleted, 0);
}

TEST(SharedImageRef, ImageOfItsOwnComesBeforeTheSharedOne)
{
    SharedImageTable table;
    SharedImage* record = table.FindOrInsert("PIC", "", nullptr);
    record->mImage = new Image;
    Image own;
    SharedImageRef ref;
    ref = record;
    EXPECT_EQ(ref.GetImage(), record->mImage);
    ref.SetUnsharedImage(&own, false);
    EXPECT_EQ(ref.GetImage(), &own);
    EXPECT_EQ(record->mRefCount, 0);
}

TEST(SharedImageRef, EveryHandleCountsOnce)
{
    SharedImageTable table;
    SharedImage* record = table.FindOrInsert("PIC", "", nullptr);
    SharedImageRef a;
    a = record;
    EXPECT_EQ(record->mRefCount, 1);
    {
        SharedImageRef b(a);
        SharedImageRef c;
        c = b;
        EXPECT_EQ(record->mRefCount, 3);
        SharedImageRef& itself = c; // a self-assignment the compiler cannot see
        c = itself;
        a = record;
        b = a;
        EXPECT_EQ(record->mRefCount, 3);
        EXPECT_FALSE(table.IsSweepPending());
    }
    EXPECT_EQ(record->mRefCount, 1);
    a = static_cast<SharedImage*>(nullptr);
    EXPECT_EQ(record->mRefCount, 0);
    EXPECT_TRUE(table.IsSweepPending());
}

TEST(SharedImageRef, AssignmentLeavesTheOthersImageOfItsOwn)
{
    SharedImageTable table;
    SharedImage* record = table.FindOrInsert("PIC", "", nullptr);
    Image own;
    SharedImageRef source;
    source.SetUnsharedImage(&own, false);
    SharedImageRef target;
    target = source;
    EXPECT_EQ(target.GetImage(), nullptr);

    SharedImageRef shared;
    shared = record;
    shared.SetUnsharedImage(&own, false);
    EXPECT_EQ(record->mRefCount, 0);
}

TEST(SharedImageTable, LastReleaseAsksForASweepThatFreesTheRecord)
{
    int deleted = 0;
    SharedImageTable table;
    bool isNew = false;
    SharedImage* record = table.FindOrInsert("PIC", "", &isNew);
    EXPECT_TRUE(isNew);
    record->mImage = new CountedImage(&deleted);
    EXPECT_EQ(table.FindOrInsert("PIC", "", &isNew), record);
    EXPECT_FALSE(isNew);
    EXPECT_NE(table.FindOrInsert("PIC", "SMALL", &isNew), record);
    EXPECT_TRUE(isNew);

    SharedImageRef ref;
    ref = record;
    table.SweepUnreferenced();
    EXPECT_EQ(table.FindOrInsert("PIC", "", &isNew), record);
    EXPECT_FALSE(isNew);

    ref.Release();
    EXPECT_TRUE(table.IsSweepPending());
    // Swept only when the owner says so: until then record and image stay.
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(table.FindOrInsert("PIC", "", &isNew), record);
    EXPECT_FALSE(isNew);

    table.SweepUnreferenced();
    EXPECT_FALSE(table.IsSweepPending());
    EXPECT_EQ(deleted, 1);
    table.FindOrInsert("PIC", "", &isNew);
    EXPECT_TRUE(isNew);
}

TEST(SharedImageTable, DestructionDeletesEveryImage)
{
    int deleted = 0;
    {
        SharedImageTable table;
        table.FindOrInsert("A", "", nullptr)->mImage = new CountedImage(&deleted);
        table.FindOrInsert("B", "", nullptr)->mImage = new CountedImage(&deleted);
        table.FindOrInsert("C", "", nullptr);
    }
    EXPECT_EQ(deleted, 2);
}

} // namespace
} // namespace GraphicsTests
