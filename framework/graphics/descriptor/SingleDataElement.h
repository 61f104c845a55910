#pragma once

#include "framework/graphics/descriptor/DataElement.h"

#include <string>

namespace Lumo {

// A word exactly as written in the command, quotes included.
class SingleDataElement : public DataElement {
public:
    SingleDataElement() : DataElement(false) {}
    explicit SingleDataElement(std::string value) : DataElement(false), mValue(std::move(value)) {}

    DataElement* Duplicate() const override { return new SingleDataElement(*this); }

    std::string mValue;
};

} // namespace Lumo
