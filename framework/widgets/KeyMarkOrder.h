#pragma once

#include <vector>

namespace Quillo
{

class Widget;

// Where the keyboard mark goes among the markable controls of a screen.

// Tab order: reading order by the controls' top left corners, wrapping at
// either end. Null for an empty list; the first control when from is not
// among them.
Widget* NextInTabOrder(const std::vector<Widget*>& controls, const Widget* from, bool backwards);

// The control an arrow key leads to: the nearest whose centre lies that way,
// a sideways step counting double, so that the mark stays in its row or
// column where it can. Null when there is none that way.
Widget* NearestInDirection(const std::vector<Widget*>& controls, const Widget* from, int arrowKey);

} // namespace Quillo
