#pragma once

// The JPEG 2000 codec module, served by OpenJPEG under the name
// "j2k-codec.dll" with its nine entry points.
namespace Platform {

// Makes the module loadable by name; the platform's start-up calls it.
void RegisterJ2kCodecModule();

} // namespace Platform
