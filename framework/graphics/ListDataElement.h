#pragma once

#include "framework/graphics/DataElement.h"

#include <algorithm>
#include <vector>

namespace Quillo
{

class ListDataElement : public DataElement
{
public:
    bool IsList() const override { return true; }
    std::unique_ptr<DataElement> Duplicate() const override
    {
        auto copy = std::make_unique<ListDataElement>();
        copy->elements.reserve(elements.size());
        for (const auto& element : elements)
            copy->elements.push_back(element->Duplicate());
        return copy;
    }
    size_t Count() const override
    {
        size_t count = 1;
        for (const auto& element : elements)
            count += element->Count();
        return count;
    }
    int Depth() const override
    {
        int depth = 0;
        for (const auto& element : elements)
            depth = std::max(depth, element->Depth());
        return depth + 1;
    }

    std::vector<std::unique_ptr<DataElement>> elements;
};

} // namespace Quillo
