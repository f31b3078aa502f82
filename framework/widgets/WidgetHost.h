#pragma once

#include "framework/graphics/Font.h"

#include <memory>
#include <string>

namespace Quillo
{

class ButtonListener;

// What widgets ask of the application that runs them: the cursor, the
// clipboard, system fonts and the dialog registry. The application hands one
// to its WidgetManager with SetHost; a manager without a host (as in tests)
// uses these defaults, which do nothing and make no fonts.
class WidgetHost
{
public:
    virtual ~WidgetHost() = default;

    // The requested cursor kind (0 arrow, 1 hand, 2 dragging, 3 text beam,
    // 4 not allowed, 5 none); the application applies it at once.
    virtual void SetCursorKind(int kind) { (void)kind; }

    virtual std::string GetClipboardText() { return {}; }
    virtual void SetClipboardText(const std::string& text) { (void)text; }

    // A font of the system (face "SansSerif" for the controls' defaults), or
    // null when none can be made; controls then draw no text.
    virtual std::unique_ptr<Font> MakeSystemFont(const std::string& face, int pointSize, bool bold)
    {
        (void)face, (void)pointSize, (void)bold;
        return nullptr;
    }

    // The listener that dialogs pass their button events on to (the
    // application itself), or null.
    virtual ButtonListener* ApplicationButtonListener() { return nullptr; }

    // Runs the main loop until the dialog with this id has a result or the
    // application shuts down; returns at once when there is no such dialog.
    virtual void RunLoop(int dialogId) { (void)dialogId; }
    virtual bool CloseDialogById(int dialogId)
    {
        (void)dialogId;
        return false;
    }
    virtual bool IsShuttingDown() { return false; }
};

} // namespace Quillo
