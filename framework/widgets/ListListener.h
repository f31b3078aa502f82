#pragma once

namespace Quillo
{

class ListListener
{
public:
    virtual ~ListListener() = default;

    // clickCode as the widgets receive it: 1 left, 2 left double, -1 right,
    // -2 right double, 3 middle.
    virtual void OnListClicked(int id, int line, int clickCode) { (void)id, (void)line, (void)clickCode; }
};

} // namespace Quillo
