#pragma once

#include <string>

class Canvas;

// Writes finished pictures as PNG files below one folder, remembering whether
// every write worked.
class PictureWriter {
public:
    explicit PictureWriter(std::string folder) : mFolder(std::move(folder)) {}
    // name is relative to the folder, with "/" separators.
    void Write(const std::string& name, const Canvas& canvas);
    bool Ok() const { return mOk; }

private:
    std::string mFolder;
    bool mOk = true;
};
