#pragma once

#include <memory>

namespace Lumo {

class Image;
class SharedImage;

// A handle held by value: either a counted reference to a shared image, or an
// image of its own. Copies share the image of their own, which lives until
// the last handle holding it lets go (and is deleted then only if the first
// handle owned it).
class SharedImageRef {
public:
    SharedImageRef() = default;
    // The shared record (counted) and the image of its own.
    SharedImageRef(const SharedImageRef& other);
    // Releases, then refers to the other's shared record only: its image of
    // its own is not taken over.
    SharedImageRef& operator=(const SharedImageRef& other);
    // Releases, then refers to the record (null leaves the handle empty).
    SharedImageRef& operator=(SharedImage* shared);
    ~SharedImageRef();

    // Releases, then holds an image of its own; owns says whether it is
    // deleted once no handle holds it any more.
    void SetUnsharedImage(Image* image, bool owns);
    // Lets go of both; the last reference to a record asks its table for a
    // sweep.
    void Release();
    // The image of its own when set, else the shared record's image, else null.
    Image* GetImage() const;

private:
    void Refer(SharedImage* shared);

    SharedImage* mSharedImage = nullptr;
    std::shared_ptr<Image> mUnsharedImage;
};

} // namespace Lumo
