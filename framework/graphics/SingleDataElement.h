#pragma once

#include "framework/graphics/DataElement.h"

#include <string>

namespace Quillo
{

class SingleDataElement : public DataElement
{
public:
    explicit SingleDataElement(std::string text) : value(std::move(text)) {}

    bool IsList() const override { return false; }
    std::unique_ptr<DataElement> Duplicate() const override
    {
        return std::make_unique<SingleDataElement>(value);
    }
    size_t Count() const override { return 1; }
    int Depth() const override { return 0; }

    std::string value;
};

} // namespace Quillo
