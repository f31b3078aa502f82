#pragma once

#include <cstddef>
#include <memory>

namespace Quillo
{

// A value of the font descriptor language: a single token or a list of values.
class DataElement
{
public:
    virtual ~DataElement() = default;

    virtual bool IsList() const = 0;
    virtual std::unique_ptr<DataElement> Duplicate() const = 0;
    // Values in this tree, itself included; bounds what a define may grow to.
    virtual size_t Count() const = 0;
    // How deeply lists nest in this tree: 0 for a single.
    virtual int Depth() const = 0;
};

} // namespace Quillo
