#pragma once

namespace Lumo {

// A value of the descriptor language: a single word or a list of values.
// Values are heap objects owned by whoever holds them.
class DataElement {
public:
    explicit DataElement(bool isList) : mIsList(isList) {}
    virtual ~DataElement() = default;

    // A deep heap copy.
    virtual DataElement* Duplicate() const = 0;

    bool mIsList;

protected:
    DataElement(const DataElement&) = default;
    DataElement& operator=(const DataElement&) = default;
};

} // namespace Lumo
