#pragma once

namespace Quillo
{

class SliderListener
{
public:
    virtual ~SliderListener() = default;

    // value runs from 0 (left) to 1 (right).
    virtual void OnSliderMoved(int id, double value) { (void)id, (void)value; }
};

} // namespace Quillo
