#pragma once

#include <string>

namespace Quillo
{

class ImageRegistry;

// The developer's image dump: every live image with pixels as a PNG in
// folder (made if missing), and an index.html that lists each file with
// its size, its bytes in memory, and the forms and flags it holds under
// the labels mBits, Palletized, NativeAlpha, RLAlpha, RLAdditive, HasAlpha,
// HasTrans, Forced and Volatile. Largest images come first. Returns how
// many images were written, or -1 when the folder or the index cannot be.
int WriteImageDump(ImageRegistry& registry, const std::string& folder);

} // namespace Quillo
