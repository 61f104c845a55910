#pragma once

#include "framework/graphics/descriptor/DataElement.h"

#include <vector>

namespace Lumo {

// A list of values it owns; copies duplicate every element.
class ListDataElement : public DataElement {
public:
    ListDataElement() : DataElement(true) {}
    ListDataElement(const ListDataElement& other);
    // Deletes its own elements, then appends duplicates of the other's.
    ListDataElement& operator=(const ListDataElement& other);
    ~ListDataElement() override;

    DataElement* Duplicate() const override;

    std::vector<DataElement*> mElementVector;
};

} // namespace Lumo
