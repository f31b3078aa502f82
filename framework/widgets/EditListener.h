#pragma once

#include <string>

namespace Quillo
{

// Receives the events of an edit field and filters what may be typed into it;
// the filters accept everything unless overridden.
class EditListener
{
public:
    virtual ~EditListener() = default;

    // Enter was pressed in the field.
    virtual void OnEditText(int id, const std::string& text) { (void)id, (void)text; }
    virtual bool AllowKey(int id, int key)
    {
        (void)id, (void)key;
        return true;
    }
    virtual bool AllowChar(int id, char32_t ch)
    {
        (void)id, (void)ch;
        return true;
    }
    // Asked with the whole text a change would produce, before it is applied.
    virtual bool AllowText(int id, const std::string& text)
    {
        (void)id, (void)text;
        return true;
    }
};

} // namespace Quillo
