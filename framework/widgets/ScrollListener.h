#pragma once

namespace Quillo
{

class ScrollListener
{
public:
    virtual ~ScrollListener() = default;

    virtual void OnScrolled(int id, double position) { (void)id, (void)position; }
};

} // namespace Quillo
