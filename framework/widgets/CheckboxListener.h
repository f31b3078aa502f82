#pragma once

namespace Quillo
{

class CheckboxListener
{
public:
    virtual ~CheckboxListener() = default;

    virtual void OnCheckboxChanged(int id, bool checked) { (void)id, (void)checked; }
};

} // namespace Quillo
