#pragma once

#include <stdexcept>
#include <string>

namespace Quillo
{

// Thrown by the lookups for an id that is unknown or not loaded.
class ResourceManagerException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

} // namespace Quillo
