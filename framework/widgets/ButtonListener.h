#pragma once

namespace Quillo
{

// Receives the events of buttons; every operation gets the button's id.
class ButtonListener
{
public:
    virtual ~ButtonListener() = default;

    virtual void OnButtonEnter(int id) { (void)id; }
    virtual void OnButtonLeave(int id) { (void)id; }
    virtual void OnButtonHover(int id, int x, int y) { (void)id, (void)x, (void)y; }
    virtual void OnButtonPressedCount(int id, int clickCode)
    {
        (void)clickCode;
        OnButtonPressed(id);
    }
    virtual void OnButtonPressed(int id) { (void)id; }
    virtual void OnButtonClicked(int id) { (void)id; }
    virtual void OnButtonHeld(int id) { (void)id; }
};

} // namespace Quillo
