#include "framework/graphics/descriptor/ListDataElement.h"

namespace Lumo {

ListDataElement::ListDataElement(const ListDataElement& other) : DataElement(true)
{
    for (const DataElement* element : other.mElementVector)
        mElementVector.push_back(element->Duplicate());
}

ListDataElement& ListDataElement::operator=(const ListDataElement& other)
{
    if (this == &other)
        return *this;
    for (DataElement* element : mElementVector)
        delete element;
    mElementVector.clear();
    for (const DataElement* element : other.mElementVector)
        mElementVector.push_back(element->Duplicate());
    return *this;
}

ListDataElement::~ListDataElement()
{
    for (DataElement* element : mElementVector)
        delete element;
}

DataElement* ListDataElement::Duplicate() const { return new ListDataElement(*this); }

} // namespace Lumo
